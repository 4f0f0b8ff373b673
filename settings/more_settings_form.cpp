#include "settings/more_settings_form.h"

#include <algorithm>
#include <string_view>

#include "settings/ascii_text.h"
#include "settings/decimal.h"
#include "settings/guide_style.h"
#include "settings/follow.h"
#include "settings/key_combo.h"
#include "settings/language.h"
#include "settings/text_slot.h"

namespace {

// A box's number: empty (or no number in it) gives `empty`; a number is
// kept within `low` and kMaxReadingLength. The boxes take digits only, but
// a pasted text may hold anything.
int NumberFromBox(std::string_view text, int empty, int low) {
  text = TrimFront(text, IsBlank<char>);
  if (text.empty() || text.front() < '0' || text.front() > '9') return empty;
  return std::clamp(DecimalToInt(text), low, kMaxReadingLength);
}

}  // namespace

MoreSettingsForm MoreFormFromSettings(const MaskSettings& settings) {
  MoreSettingsForm form;
  for (std::size_t i = 0; i < std::size(kReadingKeys); ++i) form.combos[i] = ReadingCombo(settings, kReadingKeys[i]);
  const ReadingSteps steps = ReadingStepsOf(settings);
  form.stepText = steps.step > 0 ? std::to_string(steps.step) : "";
  form.fineStepText = std::to_string(steps.fineStep);
  form.overlapText = steps.overlap >= 0 ? std::to_string(steps.overlap) : "";
  form.thicknessStepText = std::to_string(steps.thicknessStep);
  form.languageChoice = LanguageChoiceIndex(SlotText(settings.language));
  form.styleChoice = static_cast<int>(GuideStyleOf(settings));
  form.followChoice = static_cast<int>(FollowModeOf(settings));
  const int offset = PointerOffsetOf(settings);
  form.pointerOffsetText = offset >= 0 ? std::to_string(offset) : "";
  form.excludeText = settings.exclude;
  return form;
}

std::variant<MaskSettings, UnnamedKey> SettingsFromMoreForm(const MoreSettingsForm& form,
                                                           const MoreSettingsForm& shown,
                                                           const MaskSettings& current) {
  MaskSettings result = current;
  const bool horizontal = current.horizontal != 0;
  for (std::size_t i = 0; i < std::size(kReadingKeys); ++i) {
    const ReadingKey key = kReadingKeys[i];
    const HotkeySpec& combo = form.combos[i];
    if (combo == shown.combos[i]) continue;
    // An emptied control (or modifiers without a key) asks for the default.
    if (combo.vk == 0 || combo == DefaultReadingCombo(key, horizontal)) {
      SetSettingsText(ReadingKeySlot(result, key), "");
      continue;
    }
    const std::optional<std::string> text = KeyComboText(combo);
    if (!text) return UnnamedKey{key, combo};
    SetSettingsText(ReadingKeySlot(result, key), *text);
  }
  const ReadingSteps defaults;
  result.step = NumberFromBox(form.stepText, 0, 0);
  result.fine_step = NumberFromBox(form.fineStepText, defaults.fineStep, 1);
  result.overlap = NumberFromBox(form.overlapText, -1, 0);
  result.thickness_step = NumberFromBox(form.thicknessStepText, defaults.thicknessStep, 1);
  if (form.languageChoice != shown.languageChoice) {
    SetSettingsText(result.language, LanguageChoiceValue(form.languageChoice));
  }
  if (form.styleChoice != shown.styleChoice && form.styleChoice >= 0 &&
      form.styleChoice < static_cast<int>(std::size(kGuideStyles))) {
    SetGuideStyle(result, kGuideStyles[form.styleChoice]);
  }
  if (form.followChoice != shown.followChoice && form.followChoice >= 0 && form.followChoice < kFollowChoiceCount) {
    SetSettingsText(result.follow, FollowModeValue(static_cast<FollowMode>(form.followChoice)));
  }
  result.pointer_offset = NumberFromBox(form.pointerOffsetText, -1, 0);
  result.exclude = form.excludeText;
  return result;
}
