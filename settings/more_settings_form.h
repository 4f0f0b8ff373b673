// What the "更多设置" (more settings) dialog shows for a record, and the
// record its controls give back on OK.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <variant>

#include "settings/hotkey.h"
#include "settings/mask_settings.h"
#include "settings/reading_keys.h"

struct MoreSettingsForm {
  // The hotkey controls, in the order of kReadingKeys.
  std::array<HotkeySpec, std::size(kReadingKeys)> combos{};
  // The edit boxes; step and overlap stay empty while they are automatic.
  std::string stepText;
  std::string fineStepText;
  std::string overlapText;
  std::string thicknessStepText;
  // The language drop-down's entry (LanguageChoiceIndex).
  int languageChoice = 0;
  // The style drop-down's entry, in the order of kGuideStyles.
  int styleChoice = 0;
  // What the band follows: the drop-down's entry (a FollowMode), the
  // pointer's offset (empty while automatic) and the programs to stay away
  // from, as softveil.ini writes them.
  int followChoice = 0;
  std::string pointerOffsetText;
  std::string excludeText;
  friend bool operator==(const MoreSettingsForm&, const MoreSettingsForm&) = default;
};

MoreSettingsForm MoreFormFromSettings(const MaskSettings& settings);

// OK found a key the settings file has no name for (the number pad's
// operators, a punctuation key): the dialog says so and stays open.
struct UnnamedKey {
  ReadingKey key;
  HotkeySpec combo;
};

// The record the form gives on OK, starting from `current`. `shown` is the
// form as the dialog opened: a combination left as shown keeps the record's
// text as it was; one changed to its default, or emptied, becomes empty
// again (the default, so next and previous follow the orientation). The
// language, the style and what the band follows likewise: left as shown,
// the record keeps its text (a value the drop-down cannot show included);
// another entry writes that entry's value.
std::variant<MaskSettings, UnnamedKey> SettingsFromMoreForm(const MoreSettingsForm& form,
                                                           const MoreSettingsForm& shown,
                                                           const MaskSettings& current);
