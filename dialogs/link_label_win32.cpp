#include "dialogs/link_label_win32.h"

#include <shellapi.h>

#include "res/resource.h"

namespace {
constexpr COLORREF kLinkTextColor = RGB(0, 0, 255);
}  // namespace

CLinkLabel::CLinkLabel()
    : m_hCursor(LoadCursorW(AppInstance(), MAKEINTRESOURCEW(IDC_LINK_CURSOR))) {}

LRESULT CLinkLabel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_MOUSEMOVE:
      // The class cursor is the arrow; the link's own cursor replaces it on
      // every move over the label and nowhere else.
      SetCursor(m_hCursor);
      return Default(msg, wp, lp);
    case WM_LBUTTONDOWN:
      // Opens on the press. A second press of a double click arrives as
      // WM_LBUTTONDBLCLK (the class has CS_DBLCLKS) and opens nothing more.
      ShellExecuteW(hwnd_, L"open", m_strLink.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
      return 0;
    default:
      return Default(msg, wp, lp);
  }
}

void CLinkLabel::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  // The text cells take the face colour of the moment, so the line blends
  // into the dialog even after the user changes the system colours; the part
  // of the label the text does not cover is left alone.
  SetTextColor(dc, kLinkTextColor);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetBkMode(dc, OPAQUE);
  TextOutW(dc, 0, 0, m_strText.c_str(), static_cast<int>(m_strText.size()));
  EndPaint(hwnd_, &ps);
}
