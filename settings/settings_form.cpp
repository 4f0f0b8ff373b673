#include "settings/settings_form.h"

#include <string>

#include "settings/decimal.h"
#include "settings/hotkey.h"

namespace {

HotkeyRow RowFromDescriptor(const char* descriptor) {
  HotkeyRow row;
  row.ctrl = HotkeyHasCtrl(descriptor);
  row.alt = HotkeyHasAlt(descriptor);
  row.shift = HotkeyHasShift(descriptor);
  // The key box shows only a plain ASCII character; a byte above 127 or a
  // missing key leaves it empty.
  const signed char key = HotkeyKeyChar(descriptor);
  if (key >= 1) row.key = std::string(1, static_cast<char>(key));
  return row;
}

std::string DescriptorFromRow(const HotkeyRow& row, char defaultLetter) {
  // Only the first character of the key box counts: "ab" means the A key.
  const char key = row.key.empty() ? '\0' : row.key.front();
  return BuildHotkeyText(row.alt, row.ctrl, row.shift, key, defaultLetter);
}

}  // namespace

int ClampTrackbarPos(int pos) {
  if (pos < kTransparencyMin) return kTransparencyMin;
  if (pos > kTransparencyMax) return kTransparencyMax;
  return pos;
}

SettingsForm FormFromSettings(const MaskSettings& settings) {
  SettingsForm form;
  form.style = GuideStyleOf(settings);
  const GuideLook look = LookShown(settings, form.style);
  form.heightText = std::to_string(settings.height);
  form.trackbarPos = ClampTrackbarPos(look.opacity);
  // The label shows the stored number even when the trackbar had to clamp it.
  form.transparencyLabel = std::to_string(look.opacity);
  form.horizontal = settings.horizontal != 0;
  form.maskRow = RowFromDescriptor(settings.hotkey_mask_open);
  form.lockRow = RowFromDescriptor(settings.hotkey_lock_open);
  form.color = look.color;
  return form;
}

MaskSettings SettingsFromForm(const SettingsForm& form, const MaskSettings& current) {
  MaskSettings result = current;
  // The edit control hands over at most 49 characters; 0 and negative
  // thicknesses are kept as typed, only beyond the usable range is cut.
  result.height = UsableBandHeight(DecimalToInt(std::string_view(form.heightText).substr(0, kSettingsTextSize - 1)));
  SetSettingsText(result.hotkey_mask_open, DescriptorFromRow(form.maskRow, 'O'));
  SetSettingsText(result.hotkey_lock_open, DescriptorFromRow(form.lockRow, 'L'));
  result.horizontal = form.horizontal ? 1 : 0;
  SetLook(result, form.style, {form.color, form.trackbarPos});
  return result;
}
