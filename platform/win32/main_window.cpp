// Creation of the main window and its controls at the twips positions of the layout.
#include "platform/win32/main_window.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>

#include "app/texts.h"
#include "platform/win32/code_page_calls.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/resources/resource.h"
#include "platform/win32/trace.h"

namespace kavri::win32 {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, bool previousInstance)
    : instance_(instance),
      previous_(previousInstance),
      form_(Platform{kernel_, shell_, multimedia_, *this, files_, clock_, codePage_, background_, input_}) {}

int MainWindow::Run() {
    // The shell's shortcut and execute calls want an apartment-threaded COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(com)) Trace("CoInitializeEx", "", static_cast<DWORD>(com));
    const INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&common);
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    if (!CreateMainWindow()) {
        Trace("CreateWindowExA", kWindowClass, ::GetLastError());
        return 1;
    }
    CreateControls();
    if (!::SetTimer(hwnd_, kTimerId, static_cast<UINT>(form_.Timer1.interval), nullptr))
        Trace("SetTimer", "Timer1", ::GetLastError());
    // Start-up is an event like any other, handed over where every event is.
    ::SendMessageA(hwnd_, kLoadMessage, 0, 0);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageA(hwnd_, &msg) || history_.IsDialogMessage(msg)) continue;  // Tab between the controls
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

bool MainWindow::CreateMainWindow() {
    const HDC screen = ::GetDC(nullptr);
    dpi_ = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    iconLarge_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    iconSmall_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MainWindow::Procedure;
    wc.hInstance = instance_;
    wc.hIcon = iconLarge_;
    wc.hIconSm = iconSmall_;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    if (!::RegisterClassExA(&wc)) return false;

    RECT frame{0, 0, Px(layout::kClientWidth), Px(layout::kClientHeight)};
    ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    hwnd_ = CreateWindowWithText(kWindowExStyle, kWindowClass, CodePageText::Kept(form_.Caption), kWindowStyle,
                                 CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                 nullptr, nullptr, instance_, this);
    return hwnd_ != nullptr;
}

namespace {

// True when the system has a font of this name rather than a stand-in for it.
bool HasFace(const LOGFONTA& face) {
    const HFONT font = ::CreateFontIndirectA(&face);
    const HDC dc = ::GetDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, font);
    char actual[LF_FACESIZE] = {};
    ::GetTextFaceA(dc, LF_FACESIZE, actual);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(font);
    return ::lstrcmpiA(actual, face.lfFaceName) == 0;
}

}  // namespace

// The positions are laid out for an 8-point sans serif of the classic dialog width; a scalable
// face keeps the text sharp at any display scaling.
void MainWindow::CreateFonts() {
    LOGFONTA face{};
    face.lfHeight = -MulDiv(8, dpi_, 72);
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpyA(face.lfFaceName, "Microsoft Sans Serif");
    if (!HasFace(face)) ::lstrcpyA(face.lfFaceName, "MS Shell Dlg");
    font_ = ::CreateFontIndirectA(&face);
    face.lfWeight = FW_BOLD;
    boldFont_ = ::CreateFontIndirectA(&face);
    face.lfWeight = FW_NORMAL;
    face.lfUnderline = TRUE;
    linkFont_ = ::CreateFontIndirectA(&face);
}

void MainWindow::CreateControls() {
    CreateFonts();
    namespace L = layout;
    AddLogo(L::kImage2);
    AddLabel(form_.Label1, SS_LEFTNOWORDWRAP, L::kLabel1, kIdTitle);
    AddLabel(form_.lblCredits, SS_LEFTNOWORDWRAP | SS_NOTIFY, L::kLblCredits, kIdCredits, linkFont_);
    credits_ = labels_[&form_.lblCredits];
    AddTooltip(credits_, CodePageText::Kept(form_.lblCredits.Tag()));
    AddControl("BUTTON", CodePageText::Kept(form_.btnRefresh.caption), BS_PUSHBUTTON | WS_TABSTOP, L::kBtnRefresh,
               kIdRefresh);
    const std::string options = codePage_.Convert(texts::kOptions, texts::kOptionsStandIn);
    AddControl("BUTTON", CodePageText::Kept(options), BS_PUSHBUTTON | WS_TABSTOP, L::kBtnOptions, kIdOptions);
    AddControl("BUTTON", texts::kHistory, BS_PUSHBUTTON | WS_TABSTOP, L::kBtnHistory, kIdHistory);
    for (int i = 0; i < 8; ++i) {
        AddLabel(form_.lblTimes[i], SS_LEFTNOWORDWRAP, L::LblTimes(i), kIdRunCount + i);
        AddLabel(form_.lblDay[i], SS_LEFTNOWORDWRAP, L::LblDay(i), kIdDay + i, boldFont_);
        AddLabel(form_.lblTime[i], SS_LEFTNOWORDWRAP, L::LblTime(i), kIdDuration + i);
    }
    AddControl("STATIC", "", SS_ETCHEDHORZ, L::kFrame1, kIdFrame);
    AddLabel(form_.lblGames, SS_LEFTNOWORDWRAP, L::kLblGames, kIdGamesHeading);
    AddLabel(form_.lblTimesUsed, SS_LEFTNOWORDWRAP, L::kLblTimesUsed, kIdTimesUsed);
    const HWND games = AddList(form_.lstGames, L::kLstGames, kIdGames);
    SetGamesTabStops(games);
    AddGamesTip(games);
    AddList(form_.lstTimes, L::kLstTimes, kIdTimes);
}

HWND MainWindow::AddControl(const char* windowClass, const CodePageText& text, DWORD style,
                            const layout::TwipsRect& at, int id, DWORD exStyle) {
    const HWND control = CreateWindowWithText(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, Px(at.left),
                                              Px(at.top), Px(at.width), Px(at.height), hwnd_,
                                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
}

void MainWindow::AddLabel(Label& label, DWORD style, const layout::TwipsRect& at, int id, HFONT font) {
    const HWND control = AddControl("STATIC", CodePageText::Kept(label.Caption()), style | SS_NOPREFIX, at, id);
    if (font) ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    labels_[&label] = control;
    label.Observe(this);
}

HWND MainWindow::AddList(ListBox& list, const layout::TwipsRect& at, int id) {
    constexpr DWORD style = WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT |
                            LBS_WANTKEYBOARDINPUT;
    const HWND control = AddControl("LISTBOX", "", style, at, id, WS_EX_CLIENTEDGE);
    lists_[&list] = control;
    list.Observe(this);
    return control;
}

void MainWindow::AddLogo(const layout::TwipsRect& at) {
    const HWND control = AddControl("STATIC", "", SS_BITMAP | SS_CENTERIMAGE, at, kIdLogo);
    // Light gray in the bitmap becomes the window's face colour.
    const HANDLE logo =
        ::LoadImageA(instance_, MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, Px(at.width), Px(at.height), LR_LOADMAP3DCOLORS);
    ::SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo));
}

void MainWindow::AddTooltip(HWND control, const CodePageText& text) {
    const HWND tip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    SendTool(tip, TTM_ADDTOOLA, 0, info, text);
}

// Column stops after the identifier and after the play count, in quarters of the list font's
// average character width.
void MainWindow::SetGamesTabStops(HWND list) {
    const HDC dc = ::GetDC(list);
    const HGDIOBJ old = ::SelectObject(dc, font_);
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE alphabet, id, count;
    ::GetTextExtentPoint32A(dc, kAlphabet, 52, &alphabet);
    ::GetTextExtentPoint32A(dc, "SLUS-00594  ", 12, &id);
    ::GetTextExtentPoint32A(dc, "32767  ", 7, &count);
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    const int quarter = std::max<int>(1, (alphabet.cx + 26) / 52);
    INT stops[2] = {id.cx * 4 / quarter, (id.cx + count.cx) * 4 / quarter};
    ::SendMessageA(list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
}

}  // namespace kavri::win32
