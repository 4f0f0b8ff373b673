#include "common/dialog_base_win32.h"

#include <string>

#include "common/language_win32.h"

HINSTANCE AppInstance() { return GetModuleHandleW(nullptr); }

const wchar_t* AppTitle() {
  // The executable's file name without its extension.
  static const std::wstring title = [] {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    const auto slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const auto dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
  }();
  return title.c_str();
}

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

void ShowAppMessage(HWND owner, const std::wstring& text) {
  // Topmost, as the mask is, which keeps below softveil's own topmost
  // windows: the message is never hidden under the mask and takes the click.
  // MB_SYSTEMMODAL is an application-modal box with WS_EX_TOPMOST; Wine
  // ignores MB_TOPMOST.
  MessageBoxW(owner, text.c_str(), AppTitle(), MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
}

// The templates are found in the language in use and created from memory:
// DialogBoxParamW would take whichever language the system prefers.
INT_PTR DialogBase::RunModal(int id, HWND owner) {
  const DLGTEMPLATE* dialog = FindDialogTemplate(id);
  if (!dialog) return -1;
  return DialogBoxIndirectParamW(AppInstance(), dialog, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND DialogBase::CreateModeless(int id, HWND owner) {
  const DLGTEMPLATE* dialog = FindDialogTemplate(id);
  if (!dialog) return nullptr;
  return CreateDialogIndirectParamW(AppInstance(), dialog, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

bool DialogBase::BringToFront() const {
  // An ended dialog is hidden, though its window lasts until its modal loop
  // returns (a dialog opened inside that loop still runs): it is no longer
  // open. One not shown yet shows when its modal loop first waits.
  if (!hwnd_ || (m_shown && !IsWindowVisible(hwnd_))) return false;
  SetForegroundWindow(GetLastActivePopup(hwnd_));
  return true;
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<DialogBase*>(lp);
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->hwnd_ = hwnd;
    self->m_shown = false;
  }
  if (!self) return FALSE;
  if (msg == WM_SHOWWINDOW && wp) self->m_shown = true;
  const INT_PTR result = self->HandleMessage(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    self->OnWindowGone();
  }
  return result;
}

ChildWindow::~ChildWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

RECT ChildWindow::PlaceholderRect() const {
  RECT place{};
  GetWindowRect(m_placeholder, &place);
  MapWindowPoints(nullptr, GetParent(m_placeholder), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

bool ChildWindow::CreateChild(HWND placeholder) {
  static const wchar_t* const kClass = L"SoftveilChild";
  static const bool registered = [] {
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = AppInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    return RegisterClassW(&wc) != 0;
  }();
  if (!registered || !placeholder) return false;
  m_placeholder = placeholder;
  const RECT rect = PlaceholderRect();
  CreateWindowExW(0, kClass, L"", WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, GetParent(placeholder), nullptr, AppInstance(), this);
  return hwnd_ != nullptr;
}

LRESULT ChildWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT CALLBACK ChildWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<ChildWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<ChildWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_DPICHANGED_AFTERPARENT) {
    // The dialog has laid out its template's controls for the new scale,
    // the placeholder among them; a window made apart from the template is
    // left where it was, so it takes the placeholder's new place itself.
    const RECT place = self->PlaceholderRect();
    MoveWindow(hwnd, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
  }
  const LRESULT result = self->HandleMessage(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

std::string ToAnsi(std::wstring_view text) {
  const int size = static_cast<int>(text.size());
  std::string out(WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  return out;
}

std::wstring FromAnsi(std::string_view text) {
  const int size = static_cast<int>(text.size());
  std::wstring out(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), static_cast<int>(out.size()));
  return out;
}

void PaintSolid(HWND hwnd, COLORREF color) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  // An opaque empty text run is the cheapest solid fill: no brush to own.
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  EndPaint(hwnd, &ps);
}
