// The program's window: it is the windowing layer for the main window object, mirrors its
// controls into real controls and delivers each window message to the matching handler.
#pragma once

#include <windows.h>

#include <map>

#include "app/form_kavri_meter.h"
#include "app/layout.h"
#include "platform/win32/history_window.h"
#include "platform/win32/services.h"

namespace kavri::win32 {

class MainWindow final : public Windowing, public ControlObserver {
public:
    MainWindow(HINSTANCE instance, bool previousInstance);
    // Creates the window, runs the start-up handler and the message loop.
    int Run();

    // Windowing
    bool PrevInstance() override { return previous_; }
    std::string AppPath() override;
    std::string ExePath() override;
    float TwipsPerPixelX() override;
    kavri::Handle WindowHandle() override;
    kavri::Handle IconHandle() override;
    void Show() override;
    void Hide() override;
    void Unload() override;
    void End() override;
    int PopupMenu(const Menu& menu, int defaultItem) override;
    int MsgBox(const std::string& prompt, int style, const std::string& title) override;
    // In text_dialogs.cpp
    std::optional<std::string> InputText(const std::string& title, const std::string& prompt, const std::string& value,
                                         std::size_t maxCharacters, const TextCheck& check) override;
    std::optional<std::string> ChooseTextFile(const std::string& title) override;
    std::optional<IdleOptions> AskIdleOptions(const IdleOptions& current, const std::string& blindReason,
                                              const TextCheck& limitCheck) override;

    // ControlObserver
    void LabelChanged(const Label& label) override;
    void LineInserted(const ListBox& list, int index) override;
    void LineRemoved(const ListBox& list, int index) override;
    void LineReplaced(const ListBox& list, int index) override;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND control);
    LRESULT OnKeyToItem(WPARAM wParam, HWND control);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnColorStatic(HDC dc, HWND control);
    bool CursorOnClientArea() const;
    // The pad timer runs while the main window object asks for it.
    void SyncPadTimer();

    bool CreateMainWindow();
    void CreateFonts();
    void CreateControls();
    // Every text the window hands to an "A" call is CodePageText (platform/win32/code_page_calls.h).
    HWND AddControl(const char* windowClass, const CodePageText& text, DWORD style, const layout::TwipsRect& at, int id,
                    DWORD exStyle = 0);
    void AddLabel(Label& label, DWORD style, const layout::TwipsRect& at, int id, HFONT font = nullptr);
    HWND AddList(ListBox& list, const layout::TwipsRect& at, int id);
    void AddLogo(const layout::TwipsRect& at);
    void AddTooltip(HWND control, const CodePageText& text);
    void SetGamesTabStops(HWND list);
    void AddGamesTip(HWND list);
    int GameUnderCursor(HWND list) const;
    static LRESULT CALLBACK GamesListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR data);
    void ShowGameTip(HWND list, int line);
    // The games list's right-click menu, at the line under the cursor or the selected one, or
    // for an empty list its one item.
    void OnGamesMenu(HWND list, LPARAM at);
    void OnGamesMenuChoice(int choice, int line);
    int Px(int twips) const { return MulDiv(twips, dpi_, 1440); }
    ListBox* ListOf(HWND control);
    HWND HandleOf(const ListBox& list) const;

    HINSTANCE instance_;
    bool previous_;
    HWND hwnd_ = nullptr;
    HICON iconLarge_ = nullptr;
    HICON iconSmall_ = nullptr;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HFONT linkFont_ = nullptr;
    HWND credits_ = nullptr;
    HWND gamesTip_ = nullptr;
    int hoveredGame_ = -1;
    std::string gamesTipText_;
    int dpi_ = 96;
    UINT taskbarCreated_ = 0;
    std::map<const Label*, HWND> labels_;
    std::map<const ListBox*, HWND> lists_;

    Win32Kernel kernel_;
    Win32Shell shell_;
    Win32Multimedia multimedia_;
    Win32FileSystem files_;
    Win32Clock clock_;
    Win32CodePage codePage_;
    Win32Input input_;
    bool padTimerOn_ = false;
    // Never destroyed: its worker may still be reading an image when the program ends.
    Win32Background& background_ = *new Win32Background;
    formKavriMeter form_;
    HistoryWindow history_{instance_, form_};
};

}  // namespace kavri::win32
