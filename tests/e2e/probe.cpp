// Prints what the running program's window shows: whether it is visible, every control's
// text and every list line, one per line, its tooltips and dialogs, and the text of a balloon on
// the tray, for the end-to-end tests to compare. Every text is read as Windows holds it, in
// UTF-16, with the wide messages, which cross the process boundary intact, and printed in UTF-8,
// so that a text the program handed over in the wrong encoding shows as the garble it is. More uses:
//   probe --load NAME           loads a DLL by name with the plain search, as a careless program would
//   probe --hold PATH SECONDS   holds a file open as a spreadsheet program does, without sharing,
//                               and says "held" once it does
//   probe --minimize-history    minimises the History window, as its title bar's button would
//   probe --press-history       presses the main window's History button
//   probe --clipboard           prints the clipboard's text, a line each as clipboard=LINE
//   probe --link LNK TARGET ARGS  makes a shortcut that starts TARGET with ARGS, as a launcher does
//                               it for deletion
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/control_ids.h"

namespace {

using namespace kavri::win32;

std::string Name(int id) {
    auto slot = [](const char* name, int i) { return std::string(name) + "(" + std::to_string(i) + ")"; };
    if (id >= kIdDay && id < kIdDay + 8) return slot("lblDay", id - kIdDay);
    if (id >= kIdDuration && id < kIdDuration + 8) return slot("lblTime", id - kIdDuration);
    if (id >= kIdRunCount && id < kIdRunCount + 8) return slot("lblTimes", id - kIdRunCount);
    switch (id) {
    case kIdRefresh: return "btnRefresh";
    case kIdOptions: return "btnOptions";
    case kIdHistory: return "btnHistory";
    case kIdTimes: return "lstTimes";
    case kIdGames: return "lstGames";
    case kIdTitle: return "Label1";
    case kIdCredits: return "lblCredits";
    case kIdTimesUsed: return "lblTimesUsed";
    case kIdGamesHeading: return "lblGames";
    case kIdHistoryShares: return "lstShares";
    default: return "";
    }
}

// A window's text in UTF-8, asked for with the message itself, which crosses the process boundary
// where GetWindowText would only read a caption.
std::string TextOf(HWND window) {
    wchar_t wide[512] = {};
    char text[1024];
    ::SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

// Tabs print as \t so that one line of output stays one line.
std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\t' ? std::string("\\t") : std::string(1, c);
    return out;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    const std::string name = Name(::GetDlgCtrlID(control));
    if (name.empty()) return TRUE;
    char text[1024];
    if (name.starts_with("lst")) {
        const int count = static_cast<int>(::SendMessageA(control, LB_GETCOUNT, 0, 0));
        std::printf("%s.count=%d\n", name.c_str(), count);
        // Where its lines are on the screen: the first shown line's top left, and a line's height.
        POINT origin{0, 0};
        ::ClientToScreen(control, &origin);
        std::printf("%s.lines=%ld %ld %d %d\n", name.c_str(), origin.x, origin.y,
                    static_cast<int>(::SendMessageA(control, LB_GETTOPINDEX, 0, 0)),
                    static_cast<int>(::SendMessageA(control, LB_GETITEMHEIGHT, 0, 0)));
        wchar_t wide[1024];
        for (int i = 0; i < count && ::SendMessageW(control, LB_GETTEXTLEN, i, 0) < 1000; ++i) {
            ::SendMessageW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
            ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            std::printf("%s[%d]=%s\n", name.c_str(), i, Escaped(text).c_str());
        }
    } else {
        std::printf("%s=%s\n", name.c_str(), Escaped(TextOf(control)).c_str());
    }
    return TRUE;
}

bool IsClass(HWND window, const char* name) {
    char found[64];
    ::GetClassNameA(window, found, sizeof found);
    return ::lstrcmpiA(found, name) == 0;
}

// A visible tooltip of the program prints its text.
BOOL CALLBACK PrintTooltip(HWND tip, LPARAM owner) {
    if (::GetWindow(tip, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsClass(tip, "tooltips_class32") &&
        ::IsWindowVisible(tip) && !TextOf(tip).empty())
        std::printf("tooltip=%s\n", TextOf(tip).c_str());
    return TRUE;
}

BOOL CALLBACK PrintDialogItem(HWND item, LPARAM) {
    if (IsClass(item, "Static") && !TextOf(item).empty()) std::printf("dialog.text=%s\n", TextOf(item).c_str());
    if (IsClass(item, "Edit")) std::printf("dialog.edit=%s\n", TextOf(item).c_str());
    return TRUE;
}

// A visible dialog of the program prints its title, its texts and what its edit boxes hold.
BOOL CALLBACK PrintDialog(HWND dialog, LPARAM owner) {
    if (::GetWindow(dialog, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsClass(dialog, "#32770") &&
        ::IsWindowVisible(dialog)) {
        std::printf("dialog=%s\n", TextOf(dialog).c_str());
        ::EnumChildWindows(dialog, PrintDialogItem, 0);
    }
    return TRUE;
}

// A visible balloon of the notification area, which belongs to the shell, prints its text.
BOOL CALLBACK PrintBalloon(HWND tip, LPARAM owner) {
    char name[64], text[1024];
    wchar_t wide[512];
    ::GetClassNameA(tip, name, sizeof name);
    if (::GetWindow(tip, GW_OWNER) != reinterpret_cast<HWND>(owner) && ::lstrcmpiA(name, "tooltips_class32") == 0 &&
        ::IsWindowVisible(tip) && ::SendMessageW(tip, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide)) > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        for (char* c = text; *c; ++c)
            if (*c == '\r' || *c == '\n') *c = ' ';
        std::printf("balloon=%s\n", text);
    }
    return TRUE;
}

// The History window, when open: the line under its chart, the chosen game, the chart's place on
// the screen and the tooltip beside a bar.
void PrintHistory() {
    const HWND history = ::FindWindowA(kHistoryClass, nullptr);
    if (!history) return;
    char text[512];
    std::printf("history.status=%s\n", TextOf(::GetDlgItem(history, kIdHistoryStatus)).c_str());
    // The chooser's chosen line, asked for with the wide messages, which cross the process boundary.
    const HWND chooser = ::GetDlgItem(history, kIdHistoryGame);
    const LRESULT chosen = ::SendMessageW(chooser, CB_GETCURSEL, 0, 0);
    wchar_t game[256] = {};
    if (chosen >= 0 && ::SendMessageW(chooser, CB_GETLBTEXTLEN, chosen, 0) < 256)
        ::SendMessageW(chooser, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(game));
    ::WideCharToMultiByte(CP_UTF8, 0, game, -1, text, sizeof text, nullptr, nullptr);
    std::printf("history.game=%s\n", text);
    std::printf("history.iconic=%d\n", ::IsIconic(history) ? 1 : 0);
    std::printf("history.chart.name=%s\n", TextOf(::GetDlgItem(history, kIdHistoryChart)).c_str());
    RECT chart;
    ::GetWindowRect(::GetDlgItem(history, kIdHistoryChart), &chart);
    std::printf("history.chart=%ld %ld %ld %ld\n", chart.left, chart.top, chart.right - chart.left, chart.bottom - chart.top);
    for (int view = 0; view < 4; ++view)
        if (::SendMessageW(::GetDlgItem(history, kIdHistoryDays + view), BM_GETCHECK, 0, 0) == BST_CHECKED)
            std::printf("history.view=%d\n", view);
    std::printf("history.period=%s\n", TextOf(::GetDlgItem(history, kIdHistoryPeriod)).c_str());
    const HWND rows = ::GetDlgItem(history, kIdHistoryShares);
    if (::IsWindowVisible(rows)) PrintControl(rows, 0);
    ::EnumWindows(PrintTooltip, reinterpret_cast<LPARAM>(history));
}

int PrintClipboard() {
    if (!::OpenClipboard(nullptr)) return 1;
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* wide = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    if (wide) {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(size), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            std::printf("clipboard=%s\n", Escaped(text.substr(start, end - start)).c_str());
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return wide ? 0 : 1;
}

int Load(const char* name) {
    const bool loaded = ::LoadLibraryA(name) != nullptr;
    std::printf("loaded=%d\n", loaded ? 1 : 0);
    return loaded ? 0 : 1;
}

int Hold(const char* path, int seconds) {
    const HANDLE file = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::printf("held\n");  // the test waits for this before it starts what must meet the hold
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    ::CloseHandle(file);
    return 0;
}

// Arguments in UTF-16, so that paths outside the code page arrive whole.
int Link() {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args || count != 5 || FAILED(::CoInitialize(nullptr))) return 2;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    const bool made =
        SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetPath(args[3])) && SUCCEEDED(link->SetArguments(args[4])) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) && SUCCEEDED(file->Save(args[2], TRUE));
    if (file) file->Release();
    if (link) link->Release();
    return made ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Whether this program's ntdll can read a 64-bit process's command line from a 32-bit one:
    // real WoW64 exports the call, Wine 8's 32-bit ntdll does not.
    if (argc == 2 && std::string(argv[1]) == "--has-wow64-query")
        return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtWow64QueryInformationProcess64") ? 0 : 1;
    if (argc == 3 && std::string(argv[1]) == "--load") return Load(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--hold") return Hold(argv[2], std::atoi(argv[3]));
    if (argc >= 2 && std::string(argv[1]) == "--link") return Link();
    if (argc == 2 && std::string(argv[1]) == "--clipboard") return PrintClipboard();
    if (argc == 2 && std::string(argv[1]) == "--minimize-history")
        return ::ShowWindow(::FindWindowA(kHistoryClass, nullptr), SW_MINIMIZE) ? 0 : 1;
    if (argc == 2 && std::string(argv[1]) == "--press-history") {
        const HWND main = ::FindWindowA(kWindowClass, nullptr);
        return ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(kIdHistory, BN_CLICKED),
                              reinterpret_cast<LPARAM>(::GetDlgItem(main, kIdHistory))) ? 0 : 1;
    }
    const HWND window = ::FindWindowA(kWindowClass, nullptr);
    if (!window) {
        std::printf("window=none\n");
        return 1;
    }
    std::printf("window=%s\nvisible=%d\n", TextOf(window).c_str(), ::IsWindowVisible(window) ? 1 : 0);
    ::EnumChildWindows(window, PrintControl, 0);
    ::EnumWindows(PrintTooltip, reinterpret_cast<LPARAM>(window));
    ::EnumWindows(PrintBalloon, reinterpret_cast<LPARAM>(window));
    ::EnumWindows(PrintDialog, reinterpret_cast<LPARAM>(window));
    PrintHistory();
    return 0;
}
