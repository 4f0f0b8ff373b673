#include "mask/mask_dlg_win32.h"

#include <windowsx.h>

#include <utility>

#include "common/globals.h"
#include "common/ids.h"
#include "common/language_win32.h"
#include "common/popup_menu_win32.h"
#include "mask/clock_text.h"
#include "mask/clock_win32.h"
#include "mask/follow.h"
#include "res/resource.h"
#include "settings/hotkey_win32.h"

CMaskDlg::CMaskDlg(const MaskSettings& settings, std::function<void(int)> thicknessChanged)
    : m_settings(settings), m_thicknessChanged(std::move(thicknessChanged)), m_readingKeys(settings), m_follow(settings) {
  g_bMaskOff = 1;
}

bool CMaskDlg::Create(HWND owner) { return CreateModeless(IDD_MASK, owner) != nullptr; }

void CMaskDlg::DestroyWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

void CMaskDlg::SetHorizontalBand(int top, int bottom) {
  m_horizontalBand = {top, bottom};
  ShowGuide();
}

void CMaskDlg::SetVerticalBand(int left, int right) {
  m_verticalBand = {left, right};
  ShowGuide();
}

void CMaskDlg::ShowGuide() {
  GuideInput in;
  in.style = GuideStyleOf(m_settings);
  in.horizontal = m_settings.horizontal != 0;
  in.client = ClientRect();
  in.band = in.horizontal ? m_horizontalBand : m_verticalBand;
  in.dpi = m_nShownDpi;
  in.underlineWidth = UnderlineWidthOf(m_settings);
  in.labels = ShownLabels();
  m_shape = GuideShapeOf(in);
  m_surface.ApplyShape(in.client, m_shape);
}

std::vector<Rect> CMaskDlg::ShownLabels() const {
  std::vector<Rect> shown;
  for (HWND label : {m_lockLabel, m_clockLabel}) {
    if (!(GetWindowLongW(label, GWL_STYLE) & WS_VISIBLE)) continue;
    RECT rc;
    GetWindowRect(label, &rc);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rc), 2);
    shown.push_back({rc.left, rc.top, rc.right, rc.bottom});
  }
  return shown;
}

bool CMaskDlg::RegisterMaskHotkey() {
  if (!hwnd_) return true;
  return RegisterHotkeyFromText(hwnd_, ID_HOTKEY_MASK, m_settings.hotkey_mask_open);
}

void CMaskDlg::UnregisterMaskHotkey() {
  if (hwnd_) UnregisterHotKey(hwnd_, ID_HOTKEY_MASK);
}

void CMaskDlg::SwitchMaskOn() { SetMaskOff(0); }

void CMaskDlg::SetMaskOff(int off) {
  g_bMaskOff = off;
  if (m_switched) m_switched();
}

void CMaskDlg::ApplySettings() {
  m_nBandHeight = m_settings.height;
  if (hwnd_) Restyle();
}

void CMaskDlg::Restyle() {
  OnShowWindow();
  if (IsWindowVisible(hwnd_)) PositionBand();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

INT_PTR CMaskDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;
    case WM_PAINT:
      OnPaint();
      return TRUE;
    case WM_LBUTTONDOWN:
      OnLButtonDown(lp);
      return FALSE;
    case WM_LBUTTONUP:
      EndDrag();
      return FALSE;
    case WM_MOUSEMOVE:
      // A band that follows the pointer goes where the pointer goes.
      if (!m_bDragging || FollowModeOf(m_settings) == FollowMode::Pointer) return TRUE;
      OnMouseMove(wp, lp);
      return FALSE;
    case WM_KILLFOCUS:
      EndDrag();
      return FALSE;
    case WM_RBUTTONUP:
      OnRButtonUp(lp);
      return TRUE;
    case WM_COMMAND:
      OnCommand(wp, lp);
      return TRUE;
    case WM_CLOSE:
      // Alt+F4 on the mask, or another program: hide until the next tick
      // shows the mask again. Closing it is not ending the program.
      ShowWindow(hwnd_, SW_HIDE);
      return TRUE;
    case WM_SHOWWINDOW:
      OnShowWindow();
      return FALSE;
    case WM_WINDOWPOSCHANGING:
      KeepBelowOwnWindows(*reinterpret_cast<WINDOWPOS*>(lp));
      return FALSE;
    case WM_WINDOWPOSCHANGED:
      // Every way the mask shows or hides ends here (the tick, Enter, Esc,
      // Alt+F4, another program): the reading keys and the clock follow, the
      // grab handle beside a thin guide, and the band's following.
      SyncReadingKeys();
      UpdateClock();
      m_surface.FollowWindow();
      m_follow.Sync(IsWindowVisible(hwnd_) != FALSE);
      return FALSE;
    case WM_INPUT:
      if (m_follow.OnInput(lp)) {
        if (const std::optional<POINT> at = m_follow.TakePointer()) FollowPointer(*at);
      }
      return FALSE;  // the system cleans up after the input
    case WM_FOLLOW_CARET:
      if (const std::optional<RECT> caret = m_follow.TakeCaret()) FollowCaret(*caret);
      return TRUE;
    case WM_REPORT_REFUSED_KEYS:
      m_readingKeys.ShowRefused(GetWindow(hwnd_, GW_OWNER));
      return TRUE;
    case WM_TIMER:
      if (wp == ID_TIMER_DRAG) OnDragTimer();
      return FALSE;
    case WM_MASK_TRACK:
      OnMaskTrack(reinterpret_cast<HWND>(lp));
      return TRUE;
    case WM_HOTKEY:
      OnHotkey(wp);
      return TRUE;
    case WM_MASK_DESTROY:
      ::DestroyWindow(hwnd_);
      return TRUE;
    case WM_DESTROY:
      m_follow.Sync(false);
      m_follow.Attach(nullptr);
      m_readingKeys.Release();
      m_readingKeys.Attach(nullptr);
      m_surface.Detach();
      return FALSE;
    case WM_MASK_OFF:
      SetMaskOff(1);
      return TRUE;
    default:
      return FALSE;
  }
}

void CMaskDlg::OnInitDialog() {
  m_lockLabel = GetDlgItem(hwnd_, IDC_LOCK_LABEL);
  m_clockLabel = GetDlgItem(hwnd_, IDC_CLOCK_LABEL);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW | SWP_NOACTIVATE);
  m_surface.Attach(hwnd_);
  m_readingKeys.Attach(hwnd_);
  m_follow.Attach(hwnd_);
  KeepSizeAcrossDpiChanges();
  m_nBandHeight = m_settings.height;
  RegisterMaskHotkey();
  // In the language of the template the mask was made from, so the clock
  // and the lock label stay in one language for the mask's life.
  m_clockPattern = LoadText(IDS_CLOCK);
}

void CMaskDlg::OnWindowGone() {
  if (m_switched) m_switched();
}

void CMaskDlg::KeepSizeAcrossDpiChanges() {
  // Moved onto a monitor of another scale, a dialog would resize itself by
  // the ratio of the two; the mask keeps the size of the area it covers, and
  // only its labels' font and places follow the new scale. Windows 10 1703
  // and later; older systems do not resize.
  using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
  constexpr int kDisableResize = 2;  // DDC_DISABLE_RESIZE
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return;
  const auto setBehavior = reinterpret_cast<SetBehaviorFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetDialogDpiChangeBehavior")));
  if (setBehavior) setBehavior(hwnd_, kDisableResize, kDisableResize);
}

void CMaskDlg::OnShowWindow() {
  // Re-applied at every change of visibility too, so the opacity is right
  // whenever the mask appears.
  m_surface.SetAlpha(static_cast<BYTE>(LookInForce(m_settings, GuideStyleOf(m_settings)).opacity));
}

void CMaskDlg::OnPaint() {
  // The colour is read at every paint, so a new colour shows at once.
  m_surface.Paint(LookInForce(m_settings, GuideStyleOf(m_settings)).color);
}

void CMaskDlg::OnMaskTrack(HWND under) {
  if (!g_bInTrackedWnd || g_bMaskOff) {
    if (IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  // Over the mask itself the window below stays the one covered.
  if (under != hwnd_) m_follow.SetTarget(under);
  const int shownDpi = m_nShownDpi;
  FollowTargetDpi();
  const bool placed = PlaceOverTarget(shownDpi != m_nShownDpi);
  ShowLockLabel();
  if (placed) PlaceClockLabel();
  PositionBand();
  FollowOnTick();
  // Shown or moved: paint now rather than when the queue gets to it.
  if (placed) UpdateWindow(hwnd_);
}

void CMaskDlg::FollowOnTick() {
  // A mode changed in the settings takes effect here.
  m_follow.Sync(true);
  switch (FollowModeOf(m_settings)) {
    case FollowMode::Pointer: {
      // Where the pointer was when the tick was taken from the queue.
      const DWORD at = GetMessagePos();
      if (const std::optional<POINT> moved = m_follow.TakePointer(POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)})) {
        FollowPointer(*moved);
      }
      break;
    }
    case FollowMode::Caret:
      if (const std::optional<RECT> caret = m_follow.TakeCaret()) FollowCaret(*caret);
      break;
    case FollowMode::Drag:
      break;
  }
}

void CMaskDlg::FollowPointer(POINT at) {
  // Only over the area covered; elsewhere the band stays where it was.
  if (!IsWindowVisible(hwnd_) || at.x < m_rcTarget.left || at.x >= m_rcTarget.right || at.y < m_rcTarget.top ||
      at.y >= m_rcTarget.bottom) {
    return;
  }
  const bool horizontal = m_settings.horizontal != 0;
  const int thickness = ShownBandHeight();
  const int offset = FollowOffset(PointerOffsetOf(m_settings), thickness, m_nShownDpi);
  ApplyBand(BandAtPoint(horizontal ? at.y - m_rcTarget.top : at.x - m_rcTarget.left, thickness, offset));
}

void CMaskDlg::FollowCaret(const RECT& caret) {
  const Rect onMask{caret.left - m_rcTarget.left, caret.top - m_rcTarget.top, caret.right - m_rcTarget.left,
                    caret.bottom - m_rcTarget.top};
  // A caret beyond the area covered (scrolled away, in another pane) leaves the band.
  if (!IsWindowVisible(hwnd_) || onMask.left < 0 || onMask.left >= m_rcTarget.Width() || onMask.top < 0 ||
      onMask.top >= m_rcTarget.Height()) {
    return;
  }
  const bool horizontal = m_settings.horizontal != 0;
  const int thickness = ShownBandHeight();
  const int offset = FollowOffset(PointerOffsetOf(m_settings), thickness, m_nShownDpi);
  ApplyBand(BandAtCaret(horizontal, onMask, thickness, offset, m_nShownDpi));
}

void CMaskDlg::ApplyBand(const Band& band) {
  if (m_settings.horizontal) {
    SetHorizontalBand(band.start, band.end);
  } else {
    SetVerticalBand(band.start, band.end);
  }
}

void CMaskDlg::FollowTargetDpi() {
  if (m_nTargetDpi == m_nShownDpi) return;
  // On a monitor of another scale the text is larger or smaller; the band
  // keeps its place relative to it.
  m_horizontalBand = RescaleBand(m_horizontalBand, m_nShownDpi, m_nTargetDpi);
  m_verticalBand = RescaleBand(m_verticalBand, m_nShownDpi, m_nTargetDpi);
  m_nShownDpi = m_nTargetDpi;
}

bool CMaskDlg::PlaceOverTarget(bool force) {
  // Under Wine every placement reaches the X server, and a reader at rest
  // sends two ticks a second that change nothing: the mask is placed again
  // only when it is not where it should be, hidden, minimised or no longer
  // where it belongs among the windows on top.
  const bool shown = IsWindowVisible(hwnd_) && !IsIconic(hwnd_);
  RECT now;
  GetWindowRect(hwnd_, &now);
  const bool inPlace = Rect{now.left, now.top, now.right, now.bottom} == m_rcTarget;
  if (!force && shown && inPlace && DirectlyBelow(OwnWindowsAbove())) return false;
  // The mask never takes the activation from the window being read: keys
  // pressed while reading must keep reaching that window.
  if (!shown) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  SetWindowPos(hwnd_, HWND_TOPMOST, m_rcTarget.left, m_rcTarget.top, m_rcTarget.Width(), m_rcTarget.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  return true;
}

void CMaskDlg::KeepBelowOwnWindows(WINDOWPOS& pos) const {
  // Whoever raises the mask (the tick, the system as it activates the mask,
  // another program), softveil's own dialogs and messages stay above it.
  if (!(pos.flags & SWP_NOZORDER)) pos.hwndInsertAfter = OwnWindowsAbove();
}

HWND CMaskDlg::OwnWindowsAbove() const {
  // softveil's dialogs and messages are topmost windows of this thread; the
  // lowest one shown is the window the mask goes right below.
  HWND lowest = HWND_TOPMOST;
  for (HWND w = GetTopWindow(nullptr); w && (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
       w = GetWindow(w, GW_HWNDNEXT)) {
    if (w != hwnd_ && IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) lowest = w;
  }
  return lowest;
}

bool CMaskDlg::DirectlyBelow(HWND below) const {
  if (!(GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST)) return false;
  // Hidden windows above the mask hide nothing of it.
  for (HWND above = GetWindow(hwnd_, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (IsWindowVisible(above)) return above == below;
  }
  return below == HWND_TOPMOST;
}

void CMaskDlg::ShowLockLabel() {
  const bool shown = (GetWindowLongW(m_lockLabel, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown != (g_bLockOn != 0)) ShowWindow(m_lockLabel, g_bLockOn ? SW_SHOWNORMAL : SW_HIDE);
}

void CMaskDlg::PlaceClockLabel() {
  RECT label;
  GetClientRect(m_clockLabel, &label);
  const Rect client = ClientRect();
  const POINT to = {client.right - label.right - ScaleToDpi(3, m_nShownDpi), client.top};
  RECT now;
  GetWindowRect(m_clockLabel, &now);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&now), 2);
  if (now.left != to.x || now.top != to.y) MoveWindow(m_clockLabel, to.x, to.y, label.right, label.bottom, TRUE);
}

int CMaskDlg::ShownBandHeight() const { return ScaleToDpi(m_nBandHeight, m_nShownDpi); }

void CMaskDlg::PositionBand() {
  const int bandHeight = ShownBandHeight();
  if (m_settings.horizontal) {
    const Band band = PlaceBand(m_horizontalBand, m_rcTarget.Height(), bandHeight);
    SetHorizontalBand(band.start, band.end);
  } else {
    const Band band = PlaceBand(m_verticalBand, m_rcTarget.Width(), bandHeight);
    SetVerticalBand(band.start, band.end);
  }
}

void CMaskDlg::OnLButtonDown(LPARAM lp) {
  const POINT at = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  // Only a press on the guide takes it (beside a bar or an underline the
  // labels take presses too, and leave the guide where it is).
  if (!m_shape.grab || !m_shape.grab->Contains(at.x, at.y)) return;
  m_bDragging = true;
  if (!m_shape.carried) return;
  const bool horizontal = m_settings.horizontal != 0;
  m_grab = {horizontal ? at.y : at.x, horizontal ? m_horizontalBand : m_verticalBand};
  // The capture brings every move while the guide is carried. Not every
  // system keeps to it for a layered window that never takes the
  // activation (Wine sends nothing once the pointer leaves the window), and
  // a thin guide is soon left behind: while the button is down the mask
  // also reads the pointer itself.
  SetCapture(hwnd_);
  constexpr unsigned kDragPollMs = 15;
  SetTimer(hwnd_, ID_TIMER_DRAG, kDragPollMs, nullptr);
}

void CMaskDlg::OnMouseMove(WPARAM wp, LPARAM lp) {
  // A carried guide is let go when the button was released elsewhere.
  if (m_shape.carried && !(wp & MK_LBUTTON)) {
    EndDrag();
    return;
  }
  DragTo({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
}

void CMaskDlg::OnDragTimer() {
  // The physical button: the left one unless the buttons are swapped.
  const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  POINT at;
  if (!(GetAsyncKeyState(button) & 0x8000) || !GetCursorPos(&at)) {
    EndDrag();
    return;
  }
  ScreenToClient(hwnd_, &at);
  DragTo(at);
}

void CMaskDlg::DragTo(POINT at) {
  const bool horizontal = m_settings.horizontal != 0;
  const Rect client = ClientRect();
  const Band band = DraggedBand(m_shape.carried, m_grab, horizontal ? m_horizontalBand : m_verticalBand,
                                horizontal ? at.y : at.x, ShownBandHeight(), horizontal ? client.bottom : client.right);
  if (horizontal) {
    SetHorizontalBand(band.start, band.end);
  } else {
    SetVerticalBand(band.start, band.end);
  }
}

void CMaskDlg::EndDrag() {
  m_bDragging = false;
  if (!hwnd_) return;
  KillTimer(hwnd_, ID_TIMER_DRAG);
  if (GetCapture() == hwnd_) ReleaseCapture();
}

void CMaskDlg::OnRButtonUp(LPARAM lp) {
  POINT at = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ClientToScreen(hwnd_, &at);
  ShowPopupMenu(hwnd_, at, {{ID_MENU_MASK_OFF, IDS_MASK_MENU_OFF}, {0, 0}, {ID_MENU_CLOSE, IDS_MASK_MENU_EXIT}});
}

void CMaskDlg::OnCommand(WPARAM wp, LPARAM lp) {
  const UINT id = LOWORD(wp);
  switch (id) {
    case ID_MENU_MASK_OFF:
      SetMaskOff(1);
      return;
    case ID_MENU_MASK_ON:
      SwitchMaskOn();
      return;
    case IDOK:
    case IDCANCEL:
      // Enter or Esc while the mask is active: it hides for now, as a
      // modeless dialog does; the program goes on.
      ShowWindow(hwnd_, SW_HIDE);
      return;
  }
  // The menu commands the mask does not handle (the exit command) go to its
  // owner, the controller; nothing else does. Posted, so the mask is not
  // torn down under its own handler.
  if (id >= ID_MENU_CLOSE && id <= ID_MENU_LOCK) PostMessageW(GetWindow(hwnd_, GW_OWNER), WM_COMMAND, wp, lp);
}

void CMaskDlg::OnHotkey(WPARAM wp) {
  const int id = LOWORD(wp);
  switch (id) {
    case ID_HOTKEY_MASK:
      SetMaskOff(g_bMaskOff ? 0 : 1);
      break;
    case ID_HOTKEY_MASK_CLOSE:
      SetMaskOff(1);
      break;
    default:
      if (const std::optional<BandKey> key = ReadingHotkeys::KeyOf(id)) OnReadingKey(*key);
      break;
  }
}

void CMaskDlg::SyncReadingKeys() { m_readingKeys.Sync(hwnd_ && IsWindowVisible(hwnd_)); }

void CMaskDlg::PauseReadingKeys(bool paused) { m_readingKeys.Pause(paused, hwnd_ && IsWindowVisible(hwnd_)); }

void CMaskDlg::ReleaseReadingKeys() { m_readingKeys.Release(); }

void CMaskDlg::OnReadingKey(BandKey key) {
  // A key pressed just before the mask hid may still be on its way.
  if (!IsWindowVisible(hwnd_)) return;
  if (key == BandKey::Style) {
    OnStyleKey();
    return;
  }
  const bool horizontal = m_settings.horizontal != 0;
  BandKeyInput in;
  in.key = key;
  in.horizontal = horizontal;
  in.area = m_rcTarget;
  in.dpi = m_nShownDpi;
  in.band = horizontal ? m_horizontalBand : m_verticalBand;
  in.thickness = m_nBandHeight;
  in.steps = ReadingStepsOf(m_settings);
  const BandKeyResult result = ApplyBandKey(in);
  if (result.thickness != m_nBandHeight) {
    m_nBandHeight = result.thickness;
    if (m_thicknessChanged) m_thicknessChanged(result.thickness);
  }
  if (horizontal) {
    SetHorizontalBand(result.band.start, result.band.end);
  } else {
    SetVerticalBand(result.band.start, result.band.end);
  }
}

void CMaskDlg::OnStyleKey() {
  EndDrag();
  if (m_chooseStyle) m_chooseStyle(NextGuideStyle(GuideStyleOf(m_settings)));
  Restyle();
  // The keys the new style holds: the tint has no band to move.
  ReleaseReadingKeys();
  SyncReadingKeys();
}

void CMaskDlg::UpdateClock() {
  // Nobody sees a hidden clock, and under Wine each new text is a round
  // trip to the server: it counts from the program's start, so it is set
  // when it can be seen.
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  const std::int64_t elapsed = NowUnixSeconds() - g_tStart;
  if (m_clockShown == elapsed) return;
  m_clockShown = elapsed;
  SetWindowTextW(m_clockLabel, ClockText(m_clockPattern, elapsed).c_str());
}

Rect CMaskDlg::ClientRect() const {
  RECT rc = {};
  if (hwnd_) GetClientRect(hwnd_, &rc);
  return {rc.left, rc.top, rc.right, rc.bottom};
}
