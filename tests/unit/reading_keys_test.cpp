#include "settings/reading_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "settings/ini_store.h"
#include "settings/key_combo.h"
#include "settings/more_settings_form.h"

namespace {

constexpr std::uint32_t kCtrlAlt = kModControl | kModAlt;

MaskSettings Defaults(bool horizontal = true) {
  MaskSettings s = DefaultSettings();
  s.horizontal = horizontal ? 1 : 0;
  return s;
}

MaskSettings WithKey(ReadingKey key, const char* text, bool horizontal = true) {
  MaskSettings s = Defaults(horizontal);
  SetSettingsText(ReadingKeySlot(s, key), text);
  return s;
}

TEST(ReadingCombo, DefaultsFollowTheOrientation) {
  struct Case {
    ReadingKey key;
    bool horizontal;
    HotkeySpec combo;
  };
  const Case cases[] = {
      {ReadingKey::Next, true, {kCtrlAlt, kVkDown}},
      {ReadingKey::Previous, true, {kCtrlAlt, kVkUp}},
      {ReadingKey::Next, false, {kCtrlAlt, kVkRight}},
      {ReadingKey::Previous, false, {kCtrlAlt, kVkLeft}},
      {ReadingKey::Thicker, true, {kCtrlAlt, kVkPageDown}},
      {ReadingKey::Thicker, false, {kCtrlAlt, kVkPageDown}},
      {ReadingKey::Thinner, true, {kCtrlAlt, kVkPageUp}},
      {ReadingKey::Thinner, false, {kCtrlAlt, kVkPageUp}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadingCombo(Defaults(c.horizontal), c.key), c.combo)
        << static_cast<int>(c.key) << (c.horizontal ? " horizontal" : " vertical");
  }
}

TEST(ReadingCombo, TheFilesTextOrTheDefaultWhenItIsUnusable) {
  struct Case {
    const char* text;
    bool horizontal;
    HotkeySpec next;
  };
  const Case cases[] = {
      {"CTRL|ALT|J", true, {kCtrlAlt, 'J'}},
      {"shift|f3", false, {kModShift, 0x72}},
      {"CTRL|ALT|DOWN", false, {kCtrlAlt, kVkDown}},  // set by hand: kept whatever the orientation
      {"", true, {kCtrlAlt, kVkDown}},
      {"", false, {kCtrlAlt, kVkRight}},
      {"CTRL|ALT|NEXTLINE", true, {kCtrlAlt, kVkDown}},  // an unknown key name
      {"CTRL|ALT|", false, {kCtrlAlt, kVkRight}},
      {"CTRL|ALT", true, {kCtrlAlt, kVkDown}},  // never a combination without a key
      {"DOWN|UP", true, {kCtrlAlt, kVkDown}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadingCombo(WithKey(ReadingKey::Next, c.text, c.horizontal), ReadingKey::Next), c.next) << c.text;
  }
}

TEST(FineCombo, AddsShiftUnlessItIsThere) {
  EXPECT_EQ(FineCombo({kCtrlAlt, kVkDown}), (HotkeySpec{kCtrlAlt | kModShift, kVkDown}));
  EXPECT_EQ(FineCombo({0, 0x70}), (HotkeySpec{kModShift, 0x70}));
  EXPECT_FALSE(FineCombo({kModControl | kModShift, 'J'}));
}

TEST(FindSharedCombination, AmongEveryCombinationHeld) {
  struct Case {
    const char* what;
    MaskSettings settings;
    std::optional<HotkeySpec> shared;
  };
  MaskSettings maskOnDown = Defaults();
  // The older form names a key by its character; '(' is the Down key's number.
  SetSettingsText(maskOnDown.hotkey_mask_open, "CTRL|ALT|(");
  MaskSettings lockOnPageUp = Defaults();
  SetSettingsText(lockOnPageUp.hotkey_lock_open, "CTRL|ALT|!");  // '!' is PageUp's number
  MaskSettings shiftedNext = WithKey(ReadingKey::Next, "CTRL|SHIFT|J");
  SetSettingsText(shiftedNext.hotkey_previous, "CTRL|SHIFT|K");
  const Case cases[] = {
      {"the defaults", Defaults(), std::nullopt},
      {"the defaults, vertical", Defaults(false), std::nullopt},
      {"next on the mask hotkey", WithKey(ReadingKey::Next, "CTRL|ALT|O"), HotkeySpec{kCtrlAlt, 'O'}},
      {"thinner on the lock hotkey", WithKey(ReadingKey::Thinner, "ctrl|alt|l"), HotkeySpec{kCtrlAlt, 'L'}},
      {"previous on next", WithKey(ReadingKey::Previous, "CTRL|ALT|DOWN"), HotkeySpec{kCtrlAlt, kVkDown}},
      {"thicker on the fine next", WithKey(ReadingKey::Thicker, "SHIFT|ALT|CTRL|DOWN"),
       HotkeySpec{kCtrlAlt | kModShift, kVkDown}},
      {"thicker on next of a horizontal band only", WithKey(ReadingKey::Thicker, "CTRL|ALT|RIGHT"), std::nullopt},
      {"thicker on next of a vertical band", WithKey(ReadingKey::Thicker, "CTRL|ALT|RIGHT", false),
       HotkeySpec{kCtrlAlt, kVkRight}},
      {"the mask hotkey in the older form", maskOnDown, HotkeySpec{kCtrlAlt, kVkDown}},
      {"the lock hotkey in the older form", lockOnPageUp, HotkeySpec{kCtrlAlt, kVkPageUp}},
      {"next with Shift has no fine step to clash", shiftedNext, std::nullopt},
      {"the style key on the lock hotkey", WithKey(ReadingKey::Style, "CTRL|ALT|L"), HotkeySpec{kCtrlAlt, 'L'}},
      {"thinner on the style key's default", WithKey(ReadingKey::Thinner, "CTRL|ALT|S"), HotkeySpec{kCtrlAlt, 'S'}},
  };
  for (const Case& c : cases) EXPECT_EQ(FindSharedCombination(c.settings), c.shared) << c.what;
}

TEST(ReadingStepsOf, OutOfRangeCountsAsNotSet) {
  struct Case {
    int step, fineStep, overlap, thicknessStep;
    ReadingSteps expected;
  };
  const Case cases[] = {
      {0, 20, -1, 10, {0, 20, -1, 10}},
      {150, 5, 0, 1, {150, 5, 0, 1}},
      {10000, 10000, 10000, 10000, {10000, 10000, 10000, 10000}},
      {10001, 10001, 10001, 10001, {0, 20, -1, 10}},
      {-1, 0, -2, 0, {0, 20, -1, 10}},
      {-200, -5, -100, -10, {0, 20, -1, 10}},
  };
  for (const Case& c : cases) {
    MaskSettings s = Defaults();
    s.step = c.step;
    s.fine_step = c.fineStep;
    s.overlap = c.overlap;
    s.thickness_step = c.thicknessStep;
    const ReadingSteps steps = ReadingStepsOf(s);
    EXPECT_EQ(steps, c.expected) << c.step << " " << c.fineStep << " " << c.overlap << " " << c.thicknessStep;
  }
}

// The settings file's new keys: after the six, only once used.

constexpr char kSix[] =
    "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\n"
    "hotkey_mask_open=CTRL|ALT|O\r\nhotkey_lock_open=CTRL|ALT|L\r\ncolor=0\r\n";

std::string Saved(const std::string& before, const MaskSettings& s) {
  IniDocument doc(before);
  s.WriteTo(doc);
  return doc.Bytes();
}

MaskSettings Loaded(const std::string& bytes) {
  MaskSettings s;
  s.ReadFrom(IniDocument(bytes));
  return s;
}

TEST(ReadingSettingsFile, UnusedKeysAreNotWritten) {
  EXPECT_EQ(Saved("", DefaultSettings()), kSix);
  EXPECT_EQ(Saved(kSix, Loaded(kSix)), kSix);
}

TEST(ReadingSettingsFile, NewKeysFollowTheSixInTheirOwnOrder) {
  MaskSettings s = DefaultSettings();
  SetSettingsText(s.hotkey_thinner, "CTRL|ALT|HOME");
  SetSettingsText(s.hotkey_next, "CTRL|ALT|J");
  s.overlap = 0;
  s.fine_step = 30;
  EXPECT_EQ(Saved(kSix, s), std::string(kSix) +
                                "hotkey_next=CTRL|ALT|J\r\nhotkey_thinner=CTRL|ALT|HOME\r\n"
                                "fine_step=30\r\noverlap=0\r\n");
  EXPECT_EQ(Loaded(Saved(kSix, s)), s);
}

TEST(ReadingSettingsFile, AKeyTheFileHasIsKeptAtItsDefault) {
  const std::string bytes = std::string(kSix) + "step=120\r\nhotkey_next=CTRL|ALT|J\r\n";
  MaskSettings s = Loaded(bytes);
  s.step = 0;
  SetSettingsText(s.hotkey_next, "");
  EXPECT_EQ(Saved(bytes, s), std::string(kSix) + "step=0\r\nhotkey_next=\r\n");
}

TEST(ReadingSettingsFile, ANumberIsReadOnlyFromAPlainDecimal) {
  struct Case {
    const char* line;
    int step, fineStep, overlap;
  };
  const Case cases[] = {
      {"step=90", 90, 20, -1},
      {"step= +90 ", 90, 20, -1},
      {"overlap=0", 0, 20, 0},
      {"overlap=-1", 0, 20, -1},
      {"overlap=abc", 0, 20, -1},  // the profile functions would read 0
      {"overlap=12px", 0, 20, -1},
      {"overlap=", 0, 20, -1},
      {"fine_step=0x10", 0, 20, -1},
      {"fine_step=2147483647", 0, 2147483647, -1},
      {"fine_step=2147483648", 0, 20, -1},
      {"fine_step=-2147483648", 0, -2147483647 - 1, -1},
      {"fine_step=99999999999", 0, 20, -1},
      {"fine_step=-", 0, 20, -1},
      {"overlap=\"50\"", 0, 20, -1},
  };
  for (const Case& c : cases) {
    const MaskSettings s = Loaded(std::string("[settings]\r\n") + c.line + "\r\n");
    EXPECT_EQ(s.step, c.step) << c.line;
    EXPECT_EQ(s.fine_step, c.fineStep) << c.line;
    EXPECT_EQ(s.overlap, c.overlap) << c.line;
    EXPECT_EQ(s.thickness_step, 10) << c.line;
  }
}

// The "更多设置" dialog's form.

TEST(MoreFormFromSettings, ShowsWhatIsInForceAndLeavesAutomaticLengthsEmpty) {
  MoreSettingsForm expected;
  expected.combos = {HotkeySpec{kCtrlAlt, kVkRight}, HotkeySpec{kCtrlAlt, kVkLeft}, HotkeySpec{kCtrlAlt, kVkPageDown},
                     HotkeySpec{kCtrlAlt, kVkPageUp}, HotkeySpec{kCtrlAlt, 'S'}};
  expected.fineStepText = "20";
  expected.thicknessStepText = "10";
  EXPECT_EQ(MoreFormFromSettings(Defaults(false)), expected);

  MaskSettings s = WithKey(ReadingKey::Thicker, "ALT|F9");
  s.step = 150;
  s.overlap = 0;
  s.fine_step = -3;  // out of range: its default is shown
  s.thickness_step = 4;
  SetSettingsText(s.style, "tint");
  expected.combos = {HotkeySpec{kCtrlAlt, kVkDown}, HotkeySpec{kCtrlAlt, kVkUp}, HotkeySpec{kModAlt, 0x78},
                     HotkeySpec{kCtrlAlt, kVkPageUp}, HotkeySpec{kCtrlAlt, 'S'}};
  expected.styleChoice = 3;
  expected.stepText = "150";
  expected.overlapText = "0";
  expected.fineStepText = "20";
  expected.thicknessStepText = "4";
  EXPECT_EQ(MoreFormFromSettings(s), expected);
}

MaskSettings FromForm(const MoreSettingsForm& form, const MoreSettingsForm& shown, const MaskSettings& current) {
  const auto result = SettingsFromMoreForm(form, shown, current);
  EXPECT_TRUE(std::holds_alternative<MaskSettings>(result));
  return std::holds_alternative<MaskSettings>(result) ? std::get<MaskSettings>(result) : current;
}

TEST(SettingsFromMoreForm, KeysLeftAsShownKeepTheirTextChangedOnesAreWritten) {
  // Next set by hand to what is also its default: left alone, it stays.
  const MaskSettings current = WithKey(ReadingKey::Next, "ctrl|alt|down");
  const MoreSettingsForm shown = MoreFormFromSettings(current);
  EXPECT_EQ(FromForm(shown, shown, current), current);

  struct Case {
    const char* what;
    ReadingKey key;
    HotkeySpec combo;
    const char* text;
  };
  const Case cases[] = {
      {"a new key", ReadingKey::Previous, {kModControl, 'K'}, "CTRL|K"},
      {"the navigation keys", ReadingKey::Thinner, {kCtrlAlt | kModShift, kVkEnd}, "CTRL|ALT|SHIFT|END"},
      {"another key", ReadingKey::Next, {kModShift, 'Q'}, "SHIFT|Q"},
      {"left as shown", ReadingKey::Next, {kCtrlAlt, kVkDown}, "ctrl|alt|down"},
      {"emptied", ReadingKey::Thicker, {0, 0}, ""},
      {"the style key", ReadingKey::Style, {kCtrlAlt, kVkF1 + 1}, "CTRL|ALT|F2"},
      {"modifiers only", ReadingKey::Thicker, {kCtrlAlt, 0}, ""},
  };
  for (const Case& c : cases) {
    MoreSettingsForm form = shown;
    form.combos[static_cast<std::size_t>(c.key)] = c.combo;
    const MaskSettings result = FromForm(form, shown, current);
    EXPECT_STREQ(ReadingKeySlot(result, c.key), c.text) << c.what;
  }
  // Changed from something else to the default, the slot empties and the
  // key follows the orientation again.
  const MaskSettings custom = WithKey(ReadingKey::Next, "CTRL|ALT|J");
  MoreSettingsForm form = MoreFormFromSettings(custom);
  form.combos[0] = {kCtrlAlt, kVkDown};
  EXPECT_STREQ(FromForm(form, MoreFormFromSettings(custom), custom).hotkey_next, "");
}

TEST(SettingsFromMoreForm, TheLanguageAndStyleAreWrittenOnlyWhenAnotherIsChosen) {
  MaskSettings current = Defaults();
  SetSettingsText(current.language, "fr");  // a value the drop-down shows as the system's language
  const MoreSettingsForm shown = MoreFormFromSettings(current);
  EXPECT_EQ(shown.languageChoice, 0);
  EXPECT_STREQ(FromForm(shown, shown, current).language, "fr") << "left as shown, the file's value stays";

  struct Case {
    int choice;
    const char* text;
  };
  for (const Case& c : {Case{1, "zh-CN"}, Case{2, "en"}}) {
    MoreSettingsForm form = shown;
    form.languageChoice = c.choice;
    EXPECT_STREQ(FromForm(form, shown, current).language, c.text);
  }
  // The style likewise: a damaged value left as shown stays.
  SetSettingsText(current.style, "stripes");
  const MoreSettingsForm styleShown = MoreFormFromSettings(current);
  EXPECT_EQ(styleShown.styleChoice, 0) << "shown as the mask, which it gives";
  EXPECT_STREQ(FromForm(styleShown, styleShown, current).style, "stripes");
  MoreSettingsForm bar = styleShown;
  bar.styleChoice = 1;
  EXPECT_STREQ(FromForm(bar, styleShown, current).style, "bar");
  // Back from English to the system's language.
  SetSettingsText(current.language, "EN");
  const MoreSettingsForm english = MoreFormFromSettings(current);
  EXPECT_EQ(english.languageChoice, 2);
  MoreSettingsForm form = english;
  form.languageChoice = 0;
  EXPECT_STREQ(FromForm(form, english, current).language, "auto");
}

TEST(SettingsFromMoreForm, AKeyWithoutANameIsRefused) {
  const MaskSettings current = Defaults();
  const MoreSettingsForm shown = MoreFormFromSettings(current);
  MoreSettingsForm form = shown;
  form.combos[3] = {kCtrlAlt, 0xBD};  // the - key
  const auto result = SettingsFromMoreForm(form, shown, current);
  ASSERT_TRUE(std::holds_alternative<UnnamedKey>(result));
  EXPECT_EQ(std::get<UnnamedKey>(result).key, ReadingKey::Thinner);
  EXPECT_EQ(std::get<UnnamedKey>(result).combo, (HotkeySpec{kCtrlAlt, 0xBD}));
}

TEST(SettingsFromMoreForm, LengthsFromTheBoxes) {
  struct Case {
    const char* text;
    int step, fineStep, overlap, thicknessStep;
  };
  const Case cases[] = {
      {"", 0, 20, -1, 10},        // empty: automatic, or the default
      {"35", 35, 35, 35, 35},
      {"  35", 35, 35, 35, 35},
      {"0", 0, 1, 0, 1},           // no zero step: automatic, or the least step
      {"007", 7, 7, 7, 7},
      {"99999", 10000, 10000, 10000, 10000},
      {"abc", 0, 20, -1, 10},
      {"-5", 0, 20, -1, 10},
      {"12x", 12, 12, 12, 12},
  };
  const MaskSettings current = Defaults();
  const MoreSettingsForm shown = MoreFormFromSettings(current);
  for (const Case& c : cases) {
    MoreSettingsForm form = shown;
    form.stepText = form.fineStepText = form.overlapText = form.thicknessStepText = form.pointerOffsetText = c.text;
    const MaskSettings s = FromForm(form, shown, current);
    EXPECT_EQ(s.step, c.step) << c.text;
    EXPECT_EQ(s.fine_step, c.fineStep) << c.text;
    EXPECT_EQ(s.overlap, c.overlap) << c.text;
    EXPECT_EQ(s.thickness_step, c.thicknessStep) << c.text;
    EXPECT_EQ(s.pointer_offset, c.overlap) << c.text << ": the pointer's offset reads as the overlap does";
  }
}

TEST(SettingsFromMoreForm, WhatTheBandFollowsIsWrittenOnlyWhenChosen) {
  MaskSettings s = Defaults();
  SetSettingsText(s.follow, "mouse");  // unknown: shown as a drag, which is what it does
  for (const auto& [choice, text] : {std::pair{0, "mouse"}, {2, "caret"}, {1, "pointer"}, {0, "drag"}}) {
    MoreSettingsForm form = MoreFormFromSettings(s);
    form.followChoice = choice;
    s = FromForm(form, MoreFormFromSettings(s), s);
    EXPECT_STREQ(s.follow, text);
  }
}

}  // namespace
