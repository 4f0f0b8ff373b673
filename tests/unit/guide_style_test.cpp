#include "settings/guide_style.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_store.h"

namespace {

TEST(GuideStyleOf, TheNamedStyleWithItsOwnKeysAndDefaultsForDamagedValues) {
  struct Case {
    const char* lines;
    GuideStyle style;
    GuideLook look;
    int underlineWidth;
  } const cases[] = {
      {"", GuideStyle::Mask, {0, 200}, 3},
      {"style=bar\r\n", GuideStyle::Bar, {0x808080, 64}, 3},
      {"style= underline \r\n", GuideStyle::Underline, {0, 255}, 3},
      {"style=tint\r\n", GuideStyle::Tint, {0x64DCFF, 64}, 3},
      // Any other name is the mask, which reads its two keys as always (the low byte of 300).
      {"style=Bar\r\ncolor=255xyz\r\ntransparence=300\r\nbar_color=1\r\nunderline_width=1\r\n", GuideStyle::Mask,
       {255, 44}, 1},
      {"style=bar\r\nbar_color=65280\r\nbar_transparence=10\r\nunderline_width=20\r\n", GuideStyle::Bar, {65280, 10}, 20},
      {"style=underline\r\nunderline_color=16777215\r\nunderline_transparence=128\r\n", GuideStyle::Underline,
       {0xFFFFFF, 128}, 3},
      // Never an invisible guide, nor a line without a width.
      {"style=bar\r\nbar_color=16777216\r\nbar_transparence=9\r\nunderline_width=0\r\n", GuideStyle::Bar,
       {0x808080, 64}, 3},
      {"style=tint\r\ntint_color=-1\r\ntint_transparence=256\r\nunderline_width=21\r\n", GuideStyle::Tint,
       {0x64DCFF, 64}, 3},
      {"style=underline\r\nunderline_color=red\r\nunderline_transparence=0\r\nunderline_width=2.5\r\n",
       GuideStyle::Underline, {0, 255}, 3},
  };
  for (const Case& c : cases) {
    MaskSettings s;
    s.ReadFrom(IniDocument(std::string("[settings]\r\n") + c.lines));
    EXPECT_EQ(GuideStyleOf(s), c.style) << c.lines;
    EXPECT_EQ(LookInForce(s, c.style), c.look) << c.lines;
    EXPECT_EQ(UnderlineWidthOf(s), c.underlineWidth) << c.lines;
  }
}

TEST(GuideStyleSettingsFile, NewKeysAfterTheOthersOnlyOnceUsedAndReadBack) {
  MaskSettings s = DefaultSettings();
  SetGuideStyle(s, GuideStyle::Underline);
  SetSettingsText(s.hotkey_style, "CTRL|ALT|F2");
  s.underline_width = 5;
  SetLook(s, GuideStyle::Tint, {255, 90});
  SetLook(s, GuideStyle::Mask, {65280, 150});
  IniDocument doc;
  s.WriteTo(doc);
  EXPECT_EQ(doc.Bytes(),
            "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=150\r\nhotkey_mask_open=CTRL|ALT|O\r\n"
            "hotkey_lock_open=CTRL|ALT|L\r\ncolor=65280\r\nstyle=underline\r\nhotkey_style=CTRL|ALT|F2\r\n"
            "underline_width=5\r\ntint_color=255\r\ntint_transparence=90\r\n");
  MaskSettings back;
  back.ReadFrom(doc);
  EXPECT_EQ(back, s);
}

}  // namespace
