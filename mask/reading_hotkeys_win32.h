// The reading keys' registration: held on the mask window exactly while it
// is shown (and not paused), each combination another program holds told
// once in a run.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "mask/band_keys.h"
#include "settings/key_combo.h"
#include "settings/mask_settings.h"

class ReadingHotkeys {
 public:
  // The combinations are read from `settings` each time they are taken.
  explicit ReadingHotkeys(const MaskSettings& settings) : m_settings(settings) {}

  // The window the keys are registered on; nullptr when it is gone.
  void Attach(HWND hwnd) { m_hwnd = hwnd; }

  // Takes the keys when `shown` and not paused, lets them go otherwise.
  void Sync(bool shown);
  // While the keys are being set in the more-settings dialog they are let
  // go, so that they can be typed into its boxes, shown mask or not. Each
  // Pause(true) is ended by a Pause(false) of its own.
  void Pause(bool paused, bool shown);
  // Lets the keys go now (before other hotkeys are registered anew).
  void Release();

  // The band key a WM_HOTKEY id stands for, if it is one of ours.
  static std::optional<BandKey> KeyOf(int hotkeyId);

  // Tells the reader, in a box owned by `owner`, which combinations were
  // refused since the last call.
  void ShowRefused(HWND owner);

 private:
  void Hold();

  const MaskSettings& m_settings;
  HWND m_hwnd = nullptr;
  bool m_held = false;
  int m_pauses = 0;  // more-settings dialogs open
  // Reading keys another program held when the mask showed: each is told
  // once in a run, then left alone.
  std::vector<HotkeySpec> m_toldRefused;
  std::wstring m_refusedToTell;
};
