// The dialogs the main window object asks for: one line of text, checked as it is typed, the
// options, and the standard Open dialog for a text file.
#include "platform/win32/main_window.h"

#include <commctrl.h>
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

std::string EditText(HWND dialog, int id = IDC_TEXT_EDIT) {
    const HWND edit = ::GetDlgItem(dialog, id);
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
    ::SetWindowTextW(dialog, Wide(request.title).c_str());
    ::SetDlgItemTextW(dialog, IDC_TEXT_PROMPT, Wide(request.prompt).c_str());
    ::SendDlgItemMessageW(dialog, IDC_TEXT_EDIT, EM_LIMITTEXT, request.maxCharacters, 0);
    ::SetDlgItemTextW(dialog, IDC_TEXT_EDIT, Wide(request.value).c_str());
    ::SendDlgItemMessageW(dialog, IDC_TEXT_EDIT, EM_SETSEL, 0, -1);
    Recheck(dialog, request);
}

// A dialog's procedure: its start with the request it was given (which keeps the focus where the
// template puts it first), and its commands. Called by Windows: a step that fails leaves the
// dialog as it stands.
template <typename Request, void (*Begin)(HWND, Request&), void (*Command)(HWND, Request&, int id, int code)>
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = FALSE;
    Trap([&] {
        auto* request = reinterpret_cast<Request*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            Begin(dialog, *reinterpret_cast<Request*>(lParam));
            handled = TRUE;
        } else if (message == WM_COMMAND && request) {
            Command(dialog, *request, LOWORD(wParam), HIWORD(wParam));
            handled = TRUE;
        }
    });
    return handled;
}

void TextCommand(HWND dialog, TextRequest& request, int id, int code) {
    if (id == IDC_TEXT_EDIT && code == EN_CHANGE) Recheck(dialog, request);
    if (id == IDOK && Recheck(dialog, request)) request.taken = EditText(dialog);
    if (id == IDCANCEL || (id == IDOK && request.taken)) ::EndDialog(dialog, id);
}

struct OptionsRequest {
    IdleOptions options;
    const std::string& blindReason;
    const Windowing::TextCheck& limitCheck;
    bool taken = false;
};

bool IdleOn(HWND dialog) { return ::IsDlgButtonChecked(dialog, IDC_IDLE_ON) == BST_CHECKED; }

// The limit is asked only while time away is not counted; then a limit refused shows its reason
// and OK is unavailable.
bool RecheckOptions(HWND dialog, const OptionsRequest& request) {
    const bool on = IdleOn(dialog);
    for (const int id : {IDC_IDLE_LIMIT_LABEL, IDC_IDLE_LIMIT, IDC_IDLE_SPIN, IDC_IDLE_UNIT})
        ::EnableWindow(::GetDlgItem(dialog, id), on);
    const std::string reason = on ? request.limitCheck(EditText(dialog, IDC_IDLE_LIMIT)) : std::string();
    ::SetDlgItemTextW(dialog, IDC_IDLE_REASON, Wide(reason).c_str());
    ::EnableWindow(::GetDlgItem(dialog, IDOK), reason.empty());
    return reason.empty();
}

void StartOptions(HWND dialog, OptionsRequest& request) {
    ::CheckDlgButton(dialog, IDC_IDLE_ON, request.options.on ? BST_CHECKED : BST_UNCHECKED);
    ::SendDlgItemMessageW(dialog, IDC_IDLE_SPIN, UDM_SETRANGE32, kIdleLimitMin, kIdleLimitMax);
    ::SendDlgItemMessageW(dialog, IDC_IDLE_SPIN, UDM_SETPOS32, 0, request.options.limitMinutes);
    ::SendDlgItemMessageW(dialog, IDC_IDLE_LIMIT, EM_LIMITTEXT, 2, 0);
    ::SetDlgItemTextW(dialog, IDC_IDLE_BLIND, Wide(request.blindReason).c_str());
    RecheckOptions(dialog, request);
}

void OptionsCommand(HWND dialog, OptionsRequest& request, int id, int code) {
    if ((id == IDC_IDLE_ON && code == BN_CLICKED) || (id == IDC_IDLE_LIMIT && code == EN_CHANGE))
        RecheckOptions(dialog, request);
    if (id == IDOK && RecheckOptions(dialog, request)) {
        // Off, a limit left unfinished keeps the one there was.
        const bool typed = request.limitCheck(EditText(dialog, IDC_IDLE_LIMIT)).empty();
        const int limit = typed ? static_cast<int>(::GetDlgItemInt(dialog, IDC_IDLE_LIMIT, nullptr, FALSE))
                                : request.options.limitMinutes;
        request.options = IdleOptions{IdleOn(dialog), limit};
        request.taken = true;
    }
    if (id == IDCANCEL || (id == IDOK && request.taken)) ::EndDialog(dialog, id);
}

}  // namespace

std::optional<IdleOptions> MainWindow::AskIdleOptions(const IdleOptions& current, const std::string& blindReason,
                                                      const TextCheck& limitCheck) {
    OptionsRequest request{current, blindReason, limitCheck};
    if (::DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_OPTIONS), hwnd_,
                          &DialogProcedure<OptionsRequest, StartOptions, OptionsCommand>,
                          reinterpret_cast<LPARAM>(&request)) == -1)
        Trace("DialogBoxParamW", "Options", ::GetLastError());
    if (!request.taken) return std::nullopt;
    return request.options;
}

std::optional<std::string> MainWindow::InputText(const std::string& title, const std::string& prompt,
                                                 const std::string& value, std::size_t maxCharacters,
                                                 const TextCheck& check) {
    TextRequest request{title, prompt, value, maxCharacters, check, std::nullopt};
    if (::DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_TEXT), hwnd_, &DialogProcedure<TextRequest, Start, TextCommand>,
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
