// The windowing operations the main window object asks for.
#include <algorithm>

#include "platform/win32/main_window.h"
#include "platform/win32/wide.h"

namespace kavri::win32 {

std::string MainWindow::ExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {  // a long path needs a larger buffer
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return Utf8(path.data(), static_cast<int>(length));
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::string MainWindow::AppPath() {
    std::string folder = ExePath();
    folder.erase(std::min(folder.size(), folder.find_last_of('\\')));
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // a drive's root keeps its backslash
    return folder;
}

// Whole twips per pixel, so that a tray message times this value divides back exactly.
float MainWindow::TwipsPerPixelX() { return static_cast<float>(std::max(1, 1440 / dpi_)); }

kavri::Handle MainWindow::WindowHandle() { return reinterpret_cast<kavri::Handle>(hwnd_); }

kavri::Handle MainWindow::IconHandle() { return reinterpret_cast<kavri::Handle>(iconSmall_); }

void MainWindow::Show() {
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
}

void MainWindow::Hide() { ::ShowWindow(hwnd_, SW_HIDE); }

void MainWindow::Unload() { form_.CloseRequested(1); }

void MainWindow::End() { ::ExitProcess(0); }

int MainWindow::PopupMenu(const Menu& menu, int defaultItem) {
    const HMENU popup = ::CreatePopupMenu();
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        const std::string& caption = menu.items[i].caption;
        if (caption == "-") ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        else ::AppendMenuW(popup, MF_STRING, i + 1, Wide(caption).c_str());  // UTF-8
    }
    ::SetMenuDefaultItem(popup, static_cast<UINT>(defaultItem + 1), FALSE);
    POINT at;
    ::GetCursorPos(&at);
    // Foreground first, and a message after, so that a click elsewhere closes the menu.
    ::SetForegroundWindow(hwnd_);
    const int chosen = static_cast<int>(
        ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr));
    ::PostMessageA(hwnd_, WM_NULL, 0, 0);
    ::DestroyMenu(popup);
    return chosen - 1;
}

int MainWindow::MsgBox(const std::string& prompt, int style, const std::string& title) {
    return ::MessageBoxW(hwnd_, Wide(prompt).c_str(), Wide(title).c_str(), static_cast<UINT>(style));  // UTF-8
}

}  // namespace kavri::win32
