#include "settings/guide_style.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_store.h"
#include "settings/settings_form.h"

namespace {

MaskSettings Loaded(const std::string& lines) {
  MaskSettings s;
  s.ReadFrom(IniDocument("[settings]\r\n" + lines));
  return s;
}

TEST(GuideStyleOf, TheFourNamesAndTheMaskForAnythingElse) {
  struct Case {
    const char* line;
    GuideStyle style;
  };
  const Case cases[] = {
      {"", GuideStyle::Mask},
      {"style=mask\r\n", GuideStyle::Mask},
      {"style=bar\r\n", GuideStyle::Bar},
      {"style= underline \r\n", GuideStyle::Underline},
      {"style=tint\r\n", GuideStyle::Tint},
      {"style=Bar\r\n", GuideStyle::Mask},
      {"style=stripes\r\n", GuideStyle::Mask},
      {"style=\r\n", GuideStyle::Mask},
      {"style=bar2\r\n", GuideStyle::Mask},
  };
  for (const Case& c : cases) EXPECT_EQ(GuideStyleOf(Loaded(c.line)), c.style) << c.line;
}

TEST(NextGuideStyle, CyclesMaskBarUnderlineTint) {
  EXPECT_EQ(NextGuideStyle(GuideStyle::Mask), GuideStyle::Bar);
  EXPECT_EQ(NextGuideStyle(GuideStyle::Bar), GuideStyle::Underline);
  EXPECT_EQ(NextGuideStyle(GuideStyle::Underline), GuideStyle::Tint);
  EXPECT_EQ(NextGuideStyle(GuideStyle::Tint), GuideStyle::Mask);
}

TEST(LookInForce, EachStyleItsOwnKeysAndDamagedValuesGiveItsDefault) {
  struct Case {
    const char* lines;
    GuideStyle style;
    GuideLook look;
  };
  const Case cases[] = {
      {"", GuideStyle::Mask, {0, 200}},
      {"", GuideStyle::Bar, {0x808080, 64}},
      {"", GuideStyle::Underline, {0, 255}},
      {"", GuideStyle::Tint, {0x64DCFF, 64}},
      // The mask reads its two keys as it always has, a low byte of 300 included.
      {"color=255xyz\r\ntransparence=300\r\nbar_color=1\r\n", GuideStyle::Mask, {255, 44}},
      {"bar_color=65280\r\nbar_transparence=10\r\ncolor=255\r\n", GuideStyle::Bar, {65280, 10}},
      {"underline_color=16777215\r\nunderline_transparence=128\r\n", GuideStyle::Underline, {0xFFFFFF, 128}},
      {"tint_color=0\r\ntint_transparence=255\r\n", GuideStyle::Tint, {0, 255}},
      // Never an invisible or a made-up guide.
      {"bar_color=16777216\r\nbar_transparence=9\r\n", GuideStyle::Bar, {0x808080, 64}},
      {"bar_color=-1\r\nbar_transparence=256\r\n", GuideStyle::Bar, {0x808080, 64}},
      {"tint_color=red\r\ntint_transparence=0\r\n", GuideStyle::Tint, {0x64DCFF, 64}},
      {"underline_color=12px\r\nunderline_transparence=-255\r\n", GuideStyle::Underline, {0, 255}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LookInForce(Loaded(c.lines), c.style), c.look) << c.lines << GuideStyleName(c.style);
  }
}

TEST(UnderlineWidthOf, OneToTwentyElseTheDefault) {
  struct Case {
    const char* line;
    int width;
  };
  const Case cases[] = {{"", 3},  {"underline_width=1\r\n", 1},  {"underline_width=20\r\n", 20},
                        {"underline_width=0\r\n", 3}, {"underline_width=21\r\n", 3}, {"underline_width=-4\r\n", 3},
                        {"underline_width=2.5\r\n", 3}};
  for (const Case& c : cases) EXPECT_EQ(UnderlineWidthOf(Loaded(c.line)), c.width) << c.line;
}

constexpr char kSix[] =
    "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\n"
    "hotkey_mask_open=CTRL|ALT|O\r\nhotkey_lock_open=CTRL|ALT|L\r\ncolor=0\r\n";

TEST(GuideStyleSettingsFile, NewKeysAfterTheOthersOnlyOnceUsedAndReadBack) {
  MaskSettings s = DefaultSettings();
  IniDocument doc(kSix);
  s.WriteTo(doc);
  EXPECT_EQ(doc.Bytes(), kSix) << "a record at its defaults writes none of them";

  SetGuideStyle(s, GuideStyle::Underline);
  SetSettingsText(s.hotkey_style, "CTRL|ALT|F2");
  s.underline_width = 5;
  SetLook(s, GuideStyle::Tint, {255, 90});
  SetLook(s, GuideStyle::Mask, {65280, 150});
  s.WriteTo(doc);
  EXPECT_EQ(doc.Bytes(),
            "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=150\r\n"
            "hotkey_mask_open=CTRL|ALT|O\r\nhotkey_lock_open=CTRL|ALT|L\r\ncolor=65280\r\n"
            "style=underline\r\nhotkey_style=CTRL|ALT|F2\r\nunderline_width=5\r\ntint_color=255\r\n"
            "tint_transparence=90\r\n");
  MaskSettings back;
  back.ReadFrom(IniDocument(doc.Bytes()));
  EXPECT_EQ(back, s);
}

TEST(SettingsForm, TheColourAndOpacityOfTheStyleInForce) {
  MaskSettings s = Loaded("style=bar\r\ncolor=255\r\ntransparence=300\r\nbar_transparence=5\r\n");
  SettingsForm form = FormFromSettings(s);
  EXPECT_EQ(form.style, GuideStyle::Bar);
  EXPECT_EQ(form.color, 0x808080u) << "the bar's, not the mask's";
  EXPECT_EQ(form.trackbarPos, 64) << "a damaged opacity shows as the one in force";
  EXPECT_EQ(form.transparencyLabel, "64");

  // OK writes to the style the dialog showed, even if another is in force by then.
  form.color = 0x0000FF;
  form.trackbarPos = 100;
  SetGuideStyle(s, GuideStyle::Tint);
  const MaskSettings saved = SettingsFromForm(form, s);
  EXPECT_EQ(LookInForce(saved, GuideStyle::Bar), (GuideLook{0x0000FF, 100}));
  EXPECT_EQ(LookShown(saved, GuideStyle::Mask), (GuideLook{255, 300})) << "the mask keeps its own";
  EXPECT_EQ(LookInForce(saved, GuideStyle::Tint), (GuideLook{0x64DCFF, 64}));
}

}  // namespace
