// Keeps the real controls showing what the main window object's controls hold, which keep the
// code page.
#include "platform/win32/main_window.h"

#include "platform/win32/code_page_calls.h"

namespace kavri::win32 {

void MainWindow::LabelChanged(const Label& label) {
    if (const auto it = labels_.find(&label); it != labels_.end())
        SetText(it->second, CodePageText::Kept(label.Caption()));
}

HWND MainWindow::HandleOf(const ListBox& list) const {
    const auto it = lists_.find(&list);
    return it == lists_.end() ? nullptr : it->second;
}

void MainWindow::LineInserted(const ListBox& list, int index) {
    const HWND control = HandleOf(list);
    if (!control) return;
    const WPARAM at = index == list.Count() - 1 ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index);
    SendLine(control, LB_INSERTSTRING, at, CodePageText::Kept(list.Line(index)));
}

void MainWindow::LineRemoved(const ListBox& list, int index) {
    if (const HWND control = HandleOf(list)) ::SendMessageA(control, LB_DELETESTRING, index, 0);
}

void MainWindow::LineReplaced(const ListBox& list, int index) {
    const HWND control = HandleOf(list);
    if (!control) return;
    const LRESULT selected = ::SendMessageA(control, LB_GETCURSEL, 0, 0);
    const LRESULT top = ::SendMessageA(control, LB_GETTOPINDEX, 0, 0);
    ::SendMessageA(control, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(control, LB_DELETESTRING, index, 0);
    SendLine(control, LB_INSERTSTRING, index, CodePageText::Kept(list.Line(index)));
    if (selected == index) ::SendMessageA(control, LB_SETCURSEL, index, 0);
    ::SendMessageA(control, LB_SETTOPINDEX, top, 0);
    ::SendMessageA(control, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(control, nullptr, TRUE);
}

}  // namespace kavri::win32
