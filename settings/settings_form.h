// What the settings dialog shows for a record, and the record its controls
// give back on OK.
#pragma once
#include <cstdint>
#include <string>

#include "settings/guide_style.h"
#include "settings/mask_settings.h"

constexpr int kTransparencyMin = 10;
constexpr int kTransparencyMax = 255;

struct HotkeyRow {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  std::string key;  // the key box text
};

struct SettingsForm {
  std::string heightText;      // edit 1000
  int trackbarPos = 0;         // trackbar 1003 (the trackbar clamps to 10..255)
  std::string transparencyLabel;  // label 1004
  bool horizontal = true;      // radio 1023
  HotkeyRow maskRow;           // 1005-1008
  HotkeyRow lockRow;           // 1013-1016
  std::uint32_t color = 0;     // the working colour
  // The style whose colour and opacity the dialog shows, the one in force
  // when it opened; OK writes them back to that style.
  GuideStyle style = GuideStyle::Mask;
};

// The form as the dialog shows it when it opens.
SettingsForm FormFromSettings(const MaskSettings& settings);

// The record the form gives on OK, starting from `current` (the colour text
// included). The caller checks it for duplicate hotkeys before adopting it.
MaskSettings SettingsFromForm(const SettingsForm& form, const MaskSettings& current);

// The trackbar's own clamp of a position into its range.
int ClampTrackbarPos(int pos);
