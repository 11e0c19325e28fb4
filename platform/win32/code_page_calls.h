// Windows' "A" calls that take a text, each taking it as CodePageText (platform/code_page.h), so
// that only text in the system code page reaches them; the window layer makes no such call
// otherwise. A UTF-8 text goes to a "W" call through Wide() (wide.h), or is converted first
// (CodePage::Convert).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/code_page.h"

namespace kavri::win32 {

inline HWND CreateWindowWithText(DWORD exStyle, const char* windowClass, const CodePageText& text, DWORD style, int x,
                                 int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                 void* param) {
    return ::CreateWindowExA(exStyle, windowClass, text.c_str(), style, x, y, width, height, parent, menu, instance,
                             param);
}

inline void SetText(HWND window, const CodePageText& text) { ::SetWindowTextA(window, text.c_str()); }

// A line into a list or combo box: LB_INSERTSTRING, LB_ADDSTRING, CB_ADDSTRING.
inline LRESULT SendLine(HWND control, UINT message, WPARAM at, const CodePageText& text) {
    return ::SendMessageA(control, message, at, reinterpret_cast<LPARAM>(text.c_str()));
}

// A tooltip's tool with its text: TTM_ADDTOOLA, TTM_UPDATETIPTEXTA, TTM_TRACKACTIVATE.
inline LRESULT SendTool(HWND tip, UINT message, WPARAM wParam, TOOLINFOA info, const CodePageText& text) {
    info.lpszText = const_cast<char*>(text.c_str());
    return ::SendMessageA(tip, message, wParam, reinterpret_cast<LPARAM>(&info));
}

inline int DrawLine(HDC dc, const CodePageText& text, RECT* rect, UINT format) {
    return ::DrawTextA(dc, text.c_str(), static_cast<int>(text.view().size()), rect, format);
}

inline SIZE TextExtent(HDC dc, const CodePageText& text) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.view().size()), &size);
    return size;
}

}  // namespace kavri::win32
