#include "app/control_dlg_win32.h"

#include <cwchar>
#include <string>

#include "common/globals.h"
#include "common/ids.h"
#include "app/tracker.h"
#include "dialogs/about_dlg_win32.h"
#include "dialogs/settings_dlg_win32.h"
#include "res/resource.h"
#include "settings/hotkey.h"
#include "settings/hotkey_win32.h"

namespace {

constexpr wchar_t kTrayTip[] = L"softveil__quorvane";

WindowId ToWindowId(HWND hwnd) { return reinterpret_cast<WindowId>(hwnd); }

}  // namespace

CControlDlg::CControlDlg() : m_hIcon(LoadIconW(AppInstance(), MAKEINTRESOURCEW(IDI_APP))) {}

INT_PTR CControlDlg::DoModal() { return RunModal(IDD_CONTROL, nullptr); }

INT_PTR CControlDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == m_taskbarCreated && m_taskbarCreated != 0) {
    // The shell (re)started: the icon it held is gone.
    if (!m_exiting) AddTrayIcon();
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
    case WM_TIMER:
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
    case WM_DISPLAYCHANGE:
      ReadScreenSize();
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
  m_maskDlg.m_pSettings = &m_settings;
  ReadScreenSize();
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
  AddTrayIcon();
  ShowWindow(hwnd_, SW_HIDE);
}

INT_PTR CControlDlg::OnCommand(WPARAM wp) {
  switch (LOWORD(wp)) {
    case ID_MENU_CLOSE:
    case IDOK:
    case IDCANCEL:
      DestroyAll();
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
  POINT pt;
  GetCursorPos(&pt);
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return 0;
  AppendMenuW(menu.get(), MF_STRING, ID_MENU_MASK_ON, L"开启遮挡");
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING, ID_MENU_AUTHOR, L"帮助");
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING, ID_MENU_SETTINGS, L"设置");
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING, ID_MENU_CLOSE, L"关闭");
  // Without the foreground the menu would not close on a click elsewhere;
  // WM_NULL afterwards lets a second right click open it again at once.
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(menu.get(), 0, pt.x, pt.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
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
  POINT pt;
  GetCursorPos(&pt);
  const HWND under = WindowFromPoint(pt);

  TrackInput in;
  in.under = ToWindowId(under);
  in.mask = ToWindowId(m_maskDlg.hwnd());
  in.maskCreated = m_bMaskCreated != 0;
  in.lockOn = g_bLockOn != 0;
  in.lockedWnd = g_hLockedWnd;
  RECT rc;
  in.rectKnown = under && GetWindowRect(under, &rc);
  if (in.rectKnown) in.rect = {rc.left, rc.top, rc.right, rc.bottom};
  in.bandHeight = m_maskDlg.m_nBandHeight;
  in.screenW = m_screenW;
  in.screenH = m_screenH;

  const TrackResult result = DecideTrackTick(in, g_bInTrackedWnd);
  g_hLockedWnd = result.lockedWnd;
  g_bInTrackedWnd = result.inTrackedWnd;
  switch (result.action) {
    case TrackAction::None:
      break;
    case TrackAction::Send:
      SendTrackToMask(under);
      break;
    case TrackAction::SetAndSend:
      m_maskDlg.SetTargetArea(result.area.left, result.area.top, result.area.right, result.area.bottom, m_screenW,
                              m_screenH);
      SendTrackToMask(under);
      break;
    case TrackAction::SetAndCreate:
      m_maskDlg.SetTargetArea(result.area.left, result.area.top, result.area.right, result.area.bottom, m_screenW,
                              m_screenH);
      // Tried once only: a mask that cannot be created is not retried every tick.
      m_bMaskCreated = 1;
      m_maskDlg.Create(hwnd_);
      break;
  }
}

void CControlDlg::ReadScreenSize() {
  m_screenW = GetSystemMetrics(SM_CXSCREEN);
  m_screenH = GetSystemMetrics(SM_CYSCREEN);
}

void CControlDlg::SendTrackToMask(HWND under) {
  if (m_maskDlg.hwnd()) SendMessageW(m_maskDlg.hwnd(), WM_MASK_TRACK, 0, reinterpret_cast<LPARAM>(under));
}

void CControlDlg::OnSettings() {
  CSettingsDlg dlg(&m_settings);
  if (dlg.DoModal(hwnd_) != IDOK || m_exiting) return;
  m_maskDlg.m_nBandHeight = m_settings.height;
  // The user expects a confirmed colour and opacity to show at once.
  m_maskDlg.RefreshAppearance();
  // The user has just chosen these combinations: say so when the system
  // refuses one (another program holds it), or they would seem broken.
  std::wstring refused;
  if (!RegisterLockHotkey()) refused += Widen(HotkeyDisplayName(HotkeySpecFromText(m_settings.hotkey_lock_open)));
  if (!m_maskDlg.RegisterMaskHotkey()) {
    if (!refused.empty()) refused += L"、";
    refused += Widen(HotkeyDisplayName(HotkeySpecFromText(m_settings.hotkey_mask_open)));
  }
  if (!refused.empty()) {
    const std::wstring text = L"快捷键 " + refused + L" 已被其他程序占用，无法使用。请在“设置”中换一个组合。";
    ShowAppMessage(hwnd_, text.c_str());
  }
}

void CControlDlg::OnAbout() {
  CAboutDlg dlg;
  dlg.DoModal(hwnd_);
}

bool CControlDlg::RegisterLockHotkey() {
  return RegisterHotkeyFromText(hwnd_, ID_HOTKEY_LOCK, m_settings.hotkey_lock_open);
}

void CControlDlg::AddTrayIcon() {
  m_nid = {};
  m_nid.cbSize = sizeof m_nid;
  m_nid.hWnd = hwnd_;
  m_nid.uID = kTrayIconId;
  m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
  m_nid.hIcon = m_hIcon;
  wcsncpy(m_nid.szTip, kTrayTip, std::size(m_nid.szTip) - 1);
  // When the shell is not ready yet this fails; "TaskbarCreated" brings it back.
  Shell_NotifyIconW(NIM_ADD, &m_nid);
  ShowWindow(hwnd_, SW_HIDE);
}

void CControlDlg::DestroyAll() {
  if (m_exiting) return;
  m_exiting = true;
  m_maskDlg.DestroyWindow();
  Shell_NotifyIconW(NIM_DELETE, &m_nid);
  EndDialog(hwnd_, 0);
  // A settings or about dialog (or a message box over it) may still run its
  // own modal loop inside ours: the quit message ends each of them in turn,
  // innermost first, each closing its own window.
  PostQuitMessage(0);
}
