#include "mask/mask_dlg_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <ctime>
#include <utility>

#include "common/globals.h"
#include "common/ids.h"
#include "common/language_win32.h"
#include "common/popup_menu_win32.h"
#include "mask/clock_text.h"
#include "res/resource.h"
#include "settings/hotkey_win32.h"
#include "settings/key_combo.h"

namespace {

// The hotkey ids follow BandKey's order.
constexpr int HotkeyIdOf(BandKey key) { return ID_HOTKEY_NEXT + static_cast<int>(key); }
static_assert(HotkeyIdOf(BandKey::Previous) == ID_HOTKEY_PREVIOUS);
static_assert(HotkeyIdOf(BandKey::FineNext) == ID_HOTKEY_FINE_NEXT);
static_assert(HotkeyIdOf(BandKey::FinePrevious) == ID_HOTKEY_FINE_PREVIOUS);
static_assert(HotkeyIdOf(BandKey::Thicker) == ID_HOTKEY_THICKER);
static_assert(HotkeyIdOf(BandKey::Thinner) == ID_HOTKEY_THINNER);
constexpr BandKey kAllBandKeys[] = {BandKey::Next,    BandKey::Previous, BandKey::FineNext,
                                    BandKey::FinePrevious, BandKey::Thicker,  BandKey::Thinner};

}  // namespace

CMaskDlg::CMaskDlg(const MaskSettings& settings) : m_settings(settings) { g_bMaskOff = 1; }

bool CMaskDlg::Create(HWND owner) { return CreateModeless(IDD_MASK, owner) != nullptr; }

void CMaskDlg::DestroyWindow() {
  ReleaseReadingKeys();
  m_pfnSetLayeredWindowAttributes = nullptr;
  m_hUser32.reset();
  if (hwnd_) ::DestroyWindow(hwnd_);
}

void CMaskDlg::SetHorizontalBand(int top, int bottom) {
  m_horizontalBand = {top, bottom};
  const Rect client = ClientRect();
  ApplyRegion(client, HoleRect(true, client, m_horizontalBand, m_nShownDpi));
}

void CMaskDlg::SetVerticalBand(int left, int right) {
  m_verticalBand = {left, right};
  const Rect client = ClientRect();
  ApplyRegion(client, HoleRect(false, client, m_verticalBand, m_nShownDpi));
}

bool CMaskDlg::RegisterMaskHotkey() {
  if (!hwnd_) return true;
  return RegisterHotkeyFromText(hwnd_, ID_HOTKEY_MASK, m_settings.hotkey_mask_open);
}

void CMaskDlg::UnregisterMaskHotkey() {
  if (hwnd_) UnregisterHotKey(hwnd_, ID_HOTKEY_MASK);
}

void CMaskDlg::SwitchMaskOn() { g_bMaskOff = 0; }

void CMaskDlg::ApplySettings() {
  m_nBandHeight = m_settings.height;
  if (!hwnd_) return;
  OnShowWindow();
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
      m_bDragging = true;
      return FALSE;
    case WM_LBUTTONUP:
      m_bDragging = false;
      return FALSE;
    case WM_MOUSEMOVE:
      if (!m_bDragging) return TRUE;
      OnMouseMove(lp);
      return FALSE;
    case WM_KILLFOCUS:
      m_bDragging = false;
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
    case WM_WINDOWPOSCHANGED:
      // Every way the mask shows or hides ends here (the tick, Enter, Esc,
      // Alt+F4, another program): the reading keys follow.
      SyncReadingKeys();
      return FALSE;
    case WM_REPORT_REFUSED_KEYS:
      ShowRefusedKeys();
      return TRUE;
    case WM_TIMER:
      OnClockTimer();
      return FALSE;
    case WM_MASK_TRACK:
      OnMaskTrack();
      return TRUE;
    case WM_HOTKEY:
      OnHotkey(wp);
      return TRUE;
    case WM_MASK_DESTROY:
      ::DestroyWindow(hwnd_);
      return TRUE;
    case WM_MASK_OFF:
      g_bMaskOff = 1;
      return TRUE;
    default:
      return FALSE;
  }
}

void CMaskDlg::OnInitDialog() {
  m_lockLabel = GetDlgItem(hwnd_, IDC_LOCK_LABEL);
  m_clockLabel = GetDlgItem(hwnd_, IDC_CLOCK_LABEL);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW | SWP_NOACTIVATE);
  SetWindowLongW(hwnd_, GWL_EXSTYLE, GetWindowLongW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
  // Looked up at run time, as on systems that lack it the mask still works, only opaque.
  m_hUser32.reset(LoadLibraryW(L"User32.DLL"));
  if (m_hUser32) {
    m_pfnSetLayeredWindowAttributes = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(GetProcAddress(m_hUser32.get(), "SetLayeredWindowAttributes")));
  }
  KeepSizeAcrossDpiChanges();
  m_nBandHeight = m_settings.height;
  RegisterMaskHotkey();
  // In the language of the template the mask was made from, so the clock
  // and the lock label stay in one language for the mask's life.
  m_clockPattern = LoadText(IDS_CLOCK);
  SetTimer(hwnd_, ID_TIMER_CLOCK, kClockPeriodMs, nullptr);
}

void CMaskDlg::KeepSizeAcrossDpiChanges() {
  // Moved onto a monitor of another scale, a dialog would resize itself by
  // the ratio of the two; the mask keeps the size of the area it covers, and
  // only its labels' font and places follow the new scale. Windows 10 1703
  // and later; older systems do not resize.
  using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
  constexpr int kDisableResize = 2;  // DDC_DISABLE_RESIZE
  if (!m_hUser32) return;
  const auto setBehavior = reinterpret_cast<SetBehaviorFn>(
      reinterpret_cast<void*>(GetProcAddress(m_hUser32.get(), "SetDialogDpiChangeBehavior")));
  if (setBehavior) setBehavior(hwnd_, kDisableResize, kDisableResize);
}

void CMaskDlg::OnShowWindow() {
  // Re-applied at every change of visibility too, so the opacity is right
  // whenever the mask appears.
  if (m_pfnSetLayeredWindowAttributes) {
    m_pfnSetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(m_settings.transparence & 0xFF), LWA_ALPHA);
  }
}

void CMaskDlg::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  // The colour text is read at every paint, so a new colour shows at once.
  SetBkColor(dc, SettingsColor(m_settings));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  EndPaint(hwnd_, &ps);
}

void CMaskDlg::OnMaskTrack() {
  if (!g_bInTrackedWnd || g_bMaskOff) {
    if (IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  const int shownDpi = m_nShownDpi;
  FollowTargetDpi();
  const bool placed = PlaceOverTarget(shownDpi != m_nShownDpi);
  ShowLockLabel();
  if (placed) PlaceClockLabel();
  PositionBand();
  // Shown or moved: paint now rather than when the queue gets to it.
  if (placed) UpdateWindow(hwnd_);
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
  // the top window.
  const bool shown = IsWindowVisible(hwnd_) && !IsIconic(hwnd_);
  RECT now;
  GetWindowRect(hwnd_, &now);
  const bool inPlace = Rect{now.left, now.top, now.right, now.bottom} == m_rcTarget;
  if (!force && shown && inPlace && NothingAbove()) return false;
  // The mask never takes the activation from the window being read: keys
  // pressed while reading must keep reaching that window.
  if (!shown) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  SetWindowPos(hwnd_, HWND_TOPMOST, m_rcTarget.left, m_rcTarget.top, m_rcTarget.Width(), m_rcTarget.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  return true;
}

bool CMaskDlg::NothingAbove() const {
  if (!(GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST)) return false;
  // Hidden windows above the mask hide nothing of it.
  for (HWND above = GetWindow(hwnd_, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (IsWindowVisible(above)) return false;
  }
  return true;
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

void CMaskDlg::OnMouseMove(LPARAM lp) {
  const int bandHeight = ShownBandHeight();
  if (m_settings.horizontal) {
    const Band band = DragBand(GET_Y_LPARAM(lp), m_horizontalBand.start, bandHeight);
    SetHorizontalBand(band.start, band.end);
  } else {
    const Band band = DragBand(GET_X_LPARAM(lp), m_verticalBand.start, bandHeight);
    SetVerticalBand(band.start, band.end);
  }
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
      g_bMaskOff = 1;
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
      g_bMaskOff = g_bMaskOff ? 0 : 1;
      break;
    case ID_HOTKEY_MASK_CLOSE:
      g_bMaskOff = 1;
      break;
    default:
      if (id >= ID_HOTKEY_NEXT && id <= ID_HOTKEY_THINNER) OnReadingKey(static_cast<BandKey>(id - ID_HOTKEY_NEXT));
      break;
  }
}

void CMaskDlg::SyncReadingKeys() {
  const bool wanted = hwnd_ && IsWindowVisible(hwnd_) && !m_readingKeysPaused;
  if (wanted == m_readingKeysHeld) return;
  if (wanted) {
    HoldReadingKeys();
  } else {
    ReleaseReadingKeys();
  }
}

void CMaskDlg::PauseReadingKeys(bool paused) {
  m_readingKeysPaused = paused;
  SyncReadingKeys();
}

void CMaskDlg::ReleaseReadingKeys() {
  if (!m_readingKeysHeld) return;
  m_readingKeysHeld = false;
  for (BandKey key : kAllBandKeys) UnregisterHotKey(hwnd_, HotkeyIdOf(key));
}

void CMaskDlg::HoldReadingKeys() {
  m_readingKeysHeld = true;
  std::wstring refused;
  for (const ReadingRegistration& held : ReadingRegistrations(m_settings)) {
    if (RegisterHotKey(hwnd_, HotkeyIdOf(held.key), held.combo.fsModifiers, static_cast<UINT>(held.combo.vk))) continue;
    if (std::find(m_toldRefused.begin(), m_toldRefused.end(), held.combo) != m_toldRefused.end()) continue;
    m_toldRefused.push_back(held.combo);
    if (!refused.empty()) refused += LoadText(IDS_LIST_SEPARATOR);
    refused += Widen(KeyComboDisplayName(held.combo));
  }
  if (refused.empty()) return;
  // Told from the message loop, not from inside the tick that showed the mask.
  if (!m_refusedToTell.empty()) m_refusedToTell += LoadText(IDS_LIST_SEPARATOR);
  m_refusedToTell += refused;
  PostMessageW(hwnd_, WM_REPORT_REFUSED_KEYS, 0, 0);
}

void CMaskDlg::ShowRefusedKeys() {
  const std::wstring names = std::exchange(m_refusedToTell, {});
  if (names.empty()) return;
  ShowAppMessage(GetWindow(hwnd_, GW_OWNER), FormatResourceText(IDS_READING_KEYS_REFUSED, {names}));
}

void CMaskDlg::OnReadingKey(BandKey key) {
  // A key pressed just before the mask hid may still be on its way.
  if (!IsWindowVisible(hwnd_)) return;
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
    // The settings record is the controller's: it takes the new height as
    // a confirmed setting and saves it.
    SendMessageW(GetWindow(hwnd_, GW_OWNER), WM_BAND_THICKNESS, static_cast<WPARAM>(result.thickness), 0);
  }
  if (horizontal) {
    SetHorizontalBand(result.band.start, result.band.end);
  } else {
    SetVerticalBand(result.band.start, result.band.end);
  }
}

void CMaskDlg::OnClockTimer() {
  const std::int64_t elapsed = static_cast<std::int64_t>(std::time(nullptr)) - g_tStart;
  SetWindowTextW(m_clockLabel, ClockText(m_clockPattern, elapsed).c_str());
}

void CMaskDlg::ApplyRegion(const Rect& client, const std::optional<Rect>& hole) {
  if (!hwnd_) return;
  // The system still holds this very region (a tick that changed nothing).
  if (m_appliedRegion && m_appliedRegion->client == client && m_appliedRegion->hole == hole) return;
  UniqueRegion region(CreateRectRgn(client.left, client.top, client.right, client.bottom));
  if (hole) {
    UniqueRegion holeRegion(CreateRectRgn(hole->left, hole->top, hole->right, hole->bottom));
    CombineRgn(region.get(), region.get(), holeRegion.get(), RGN_DIFF);
  }
  // Not every system repaints the client for a new region, so we say what
  // to repaint. When only the band moved, that is the old opening, which
  // becomes mask (a confirmed colour repaints the whole mask by itself); a
  // new size repaints everything.
  const std::optional<AppliedRegion> previous = m_appliedRegion;
  const bool bandMoved = previous && previous->client == client;
  if (!SetWindowRgn(hwnd_, region.get(), bandMoved ? FALSE : TRUE)) {
    // The system took nothing: the region is still ours to delete, and no
    // region of ours is in place, so the next call must build one again.
    m_appliedRegion.reset();
    return;
  }
  region.release();  // the system owns it now
  m_appliedRegion = AppliedRegion{client, hole};
  if (!bandMoved) {
    InvalidateRect(hwnd_, nullptr, FALSE);
  } else if (previous->hole) {
    const RECT opening = {previous->hole->left, previous->hole->top, previous->hole->right, previous->hole->bottom};
    // With the labels: the opening may have cut into one.
    RedrawWindow(hwnd_, &opening, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  UpdateWindow(hwnd_);
}

Rect CMaskDlg::ClientRect() const {
  RECT rc = {};
  if (hwnd_) GetClientRect(hwnd_, &rc);
  return {rc.left, rc.top, rc.right, rc.bottom};
}
