#include "settings/reading_keys.h"

#include <vector>

#include "settings/key_combo.h"
#include "settings/text_slot.h"

char (&ReadingKeySlot(MaskSettings& settings, ReadingKey key))[kSettingsTextSize] {
  switch (key) {
    case ReadingKey::Next:
      return settings.hotkey_next;
    case ReadingKey::Previous:
      return settings.hotkey_previous;
    case ReadingKey::Thicker:
      return settings.hotkey_thicker;
    case ReadingKey::Thinner:
      return settings.hotkey_thinner;
    case ReadingKey::Style:
      break;
  }
  return settings.hotkey_style;
}

const char (&ReadingKeySlot(const MaskSettings& settings, ReadingKey key))[kSettingsTextSize] {
  return ReadingKeySlot(const_cast<MaskSettings&>(settings), key);
}

HotkeySpec DefaultReadingCombo(ReadingKey key, bool horizontal) {
  constexpr std::uint32_t kCtrlAlt = kModControl | kModAlt;
  switch (key) {
    case ReadingKey::Next:
      return {kCtrlAlt, horizontal ? kVkDown : kVkRight};
    case ReadingKey::Previous:
      return {kCtrlAlt, horizontal ? kVkUp : kVkLeft};
    case ReadingKey::Thicker:
      return {kCtrlAlt, kVkPageDown};
    case ReadingKey::Thinner:
      return {kCtrlAlt, kVkPageUp};
    case ReadingKey::Style:
      break;
  }
  return {kCtrlAlt, 'S'};
}

HotkeySpec ReadingCombo(const MaskSettings& settings, ReadingKey key) {
  const std::optional<HotkeySpec> combo = ParseKeyCombo(SlotText(ReadingKeySlot(settings, key)));
  return combo.value_or(DefaultReadingCombo(key, settings.horizontal != 0));
}

std::optional<HotkeySpec> FineCombo(const HotkeySpec& combo) {
  if (combo.fsModifiers & kModShift) return std::nullopt;
  return HotkeySpec{combo.fsModifiers | kModShift, combo.vk};
}

std::optional<HotkeySpec> FindSharedCombination(const MaskSettings& settings) {
  std::vector<HotkeySpec> held = {HotkeySpecFromText(settings.hotkey_mask_open),
                                  HotkeySpecFromText(settings.hotkey_lock_open)};
  for (const ReadingKey key : kReadingKeys) {
    const HotkeySpec combo = ReadingCombo(settings, key);
    held.push_back(combo);
    if (key == ReadingKey::Next || key == ReadingKey::Previous) {
      if (const std::optional<HotkeySpec> fine = FineCombo(combo)) held.push_back(*fine);
    }
  }
  for (std::size_t i = 0; i < held.size(); ++i) {
    for (std::size_t j = i + 1; j < held.size(); ++j) {
      if (held[i] == held[j]) return held[i];
    }
  }
  return std::nullopt;
}

namespace {

int InRange(int value, int low, int fallback) { return value >= low && value <= kMaxReadingLength ? value : fallback; }

}  // namespace

ReadingSteps ReadingStepsOf(const MaskSettings& settings) {
  const ReadingSteps defaults;
  ReadingSteps steps;
  steps.step = InRange(settings.step, 0, defaults.step);
  steps.fineStep = InRange(settings.fine_step, 1, defaults.fineStep);
  steps.overlap = InRange(settings.overlap, -1, defaults.overlap);
  steps.thicknessStep = InRange(settings.thickness_step, 1, defaults.thicknessStep);
  return steps;
}
