#include "app/control_dlg_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <utility>

#include "app/monitors_win32.h"
#include "app/tracker.h"
#include "common/globals.h"
#include "common/ids.h"
#include "common/language_win32.h"
#include "common/popup_menu_win32.h"
#include "common/settings_file_win32.h"
#include "dialogs/about_dlg_win32.h"
#include "dialogs/settings_dlg_win32.h"
#include "res/resource.h"
#include "settings/hotkey.h"
#include "settings/hotkey_win32.h"
#include "settings/program_list.h"

namespace {

// The tray icon's tooltip is softveil's name for it in every language.
constexpr wchar_t kTrayTip[] = L"softveil__quorvane";

WindowId ToWindowId(HWND hwnd) { return reinterpret_cast<WindowId>(hwnd); }

std::wstring HotkeyName(const char* descriptor) { return Widen(HotkeyDisplayName(HotkeySpecFromText(descriptor))); }

// The user has just chosen these combinations: say so when the system
// refuses one (another program holds it), or they would seem broken.
void ReportRefusedHotkeys(HWND owner, const std::vector<std::wstring>& names) {
  if (names.empty()) return;
  ShowAppMessage(owner, names.size() == 1 ? FormatResourceText(IDS_HOTKEY_REFUSED, {names[0]})
                                          : FormatResourceText(IDS_HOTKEYS_REFUSED, {names[0], names[1]}));
}

}  // namespace

CControlDlg::CControlDlg(std::wstring startNotice)
    : m_hIcon(LoadIconW(AppInstance(), MAKEINTRESOURCEW(IDI_APP))), m_startNotice(std::move(startNotice)) {}

INT_PTR CControlDlg::DoModal() { return RunModal(IDD_CONTROL, nullptr); }

INT_PTR CControlDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == m_taskbarCreated && m_taskbarCreated != 0) {
    // The shell (re)started: the icon it held is gone.
    if (m_trayIcon) m_trayIcon->Add();
    return TRUE;
  }
  switch (msg) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;
    case WM_WINDOWPOSCHANGING:
      // The controller is never shown, whoever asks (the template is visible,
      // and a modal run shows its dialog when the queue first empties).
      reinterpret_cast<WINDOWPOS*>(lp)->flags &= ~SWP_SHOWWINDOW;
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd_, &ps);
      EndPaint(hwnd_, &ps);
      return TRUE;
    }
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_SYSCOMMAND:
      // Alt+F4 while the controller holds the foreground (after the tray
      // menu or a dialog closed) would close the program the user cannot
      // see; only an explicit exit or another program's WM_CLOSE does.
      if ((wp & 0xFFF0) == SC_CLOSE) return TRUE;
      return FALSE;
    case WM_TIMER:
    case WM_TRACK_NOW:  // the covered window moved, or another came to the front
      OnTrackTick();
      return TRUE;
    case WM_COMMAND:
      return OnCommand(wp);
    case WM_CLOSE:
      DestroyAll();
      return TRUE;
    case WM_TRAY_NOTIFY:
      SetResult(OnTrayNotify(wp, lp));
      return TRUE;
    case WM_MASK_MINIMIZE:
      SetResult(m_maskDlg.hwnd() ? CloseWindow(m_maskDlg.hwnd()) : FALSE);
      return TRUE;
    case WM_HOTKEY:
      OnHotkey(wp);
      return TRUE;
    case WM_SHOW_START_NOTICE:
      // Taken before it is shown, so a second such message shows nothing.
      if (const std::wstring notice = std::exchange(m_startNotice, {}); !notice.empty()) {
        ShowAppMessage(hwnd_, notice);
      }
      return TRUE;
    case WM_BAND_THICKNESS:
      OnBandThickness(static_cast<int>(wp));
      return TRUE;
    case WM_SHOW_SAVE_FAILED:
      ShowAppMessage(hwnd_, SaveFailedText());
      return TRUE;
    case WM_DISPLAYCHANGE:  // monitors added, removed or rearranged
    case WM_DPICHANGED:     // the scale of a monitor changed
    case WM_SETTINGCHANGE:
      m_monitors = ReadMonitors();
      return FALSE;
    default:
      return FALSE;
  }
}

void CControlDlg::OnInitDialog() {
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_bMaskCreated = 0;
  m_settings.Load();
  m_monitors = ReadMonitors();
  SetTimer(hwnd_, ID_TIMER_TRACK, kTrackPeriodMs, nullptr);
  // A tool window gets no taskbar button.
  const LONG exStyle = GetWindowLongW(hwnd_, GWL_EXSTYLE);
  SetWindowLongW(hwnd_, GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  placement.flags = WPF_RESTORETOMAXIMIZED;
  placement.showCmd = SW_HIDE;
  SetWindowPlacement(hwnd_, &placement);
  RegisterLockHotkey();
  m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  // The shell shows the tray icon at its small-icon size, 16 px at 100 % and
  // 32 at 200 %: an image drawn at that size stays crisp.
  HICON trayImage = nullptr;
  if (SUCCEEDED(LoadIconMetric(AppInstance(), MAKEINTRESOURCEW(IDI_APP), LIM_SMALL, &trayImage))) {
    m_trayImage.reset(trayImage);
  }
  m_trayIcon.emplace(hwnd_, kTrayIconId, WM_TRAY_NOTIFY, m_trayImage ? m_trayImage.get() : m_hIcon, kTrayTip);
  ShowWindow(hwnd_, SW_HIDE);
  // Shown from the running loop, so the program is fully up behind it.
  if (!m_startNotice.empty()) PostMessageW(hwnd_, WM_SHOW_START_NOTICE, 0, 0);
}

INT_PTR CControlDlg::OnCommand(WPARAM wp) {
  switch (LOWORD(wp)) {
    case ID_MENU_CLOSE:
      DestroyAll();
      return TRUE;
    case IDOK:
    case IDCANCEL:
      // Enter and Esc reach the invisible controller whenever it holds the
      // foreground; they must not end the program.
      return TRUE;
    case ID_MENU_AUTHOR:
      OnAbout();
      return TRUE;
    case ID_MENU_SETTINGS:
      OnSettings();
      return TRUE;
    case ID_MENU_MASK_ON:
      m_maskDlg.SwitchMaskOn();
      return TRUE;
    case ID_MENU_LOCK:
      g_bLockOn = g_bLockOn ? 0 : 1;
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT CControlDlg::OnTrayNotify(WPARAM wp, LPARAM lp) {
  if (wp != kTrayIconId) return 1;
  if (lp != WM_RBUTTONUP) return 0;
  POINT at;
  if (!GetCursorPos(&at)) return 0;
  ShowPopupMenu(hwnd_, at,
                {{ID_MENU_MASK_ON, IDS_TRAY_MASK_ON}, {0, 0}, {ID_MENU_AUTHOR, IDS_TRAY_HELP}, {0, 0},
                 {ID_MENU_SETTINGS, IDS_TRAY_SETTINGS}, {0, 0}, {ID_MENU_CLOSE, IDS_TRAY_EXIT}});
  return 0;
}

void CControlDlg::OnHotkey(WPARAM wp) {
  switch (LOWORD(wp)) {
    case ID_HOTKEY_LOCK:
      g_bLockOn = g_bLockOn ? 0 : 1;
      break;
    case ID_HOTKEY_LOCK_CLOSE:
      g_bLockOn = 0;
      break;
  }
}

void CControlDlg::OnTrackTick() {
  if (m_exiting) return;
  // Where the pointer was when this timer message was taken from the queue:
  // the same as asking now, but under Wine asking costs a round trip to the
  // X server twice a second.
  const DWORD at = GetMessagePos();
  const POINT pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  const HWND under = WindowFromPoint(pt);
  if (pt.x != m_lastPointer.x || pt.y != m_lastPointer.y || under != m_lastUnder) {
    // Not every system announces a monitor that went away (Wine does not),
    // and reading them all is dear: read them again whenever the pointer has
    // moved or come to another window, which a reader at rest never does.
    // A pointer on a monitor that goes away is moved onto one that stays.
    m_lastPointer = pt;
    m_lastUnder = under;
    m_monitors = ReadMonitors();
  }

  TrackInput in;
  in.under = ToWindowId(under);
  in.mask = ToWindowId(m_maskDlg.hwnd());
  in.maskCreated = m_bMaskCreated != 0;
  in.maskOff = m_maskDlg.hwnd() && g_bMaskOff;
  in.lock = {g_bLockOn != 0, g_hLockedWnd, g_bInTrackedWnd};
  RECT rc;
  in.rectKnown = !in.maskOff && under && GetWindowRect(under, &rc);
  if (in.rectKnown) in.rect = {rc.left, rc.top, rc.right, rc.bottom};
  in.bandHeight = m_maskDlg.BandHeight();
  in.monitors = m_monitors;
  if (!in.maskOff) ReadWhatToStayAwayFrom(in, under);

  const TrackResult result = DecideTrackTick(in);
  g_hLockedWnd = result.lock.lockedWnd;
  g_bInTrackedWnd = result.lock.inTrackedWnd;
  switch (result.action) {
    case TrackAction::None:
      break;
    case TrackAction::Send:
      SendTrackToMask(under);
      break;
    case TrackAction::SetAndSend:
      m_maskDlg.SetTargetArea(result.area);
      SendTrackToMask(under);
      break;
    case TrackAction::SetAndCreate:
      m_maskDlg.SetTargetArea(result.area);
      CreateMask();
      break;
    case TrackAction::Hide:
      if (m_maskDlg.hwnd() && IsWindowVisible(m_maskDlg.hwnd())) ShowWindow(m_maskDlg.hwnd(), SW_HIDE);
      break;
  }
}

void CControlDlg::ReadWhatToStayAwayFrom(TrackInput& in, HWND under) {
  if (!m_settings.exclude.empty()) {
    const HWND front = GetForegroundWindow();
    in.underListed = under && ProgramListed(m_settings.exclude, m_programs.Of(under));
    in.foregroundListed = front && ProgramListed(m_settings.exclude, m_programs.Of(front));
  }
  in.fullScreenMode = in.rectKnown && FullScreenProgramRunning();
}

void CControlDlg::CreateMask() {
  // Tried once only: a mask that cannot be created is not retried every tick.
  m_bMaskCreated = 1;
  m_maskDlg.Create(hwnd_);
  // The window registered its hotkey as it was created; asking again tells
  // whether the combination confirmed before is held.
  if (!std::exchange(m_reportMaskHotkeyAtCreation, false) || !m_maskDlg.hwnd()) return;
  if (!m_maskDlg.RegisterMaskHotkey()) ReportRefusedHotkeys(hwnd_, {HotkeyName(m_settings.hotkey_mask_open)});
}

void CControlDlg::SendTrackToMask(HWND under) {
  if (m_maskDlg.hwnd()) SendMessageW(m_maskDlg.hwnd(), WM_MASK_TRACK, 0, reinterpret_cast<LPARAM>(under));
}

void CControlDlg::OnSettings() {
  CSettingsDlg dlg(m_settings, [this](bool editing) { m_maskDlg.PauseReadingKeys(editing); });
  const bool confirmed = dlg.DoModal(hwnd_) == IDOK;
  if (m_exiting) return;
  // A new language shows in each window as it next opens; the mask, which
  // stays open, keeps its own until softveil starts again.
  if (confirmed || dlg.MoreSettingsSaved()) SetUiLanguageFromSetting(m_settings.language);
  if (!confirmed) {
    // The more-settings dialog may have saved new reading keys meanwhile.
    if (dlg.MoreSettingsSaved()) {
      m_maskDlg.ReleaseReadingKeys();
      m_maskDlg.SyncReadingKeys();
    }
    return;
  }
  m_maskDlg.ApplySettings();
  // Every combination is let go before any is taken again: with two
  // swapped, the first registration would find the other still held by us.
  m_maskDlg.ReleaseReadingKeys();
  UnregisterHotKey(hwnd_, ID_HOTKEY_LOCK);
  m_maskDlg.UnregisterMaskHotkey();
  std::vector<std::wstring> refused;
  if (!RegisterLockHotkey()) refused.push_back(HotkeyName(m_settings.hotkey_lock_open));
  if (!m_maskDlg.hwnd()) {
    m_reportMaskHotkeyAtCreation = true;
  } else if (!m_maskDlg.RegisterMaskHotkey()) {
    refused.push_back(HotkeyName(m_settings.hotkey_mask_open));
  }
  // The reading keys the orientation and the keys now say, if the mask is shown.
  m_maskDlg.SyncReadingKeys();
  ReportRefusedHotkeys(hwnd_, refused);
}

void CControlDlg::OnBandThickness(int thickness) {
  // The reading keys made the band thicker or thinner: that is the height
  // from now on, saved as a confirmed setting is.
  m_settings.height = thickness;
  if (m_settings.Save() || std::exchange(m_thicknessSaveFailureTold, true)) return;
  // Sent from inside the mask's key handling: told once that is done.
  PostMessageW(hwnd_, WM_SHOW_SAVE_FAILED, 0, 0);
}

void CControlDlg::OnAbout() {
  CAboutDlg dlg;
  dlg.DoModal(hwnd_);
}

bool CControlDlg::RegisterLockHotkey() {
  return RegisterHotkeyFromText(hwnd_, ID_HOTKEY_LOCK, m_settings.hotkey_lock_open);
}

void CControlDlg::DestroyAll() {
  if (m_exiting) return;
  m_exiting = true;
  m_maskDlg.DestroyWindow();
  m_trayIcon.reset();
  EndDialog(hwnd_, 0);
  // A settings or about dialog (or a message box over it) may still run its
  // own modal loop inside ours: the quit message ends each of them in turn,
  // innermost first, each closing its own window.
  PostQuitMessage(0);
}
