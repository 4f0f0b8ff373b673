#include "mask/grab_handle_win32.h"

#include "common/dialog_base_win32.h"

namespace {

constexpr wchar_t kClass[] = L"SoftveilGrabHandle";
// The least opacity: invisible over any text, and the system still gives
// such a window its clicks (only a fully transparent pixel passes them on).
constexpr BYTE kAlpha = 1;

}  // namespace

bool GrabHandle::Create() {
  static const bool registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = AppInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    return RegisterClassW(&wc) != 0;
  }();
  if (!registered) return false;
  // Not owned by the mask, which would keep it above the mask.
  m_hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, kClass, L"", WS_POPUP,
                           0, 0, 0, 0, nullptr, nullptr, AppInstance(), this);
  if (m_hwnd) SetLayeredWindowAttributes(m_hwnd, 0, kAlpha, LWA_ALPHA);
  return m_hwnd != nullptr;
}

void GrabHandle::Destroy() {
  if (m_hwnd) DestroyWindow(m_hwnd);
  m_hwnd = nullptr;
  m_placed.reset();
}

void GrabHandle::Place(HWND mask, const std::optional<Rect>& screen) {
  m_mask = mask;
  if (!screen) {
    if (m_placed) ShowWindow(m_hwnd, SW_HIDE);
    m_placed.reset();
    return;
  }
  if (m_placed == screen || (!m_hwnd && !Create())) return;
  SetWindowPos(m_hwnd, mask, screen->left, screen->top, screen->Width(), screen->Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  m_placed = screen;
}

LRESULT CALLBACK GrabHandle::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<GrabHandle*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<GrabHandle*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // the window being read keeps the keyboard
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (self && self->m_mask) {
        POINT at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        MapWindowPoints(hwnd, self->m_mask, &at, 1);
        SendMessageW(self->m_mask, msg, wp, MAKELPARAM(at.x, at.y));
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}
