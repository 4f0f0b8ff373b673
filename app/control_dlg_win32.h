// The hidden controller: owns the settings, the mask, the tray icon, the lock
// hotkey and the 500 ms tracking tick. Its modal run is the message loop.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/programs_win32.h"
#include "app/tracker.h"
#include "app/tray_icon_win32.h"
#include "common/handles_win32.h"
#include "common/dialog_base_win32.h"
#include "mask/mask_dlg_win32.h"
#include "settings/mask_settings.h"

class CControlDlg : public DialogBase {
 public:
  // `startNotice`, when not empty, is shown in a message box once the
  // program runs (what the command line asked that it could not do).
  explicit CControlDlg(std::wstring startNotice = {});

  // Runs until the program is told to exit.
  INT_PTR DoModal();

 private:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnInitDialog();
  INT_PTR OnCommand(WPARAM wp);
  LRESULT OnTrayNotify(WPARAM wp, LPARAM lp);
  void OnHotkey(WPARAM wp);
  void OnTrackTick();
  void CreateMask();
  void OnSettings();
  void OnBandThickness(int thickness);
  void OnAbout();
  bool RegisterLockHotkey();
  // Mask window, tray icon, controller window; harmless when run again.
  void DestroyAll();
  void SendTrackToMask(HWND under);
  void ReadWhatToStayAwayFrom(TrackInput& in, HWND under);

  MaskSettings m_settings;
  CMaskDlg m_maskDlg{m_settings};
  int m_bMaskCreated = 0;
  HICON m_hIcon = nullptr;
  // The tray's own image, at the small-icon size of the system's scale.
  UniqueIcon m_trayImage;
  std::optional<TrayIcon> m_trayIcon;
  UINT m_taskbarCreated = 0;
  bool m_exiting = false;
  std::wstring m_startNotice;
  // A mask hotkey confirmed before the mask window existed is registered
  // when the window is created; a refusal is reported then.
  bool m_reportMaskHotkeyAtCreation = false;
  // A thickness from the reading keys that could not be saved is told once
  // in a run: a held key would otherwise bring a box at every repeat.
  bool m_thicknessSaveFailureTold = false;
  // The monitors, read at start and whenever the displays or their scale
  // change rather than at every tick: under Wine each read asks the server.
  std::vector<Monitor> m_monitors;
  POINT m_lastPointer = {};
  HWND m_lastUnder = nullptr;
  ProgramNames m_programs;
};
