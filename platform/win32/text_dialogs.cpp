// The two dialogs the main window object asks for: one line of text, checked as it is typed, and
// the standard Open dialog for a text file.
#include "platform/win32/main_window.h"

#include <commdlg.h>

#include "app/error_trap.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide.h"
#include "resource.h"

namespace kavri::win32 {
namespace {

struct TextRequest {
    const std::string& title;
    const std::string& prompt;
    const std::string& value;
    std::size_t maxCharacters;
    const Windowing::TextCheck& check;
    std::optional<std::string> taken;
};

std::string EditText(HWND dialog) {
    const HWND edit = ::GetDlgItem(dialog, IDC_TEXT_EDIT);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
    const int length = ::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
    return Utf8(text.data(), length);
}

// The reason beside the box, and OK only while there is none.
bool Recheck(HWND dialog, const TextRequest& request) {
    const std::string reason = request.check(EditText(dialog));
    ::SetDlgItemTextW(dialog, IDC_TEXT_REASON, Wide(reason).c_str());
    ::EnableWindow(::GetDlgItem(dialog, IDOK), reason.empty());
    return reason.empty();
}

void Start(HWND dialog, TextRequest& request) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&request));
    ::SetWindowTextW(dialog, Wide(request.title).c_str());
    ::SetDlgItemTextW(dialog, IDC_TEXT_PROMPT, Wide(request.prompt).c_str());
    ::SendDlgItemMessageW(dialog, IDC_TEXT_EDIT, EM_LIMITTEXT, request.maxCharacters, 0);
    ::SetDlgItemTextW(dialog, IDC_TEXT_EDIT, Wide(request.value).c_str());
    ::SendDlgItemMessageW(dialog, IDC_TEXT_EDIT, EM_SETSEL, 0, -1);
    Recheck(dialog, request);
}

INT_PTR CALLBACK TextProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = FALSE;
    // Called by Windows: a check that fails leaves the dialog as it stands.
    Trap([&] {
        auto* request = reinterpret_cast<TextRequest*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (message == WM_INITDIALOG) {
            Start(dialog, *reinterpret_cast<TextRequest*>(lParam));
            handled = TRUE;  // the focus goes to the edit box, its text selected
        } else if (message == WM_COMMAND && request) {
            const int id = LOWORD(wParam);
            if (id == IDC_TEXT_EDIT && HIWORD(wParam) == EN_CHANGE) Recheck(dialog, *request);
            if (id == IDOK && Recheck(dialog, *request)) request->taken = EditText(dialog);
            if (id == IDCANCEL || (id == IDOK && request->taken)) ::EndDialog(dialog, id);
            handled = TRUE;
        }
    });
    return handled;
}

}  // namespace

std::optional<std::string> MainWindow::InputText(const std::string& title, const std::string& prompt,
                                                 const std::string& value, std::size_t maxCharacters,
                                                 const TextCheck& check) {
    TextRequest request{title, prompt, value, maxCharacters, check, std::nullopt};
    if (::DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_TEXT), hwnd_, &TextProcedure,
                          reinterpret_cast<LPARAM>(&request)) == -1)
        Trace("DialogBoxParamW", title, ::GetLastError());
    return request.taken;
}

std::optional<std::string> MainWindow::ChooseTextFile(const std::string& title) {
    std::wstring path(32768, L'\0');
    const std::wstring caption = Wide(title);
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = hwnd_;
    open.lpstrFilter = L"Text files (*.txt; *.csv; *.tsv)\0*.txt;*.csv;*.tsv\0All files (*.*)\0*.*\0";
    open.lpstrFile = path.data();
    open.nMaxFile = static_cast<DWORD>(path.size());
    open.lpstrTitle = caption.c_str();
    open.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (::GetOpenFileNameW(&open)) return Utf8(path.c_str());
    if (const DWORD error = ::CommDlgExtendedError()) Trace("GetOpenFileNameW", title, error);
    return std::nullopt;
}

}  // namespace kavri::win32
