// The hidden controller: owns the settings, the mask, the tray icon, the lock
// hotkey and the 500 ms tracking tick, which runs only while the mask is
// switched on (see TrackTickNeeded) and carries the mask's clock. Its modal
// run is the message loop.
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

class CAboutDlg;
class CSettingsDlg;

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
  void SwitchLock(int on);
  void OnTrackTick();
  // One tracking tick with the pointer at `pt`.
  void Track(POINT pt);
  void TrackNow();
  void SyncTrackTick();
  void OnMaskSwitched();
  void UpdateTrayImage();
  void CreateMask();
  void OnSettings();
  // The new record in force: band, colour, hotkeys. Returns the names of the
  // hotkeys the system refused.
  std::vector<std::wstring> ApplyNewSettings();
  // A settings file that could not be read so far is read now, and what it
  // holds applies at once; false while it still cannot be read.
  bool ReadSettingsFileAgain();
  void OnBandThickness(int thickness);
  void OnGuideStyle(GuideStyle style);
  void SaveKeyChanges();
  void OnAbout();
  bool RegisterLockHotkey();
  // Mask window, tray icon, controller window; harmless when run again.
  void DestroyAll();
  void SendTrackToMask(HWND under);
  void ReadWhatToStayAwayFrom(TrackInput& in, HWND under);

  MaskSettings m_settings;
  // False while the settings file is there but could not be read yet: until
  // it is, nothing is written over it but what the reader confirmed in a dialog.
  bool m_settingsFileRead = true;
  bool m_maskWasOn = false;  // at the last tick
  CMaskDlg m_maskDlg{m_settings, [this](int thickness) { OnBandThickness(thickness); }};
  int m_bMaskCreated = 0;
  bool m_tickRunning = false;
  HICON m_hIcon = nullptr;
  // The tray's own image, at the small-icon size of the primary monitor's
  // scale, and that size.
  UniqueIcon m_trayImage;
  int m_traySide = 0;
  std::optional<TrayIcon> m_trayIcon;
  // The dialogs open now, one of each at a time. One that has ended stays
  // on the stack while a dialog opened inside its modal loop runs; it is
  // hidden then, and a new one of its kind may open.
  CSettingsDlg* m_pSettingsDlg = nullptr;
  CAboutDlg* m_pAboutDlg = nullptr;
  UINT m_taskbarCreated = 0;
  bool m_exiting = false;
  // Shown once the program runs, each in a box of its own.
  std::vector<std::wstring> m_notices;
  // A mask hotkey confirmed before the mask window existed is registered
  // when the window is created; a refusal is reported then.
  bool m_reportMaskHotkeyAtCreation = false;
  // What the reading keys changed (the thickness, the style) is saved once
  // the keys rest.
  bool m_heightToSave = false;
  bool m_styleToSave = false;
  // A change that could not be saved is told once in a run.
  bool m_thicknessSaveFailureTold = false;
  // The monitors, read at start, when the system announces a change of the
  // displays or their scale, when the tick starts again, and at a tick whose
  // pointer has moved or come to another window since the last one (see Track).
  std::vector<Monitor> m_monitors;
  POINT m_lastPointer = {};
  HWND m_lastUnder = nullptr;
  ProgramNames m_programs;
};
