#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <string>

namespace {

MaskSettings Record(int height, int transparence, int horizontal, const char* mask, const char* lock,
                    const char* color) {
  MaskSettings s;
  s.height = height;
  s.transparence = transparence;
  s.horizontal = horizontal;
  SetSettingsText(s.hotkey_mask_open, mask);
  SetSettingsText(s.hotkey_lock_open, lock);
  SetSettingsText(s.color, color);
  return s;
}

MaskSettings Defaults() { return Record(200, 200, 1, "CTRL|ALT|O", "CTRL|ALT|L", "0"); }

TEST(FormFromSettings, ShowsTheDefaults) {
  const SettingsForm form = FormFromSettings(Defaults());
  EXPECT_EQ(form.heightText, "200");
  EXPECT_EQ(form.trackbarPos, 200);
  EXPECT_EQ(form.transparencyLabel, "200");
  EXPECT_TRUE(form.horizontal);
  EXPECT_TRUE(form.maskRow.ctrl && form.maskRow.alt && !form.maskRow.shift);
  EXPECT_EQ(form.maskRow.key, "O");
  EXPECT_TRUE(form.lockRow.ctrl && form.lockRow.alt && !form.lockRow.shift);
  EXPECT_EQ(form.lockRow.key, "L");
  EXPECT_EQ(form.color, 0u);
}

TEST(FormFromSettings, TrackbarClampsButTheLabelShowsTheStoredNumber) {
  struct Case {
    int stored, trackbar;
  };
  for (const Case c : {Case{300, 255}, Case{5, 10}, Case{10, 10}, Case{255, 255}, Case{-1, 10}}) {
    const SettingsForm form = FormFromSettings(Record(1, c.stored, 1, "O", "L", "0"));
    EXPECT_EQ(form.trackbarPos, c.trackbar) << c.stored;
    EXPECT_EQ(form.transparencyLabel, std::to_string(c.stored));
  }
}

TEST(FormFromSettings, HotkeyRowsAndOtherFields) {
  const SettingsForm form = FormFromSettings(Record(-20, 128, 7, "SHIFT|z", "CTRL|ALT|\xC8", "16711680"));
  EXPECT_EQ(form.heightText, "-20");
  EXPECT_TRUE(form.horizontal);  // any non-zero value
  EXPECT_TRUE(form.maskRow.shift && !form.maskRow.ctrl && !form.maskRow.alt);
  EXPECT_EQ(form.maskRow.key, "z");
  EXPECT_EQ(form.lockRow.key, "");  // a byte above 127 shows nothing
  EXPECT_EQ(form.color, 0xFF0000u);
  EXPECT_EQ(FormFromSettings(Record(1, 1, 0, "CTRL|", "", "abc")).maskRow.key, "");
  EXPECT_FALSE(FormFromSettings(Record(1, 1, 0, "O", "L", "abc")).horizontal);
}

// A form as the user left it: the defaults, then the given changes.
SettingsForm EditedDefaults() { return FormFromSettings(Defaults()); }

TEST(SettingsFromForm, KeyBoxGivesTheLetter) {
  struct Case {
    const char* maskKey;
    const char* lockKey;
    const char* mask;
    const char* lock;
  };
  const Case cases[] = {
      {"o", "L", "ALT|CTRL|O", "ALT|CTRL|L"},
      {"7", "?", "ALT|CTRL|O", "ALT|CTRL|L"},  // not a letter: the row's own default
      {"ab", "xy", "ALT|CTRL|A", "ALT|CTRL|X"},
      {"", "", "ALT|CTRL|O", "ALT|CTRL|L"},
      {"\xE4\xBD\xA0", "l", "ALT|CTRL|O", "ALT|CTRL|L"},  // a Chinese character
  };
  for (const Case& c : cases) {
    SettingsForm form = EditedDefaults();
    form.maskRow.key = c.maskKey;
    form.lockRow.key = c.lockKey;
    const MaskSettings s = SettingsFromForm(form, Defaults());
    EXPECT_STREQ(s.hotkey_mask_open, c.mask) << c.maskKey;
    EXPECT_STREQ(s.hotkey_lock_open, c.lock) << c.lockKey;
  }
}

TEST(SettingsFromForm, NothingTickedGivesABareLetter) {
  SettingsForm form = EditedDefaults();
  form.maskRow = HotkeyRow{false, false, false, "q"};
  form.lockRow = HotkeyRow{false, false, true, ""};
  const MaskSettings s = SettingsFromForm(form, Defaults());
  EXPECT_STREQ(s.hotkey_mask_open, "Q");
  EXPECT_STREQ(s.hotkey_lock_open, "SHIFT|L");
}

TEST(SettingsFromForm, HeightTextAsTyped) {
  struct Case {
    std::string text;
    int height;
  };
  const Case cases[] = {
      {"-20", -20}, {"abc", 0}, {"", 0}, {" 35px", 35}, {"0", 0}, {"10000", 10000},
      {"10001", 10000}, {"99999999999", 10000}, {"-99999", -10000},
      // Only 49 characters reach the conversion.
      {std::string(49, '0') + "5", 0},
  };
  for (const Case& c : cases) {
    SettingsForm form = EditedDefaults();
    form.heightText = c.text;
    EXPECT_EQ(SettingsFromForm(form, Defaults()).height, c.height) << c.text;
  }
}

TEST(SettingsFromForm, TransparencyIsWhatTheTrackbarHolds) {
  EXPECT_EQ(SettingsFromForm(FormFromSettings(Record(1, 300, 1, "O", "L", "0")), Defaults()).transparence, 255);
  EXPECT_EQ(SettingsFromForm(FormFromSettings(Record(1, 5, 1, "O", "L", "0")), Defaults()).transparence, 10);
  SettingsForm form = EditedDefaults();
  form.trackbarPos = 128;
  form.transparencyLabel = "77";  // the label is only shown, never read back
  EXPECT_EQ(SettingsFromForm(form, Defaults()).transparence, 128);
}

TEST(SettingsFromForm, OrientationAndColour) {
  SettingsForm form = FormFromSettings(Record(1, 100, 5, "O", "L", "-1"));
  EXPECT_EQ(SettingsFromForm(form, Defaults()).horizontal, 1);
  EXPECT_STREQ(SettingsFromForm(form, Defaults()).color, "-1");  // the colour round-trips signed
  form.horizontal = false;
  form.color = 0x00FF8000u;
  const MaskSettings s = SettingsFromForm(form, Defaults());
  EXPECT_EQ(s.horizontal, 0);
  EXPECT_STREQ(s.color, "16744448");
  form.color = 0x80000000u;
  EXPECT_STREQ(SettingsFromForm(form, Defaults()).color, "-2147483648");
}

TEST(SettingsFromForm, DefaultsConfirmedUnchangedComeBackInWrittenOrder) {
  const MaskSettings s = SettingsFromForm(FormFromSettings(Defaults()), Defaults());
  EXPECT_EQ(s.height, 200);
  EXPECT_EQ(s.transparence, 200);
  EXPECT_EQ(s.horizontal, 1);
  EXPECT_STREQ(s.hotkey_mask_open, "ALT|CTRL|O");
  EXPECT_STREQ(s.hotkey_lock_open, "ALT|CTRL|L");
  EXPECT_STREQ(s.color, "0");
  EXPECT_EQ(s.FindDuplicateHotkey(), -1);
}

TEST(SettingsFromForm, EqualRowsAreADuplicate) {
  const MaskSettings current = Defaults();
  SettingsForm form = FormFromSettings(current);
  form.lockRow = form.maskRow;
  form.heightText = "55";
  const MaskSettings proposed = SettingsFromForm(form, current);
  EXPECT_EQ(proposed.FindDuplicateHotkey(), 2);

  form.lockRow.shift = true;  // same letter, different ticks
  EXPECT_EQ(SettingsFromForm(form, current).FindDuplicateHotkey(), -1);
}

TEST(ClampTrackbarPos, KeepsTheRange) {
  EXPECT_EQ(ClampTrackbarPos(9), 10);
  EXPECT_EQ(ClampTrackbarPos(10), 10);
  EXPECT_EQ(ClampTrackbarPos(255), 255);
  EXPECT_EQ(ClampTrackbarPos(256), 255);
  EXPECT_EQ(ClampTrackbarPos(-2147483647 - 1), 10);
}

TEST(SettingsFromForm, TheColourAndOpacityGoToTheStyleTheDialogShowed) {
  MaskSettings s = Defaults();
  SetGuideStyle(s, GuideStyle::Bar);
  SettingsForm form = FormFromSettings(s);
  EXPECT_EQ(form.color, 0x808080u) << "the bar's grey, not the mask's black";
  form.trackbarPos = 100;
  SetGuideStyle(s, GuideStyle::Tint);  // chosen meanwhile in the more-settings dialog
  EXPECT_EQ(SettingsFromForm(form, s).bar_transparence, 100);
  EXPECT_EQ(SettingsFromForm(form, s).transparence, 200);
}

}  // namespace
