#include "mask/follow.h"

#include <gtest/gtest.h>

#include "settings/program_list.h"

TEST(FollowOffset, ThreeQuartersDownByDefaultScaledKeptInTheOpeningAndNoBandStartsBeforeOne) {
  const std::tuple<int, int, int, int> offsets[] = {  // setting, thickness, DPI: offset
      {-1, 200, 96, 150}, {-1, 300, 144, 225}, {100, 300, 144, 150}, {0, 300, 144, 8}, {500, 200, 96, 199}};
  for (const auto& [setting, thickness, dpi, offset] : offsets) {
    EXPECT_EQ(FollowOffset(setting, thickness, dpi), offset) << setting << "/" << thickness << "/" << dpi;
  }
  for (const auto& [point, band] : {std::pair{400, Band{250, 450}}, {152, {2, 202}}, {151, {1, 201}}, {0, {1, 201}}}) {
    EXPECT_EQ(BandAtPoint(point, 200, 150), band) << point;
  }
}

TEST(BandAtCaret, TheOpeningHoldsWholeLinesWithTheCaretsWhereThePointerWouldBe) {
  // A band of 200 (300 at 144 DPI) opens 5 px (8) after its start: 12 lines
  // of 16 (of 24) fit; the caret's line is the tenth, as near as the top allows.
  const std::tuple<const char*, bool, Rect, int, Band> cases[] = {
      {"line of 16", true, {30, 400, 31, 416}, 96, {251, 448}},
      {"three lines from the top", true, {30, 40, 31, 56}, 96, {3, 200}},
      {"first line: the edge wins", true, {30, 2, 31, 18}, 96, {1, 194}},
      {"line taller than the band", true, {30, 400, 31, 700}, 96, {395, 700}},
      {"144 DPI, lines of 24", true, {30, 600, 32, 624}, 144, {376, 672}},
      {"no height: as a pointer", true, {30, 400, 31, 400}, 96, {250, 450}},
      {"vertical: the caret's x", false, {500, 300, 502, 316}, 96, {350, 550}},
  };
  for (const auto& [what, horizontal, caret, dpi, band] : cases) {
    const int thickness = dpi == 96 ? 200 : 300;
    EXPECT_EQ(BandAtCaret(horizontal, caret, thickness, thickness - thickness / 4, dpi), band) << what;
  }
}

TEST(ProgramList, NamesBetweenSemicolonsMatchedWithoutCase) {
  EXPECT_EQ(ListedPrograms(" a.exe ;;\tb b.exe\t; "), (std::vector<std::string_view>{"a.exe", "b b.exe"}));
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"vlc.exe; game.exe", "GAME.EXE", true}, {"vlc.exe", "vlc.exe2", false}, {"vlc", "vlc.exe", false},
      {"vlc.exe;", "", false},                 {"\xC9\xBD.exe", "\xC9\xBD.EXE", true},  // 山.exe in code page 936
      {"\xC9\xBD.exe", "\xE9\xBD.exe", false},  // bytes past ASCII are no letters
  };
  for (const auto& [list, image, listed] : cases) EXPECT_EQ(ProgramListed(list, image), listed) << list << "/" << image;
}
