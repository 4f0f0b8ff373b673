// The reading keys: four global keys that act on the band while the mask is
// shown (next, previous, thicker, thinner), Shift added to next and
// previous for a fine step, and the lengths they move by, as the settings
// record gives them.
#pragma once
#include <optional>
#include <span>

#include "settings/hotkey.h"
#include "settings/mask_settings.h"

// Style cycles the guide's style (settings/guide_style.h); it is held
// while the mask shows like the others, in every style.
enum class ReadingKey { Next, Previous, Thicker, Thinner, Style };
inline constexpr ReadingKey kReadingKeys[] = {ReadingKey::Next, ReadingKey::Previous, ReadingKey::Thicker,
                                              ReadingKey::Thinner, ReadingKey::Style};

// The record's text slot of a reading key.
char (&ReadingKeySlot(MaskSettings& settings, ReadingKey key))[kSettingsTextSize];
const char (&ReadingKeySlot(const MaskSettings& settings, ReadingKey key))[kSettingsTextSize];

// Ctrl+Alt with Down and Up for a horizontal band, Right and Left for a
// vertical one; Ctrl+Alt+PageDown and PageUp make it thicker and thinner;
// Ctrl+Alt+S cycles the style.
HotkeySpec DefaultReadingCombo(ReadingKey key, bool horizontal);

// The combination in force: the record's text, or the default when the text
// is empty, damaged or names a key we do not know.
HotkeySpec ReadingCombo(const MaskSettings& settings, ReadingKey key);

// The fine step's combination: Shift added; nothing when Shift is already
// part of it (the fine step then has no key).
std::optional<HotkeySpec> FineCombo(const HotkeySpec& combo);

// Every global combination softveil holds for `settings`, each once: the
// mask hotkey, the lock hotkey, the reading keys and the two fine steps.
// A combination that two of them share.
std::optional<HotkeySpec> FindSharedCombination(const MaskSettings& settings);

// The largest length of the reading keys, in pixels at 96 DPI.
constexpr int kMaxReadingLength = kMaxSettingsLength;

// The lengths in force, in pixels at 96 DPI: a value out of its range
// counts as not set, and gives the default.
struct ReadingSteps {
  int step = 0;            // 1 to kMaxReadingLength, or 0: the thickness less the overlap
  int fineStep = 20;       // 1 to kMaxReadingLength
  int overlap = -1;        // 0 to kMaxReadingLength, or -1: an eighth of the thickness
  int thicknessStep = 10;  // 1 to kMaxReadingLength
  friend bool operator==(const ReadingSteps&, const ReadingSteps&) = default;
};
ReadingSteps ReadingStepsOf(const MaskSettings& settings);
