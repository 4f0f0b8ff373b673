#include "app/control_dlg_win32.h"

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
#include "mask/band_keys.h"
#include "res/resource.h"
#include "settings/hotkey.h"
#include "settings/hotkey_win32.h"
#include "settings/program_list.h"

namespace {

// The tray icon's tooltip is softveil's name for it in every language.
constexpr wchar_t kTrayTip[] = L"softveil__quorvane";

WindowId ToWindowId(HWND hwnd) { return reinterpret_cast<WindowId>(hwnd); }

// Where the pointer was when the message in hand was taken from the queue.
POINT PointerAtMessage() {
  const DWORD at = GetMessagePos();
  return {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
}

std::wstring HotkeyName(const char* descriptor) { return Widen(HotkeyDisplayName(HotkeySpecFromText(descriptor))); }

// Whether the key of thicker or thinner is still down: a held key repeats
// only after the keyboard's delay, and its run is saved once it is let go.
bool ThicknessKeyDown(const MaskSettings& settings) {
  for (const ReadingRegistration& held : ReadingRegistrations(settings)) {
    const bool thickness = held.key == BandKey::Thicker || held.key == BandKey::Thinner;
    if (thickness && (GetAsyncKeyState(static_cast<int>(held.combo.vk)) & 0x8000)) return true;
  }
  return false;
}

// The user has just chosen these combinations: say so when the system
// refuses one (another program holds it), or they would seem broken.
void ReportRefusedHotkeys(HWND owner, const std::vector<std::wstring>& names) {
  if (names.empty()) return;
  ShowAppMessage(owner, names.size() == 1 ? FormatResourceText(IDS_HOTKEY_REFUSED, {names[0]})
                                          : FormatResourceText(IDS_HOTKEYS_REFUSED, {names[0], names[1]}));
}

}  // namespace

CControlDlg::CControlDlg(std::wstring startNotice) : m_hIcon(LoadIconW(AppInstance(), MAKEINTRESOURCEW(IDI_APP))) {
  if (!startNotice.empty()) m_notices.push_back(std::move(startNotice));
  m_maskDlg.SetStyleChooser([this](GuideStyle style) { OnGuideStyle(style); });
  m_maskDlg.SetSwitchWatcher([this] { OnMaskSwitched(); });
}

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
      if (wp == ID_TIMER_SAVE_KEY_CHANGES) {
        SaveKeyChanges();
      } else {
        OnTrackTick();
      }
      return TRUE;
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
      // Taken before they are shown, so a second such message shows nothing.
      for (const std::wstring& notice : std::exchange(m_notices, {})) ShowAppMessage(hwnd_, notice);
      return TRUE;
    case WM_DISPLAYCHANGE:  // monitors added, removed or rearranged
    case WM_DPICHANGED:     // the scale of a monitor changed
    case WM_SETTINGCHANGE:
      m_monitors = ReadMonitors();
      UpdateTrayImage();
      return FALSE;
    default:
      return FALSE;
  }
}

void CControlDlg::OnInitDialog() {
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_bMaskCreated = 0;
  if (std::optional<MaskSettings> read = ReadSettingsFile(SettingsFileInUse())) {
    m_settings = *read;
  } else {
    // Told once; read again when the mask is switched on, a dialog opens or
    // the thickness is to be saved.
    m_settings = DefaultSettings();
    m_settingsFileRead = false;
    m_notices.push_back(ReadFailedText());
  }
  m_monitors = ReadMonitors();
  // From the start: its first ticks make the mask window (TrackTickNeeded).
  m_tickRunning = SetTimer(hwnd_, ID_TIMER_TRACK, kTrackPeriodMs, nullptr) != 0;
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
  UpdateTrayImage();
  m_trayIcon.emplace(hwnd_, kTrayIconId, WM_TRAY_NOTIFY, m_trayImage ? m_trayImage.get() : m_hIcon, kTrayTip);
  ShowWindow(hwnd_, SW_HIDE);
  // Shown from the running loop, so the program is fully up behind them.
  if (!m_notices.empty()) PostMessageW(hwnd_, WM_SHOW_START_NOTICE, 0, 0);
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
      SwitchLock(g_bLockOn ? 0 : 1);
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
      SwitchLock(g_bLockOn ? 0 : 1);
      break;
    case ID_HOTKEY_LOCK_CLOSE:
      SwitchLock(0);
      break;
  }
}

void CControlDlg::SwitchLock(int on) {
  // Lock mode ties the mask to the window the last tick found under the
  // pointer; while the mask is off no tick runs, so one runs now.
  if (!m_tickRunning) TrackNow();
  g_bLockOn = on;
}

void CControlDlg::OnMaskSwitched() {
  if (m_exiting) return;
  SyncTrackTick();
  // Switched on, the mask shows now rather than at the timer's first tick;
  // switched off, it hides now, as no tick comes any more to hide it.
  TrackNow();
}

void CControlDlg::SyncTrackTick() {
  const bool needed = !m_exiting && TrackTickNeeded(m_bMaskCreated != 0, m_maskDlg.hwnd() != nullptr, g_bMaskOff != 0);
  if (needed == m_tickRunning) return;
  m_tickRunning = needed;
  if (!needed) {
    KillTimer(hwnd_, ID_TIMER_TRACK);
    return;
  }
  SetTimer(hwnd_, ID_TIMER_TRACK, kTrackPeriodMs, nullptr);
  // Monitors may have come and gone unannounced while it was off.
  m_monitors = ReadMonitors();
}

void CControlDlg::OnTrackTick() {
  // Where the pointer was when this timer message was taken from the queue:
  // the same as asking now, but under Wine asking costs a round trip to the
  // X server twice a second.
  Track(PointerAtMessage());
  // The clock rides the same wakeup: a shown mask wakes nothing else.
  m_maskDlg.UpdateClock();
}

void CControlDlg::TrackNow() {
  // Between timer messages the pointer is asked for; where the system cannot
  // tell it (a locked screen), where it was at the last message stands in.
  POINT pt;
  Track(GetCursorPos(&pt) ? pt : PointerAtMessage());
}

void CControlDlg::Track(POINT pt) {
  if (m_exiting) return;
  const bool maskOn = g_bMaskOff == 0;
  if (maskOn && !m_maskWasOn) ReadSettingsFileAgain();  // before it shows
  m_maskWasOn = maskOn;
  HWND under = WindowFromPoint(pt);
  // The handle beside a thin guide is the mask as far as tracking goes.
  if (m_maskDlg.IsGuideWindow(under)) under = m_maskDlg.hwnd();
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
  // Made while switched off, it waits for the switch without a tick.
  SyncTrackTick();
  // The window registered its hotkey as it was created; asking again tells
  // whether the combination confirmed before is held.
  if (!std::exchange(m_reportMaskHotkeyAtCreation, false) || !m_maskDlg.hwnd()) return;
  if (!m_maskDlg.RegisterMaskHotkey()) ReportRefusedHotkeys(hwnd_, {HotkeyName(m_settings.hotkey_mask_open)});
}

void CControlDlg::SendTrackToMask(HWND under) {
  if (m_maskDlg.hwnd()) SendMessageW(m_maskDlg.hwnd(), WM_MASK_TRACK, 0, reinterpret_cast<LPARAM>(under));
}

void CControlDlg::OnSettings() {
  // The tray menu works while a dialog is open: asked for again, the open
  // settings dialog comes to the front rather than a second one over it.
  if (m_pSettingsDlg && m_pSettingsDlg->BringToFront()) return;
  ReadSettingsFileAgain();
  CSettingsDlg dlg(m_settings, [this](bool editing) { m_maskDlg.PauseReadingKeys(editing); });
  m_pSettingsDlg = &dlg;
  const bool confirmed = dlg.DoModal(hwnd_) == IDOK;
  m_pSettingsDlg = nullptr;
  if (m_exiting) return;
  if (confirmed || dlg.MoreSettingsSaved()) {
    // What the reader confirmed is theirs to save from now on, whether the
    // file could be read or not.
    m_settingsFileRead = true;
    // A new language shows in each window as it next opens; the mask, which
    // stays open, keeps its own until softveil starts again.
    SetUiLanguageFromSetting(m_settings.language);
  }
  if (!confirmed) {
    // The more-settings dialog may have saved new reading keys or another
    // style meanwhile.
    if (dlg.MoreSettingsSaved()) {
      m_maskDlg.ApplySettings();
      m_maskDlg.ReleaseReadingKeys();
      m_maskDlg.SyncReadingKeys();
    }
    return;
  }
  m_reportMaskHotkeyAtCreation = !m_maskDlg.hwnd();
  ReportRefusedHotkeys(hwnd_, ApplyNewSettings());
}

std::vector<std::wstring> CControlDlg::ApplyNewSettings() {
  m_maskDlg.ApplySettings();
  // Every combination is let go before any is taken again: with two
  // swapped, the first registration would find the other still held by us.
  m_maskDlg.ReleaseReadingKeys();
  UnregisterHotKey(hwnd_, ID_HOTKEY_LOCK);
  m_maskDlg.UnregisterMaskHotkey();
  std::vector<std::wstring> refused;
  if (!RegisterLockHotkey()) refused.push_back(HotkeyName(m_settings.hotkey_lock_open));
  // Without a window yet, the mask registers its hotkey as it is created.
  if (!m_maskDlg.RegisterMaskHotkey()) refused.push_back(HotkeyName(m_settings.hotkey_mask_open));
  // The reading keys the orientation and the keys now say, if the mask is shown.
  m_maskDlg.SyncReadingKeys();
  return refused;
}

bool CControlDlg::ReadSettingsFileAgain() {
  if (m_settingsFileRead) return true;
  const std::optional<MaskSettings> read = ReadSettingsFile(SettingsFileInUse());
  if (!read) return false;
  m_settingsFileRead = true;
  m_settings = *read;
  SetUiLanguageFromSetting(m_settings.language);
  // As at start, a hotkey another program holds goes untold.
  ApplyNewSettings();
  return true;
}

void CControlDlg::OnBandThickness(int thickness) {
  // The reading keys made the band thicker or thinner: that is the height
  // from now on, and what an open settings dialog shows. A held key repeats
  // many times a second; the run is saved once, when the keys rest.
  m_settings.height = thickness;
  if (m_pSettingsDlg) m_pSettingsDlg->ShowHeight(thickness);
  m_heightToSave = true;
  SetTimer(hwnd_, ID_TIMER_SAVE_KEY_CHANGES, kKeyChangesSaveDelayMs, nullptr);
}

void CControlDlg::OnGuideStyle(GuideStyle style) {
  // The style key chose the next style: kept like a confirmed setting.
  SetGuideStyle(m_settings, style);
  m_styleToSave = true;
  SetTimer(hwnd_, ID_TIMER_SAVE_KEY_CHANGES, kKeyChangesSaveDelayMs, nullptr);
}

void CControlDlg::SaveKeyChanges() {
  const bool pending = m_heightToSave || m_styleToSave;
  if (pending && !m_exiting && ThicknessKeyDown(m_settings)) return;  // asked again later
  KillTimer(hwnd_, ID_TIMER_SAVE_KEY_CHANGES);
  if (!pending) return;
  const bool height = std::exchange(m_heightToSave, false);
  const bool style = std::exchange(m_styleToSave, false);
  const MaskSettings changed = m_settings;
  if (!m_settingsFileRead) {
    // Never written before it was read (the reader was told): read at last,
    // the file's values hold, with what the reader changed by key.
    if (!ReadSettingsFileAgain()) return;
    if (height) m_settings.height = changed.height;
    if (style) SetGuideStyle(m_settings, GuideStyleOf(changed));
    m_maskDlg.ApplySettings();
  }
  if (m_settings.Save() || m_exiting || std::exchange(m_thicknessSaveFailureTold, true)) return;
  ShowAppMessage(hwnd_, SaveFailedText());
}

void CControlDlg::UpdateTrayImage() {
  // The shell draws the tray icon at its small-icon size for the primary
  // monitor's scale, 16 px at 100 % and 32 at 200 %: the icon's image drawn
  // for that size stays crisp, and a new scale brings a new image.
  const int side = ScaleToDpi(16, PrimaryDpi(m_monitors));
  if (side == m_traySide) return;
  const auto image =
      static_cast<HICON>(LoadImageW(AppInstance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, side, side, 0));
  if (!image) return;
  m_traySide = side;
  // The old image goes once the shell shows the new one.
  const UniqueIcon old = std::exchange(m_trayImage, UniqueIcon(image));
  if (m_trayIcon) m_trayIcon->SetIcon(image);
}

void CControlDlg::OnAbout() {
  if (m_pAboutDlg && m_pAboutDlg->BringToFront()) return;
  CAboutDlg dlg;
  m_pAboutDlg = &dlg;
  dlg.DoModal(hwnd_);
  m_pAboutDlg = nullptr;
}

bool CControlDlg::RegisterLockHotkey() {
  return RegisterHotkeyFromText(hwnd_, ID_HOTKEY_LOCK, m_settings.hotkey_lock_open);
}

void CControlDlg::DestroyAll() {
  if (m_exiting) return;
  m_exiting = true;
  SaveKeyChanges();  // a run of the reading keys not saved yet
  m_maskDlg.DestroyWindow();
  m_trayIcon.reset();
  EndDialog(hwnd_, 0);
  // A settings or about dialog (or a message box over it) may still run its
  // own modal loop inside ours: the quit message ends each of them in turn,
  // innermost first, each closing its own window.
  PostQuitMessage(0);
}
