#include "mask/follow.h"

#include <gtest/gtest.h>

#include "settings/follow.h"
#include "settings/program_list.h"

namespace {

TEST(FollowSettings, ModeAndOffsetFromTheRecord) {
  const std::pair<const char*, FollowMode> modes[] = {
      {"drag", FollowMode::Drag},   {"pointer", FollowMode::Pointer}, {"Caret", FollowMode::Caret},
      {"POINTER", FollowMode::Pointer}, {"", FollowMode::Drag},     {"mouse", FollowMode::Drag},
      {"caret2", FollowMode::Drag}, {"pointe", FollowMode::Drag},
  };
  for (const auto& [text, mode] : modes) {
    MaskSettings s;
    SetSettingsText(s.follow, text);
    EXPECT_EQ(FollowModeOf(s), mode) << text;
  }
  for (FollowMode mode : {FollowMode::Drag, FollowMode::Pointer, FollowMode::Caret}) {
    EXPECT_EQ(FollowModeOf(FollowModeValue(mode)), mode);
  }
  const std::pair<int, int> offsets[] = {{-1, -1}, {0, 0}, {150, 150}, {10000, 10000}, {10001, -1}, {-7, -1}};
  for (const auto& [set, inForce] : offsets) {
    MaskSettings s;
    s.pointer_offset = set;
    EXPECT_EQ(PointerOffsetOf(s), inForce) << set;
  }
}

TEST(FollowOffset, ThreeQuartersDownByDefaultAndAlwaysInsideTheOpening) {
  struct Case {
    int setting, thickness, dpi, expected;
  };
  const Case cases[] = {
      {-1, 200, 96, 150},  {-1, 300, 144, 225}, {-1, 201, 96, 151},
      {100, 200, 96, 100}, {100, 300, 144, 150},
      {0, 200, 96, 5},     {0, 300, 144, 8},    // the opening starts 5 px (96 DPI) in
      {500, 200, 96, 199}, {-1, 4, 96, 5},      // no further than the band's last pixel, but in
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FollowOffset(c.setting, c.thickness, c.dpi), c.expected)
        << c.setting << " in " << c.thickness << " at " << c.dpi;
  }
}

TEST(BandAtPoint, PointAtTheOffsetAndNoStartBeforeOne) {
  struct Case {
    int point;
    Band expected;
  };
  const Case cases[] = {{400, {250, 450}}, {152, {2, 202}}, {151, {1, 201}}, {100, {1, 201}}, {0, {1, 201}}};
  for (const Case& c : cases) EXPECT_EQ(BandAtPoint(c.point, 200, 150), c.expected) << c.point;
}

TEST(BandAtCaret, TheOpeningHoldsWholeLinesWithTheCaretsWhereThePointerWouldBe) {
  struct Case {
    const char* what;
    bool horizontal;
    Rect caret;
    int thickness, offset, dpi;
    Band expected;
  };
  const Case cases[] = {
      // 12 lines of 16 fit in the opening of 195; the caret's is the tenth.
      {"line of 16", true, {30, 400, 31, 416}, 200, 150, 96, {251, 448}},
      {"caret further on", true, {30, 416, 31, 432}, 200, 150, 96, {267, 464}},
      {"three lines from the top", true, {30, 40, 31, 56}, 200, 150, 96, {3, 200}},
      {"first line", true, {30, 2, 31, 18}, 200, 150, 96, {1, 194}},
      {"offset at the start", true, {30, 400, 31, 416}, 200, 5, 96, {395, 592}},
      {"line taller than the band", true, {30, 400, 31, 700}, 200, 150, 96, {395, 700}},
      {"144 DPI, lines of 24", true, {30, 600, 32, 624}, 300, 225, 144, {376, 672}},
      {"no height: as a pointer", true, {30, 400, 31, 400}, 200, 150, 96, {250, 450}},
      {"vertical: the caret's x", false, {500, 300, 502, 316}, 200, 150, 96, {350, 550}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BandAtCaret(c.horizontal, c.caret, c.thickness, c.offset, c.dpi), c.expected) << c.what;
  }
}

TEST(ProgramList, NamesBetweenSemicolonsMatchedWithoutCase) {
  using Names = std::vector<std::string_view>;
  EXPECT_EQ(ListedPrograms("vlc.exe; game.exe"), (Names{"vlc.exe", "game.exe"}));
  EXPECT_EQ(ListedPrograms(" a.exe ;;\tb b.exe\t; "), (Names{"a.exe", "b b.exe"}));
  EXPECT_EQ(ListedPrograms(";"), Names{});
  EXPECT_EQ(ListedPrograms(""), Names{});
  struct Case {
    const char* list;
    const char* image;
    bool listed;
  };
  const Case cases[] = {
      {"vlc.exe; game.exe", "GAME.EXE", true},  {"vlc.exe; game.exe", "vlc.exe", true},
      {"vlc.exe", "vlc.exe2", false},           {"vlc", "vlc.exe", false},
      {"", "vlc.exe", false},                   {"vlc.exe;", "", false},
      {"\xC9\xBD.exe", "\xC9\xBD.EXE", true},  // 山.exe in code page 936
      {"\xC9\xBD.exe", "\xE9\xBD.exe", false},  // bytes past ASCII are not letters
  };
  for (const Case& c : cases) EXPECT_EQ(ProgramListed(c.list, c.image), c.listed) << c.list << " / " << c.image;
}

}  // namespace
