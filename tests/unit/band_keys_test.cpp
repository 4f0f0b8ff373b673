#include "mask/band_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/text_slot.h"

namespace {

ReadingSteps Steps(int step, int fineStep, int overlap, int thicknessStep) {
  return {step, fineStep, overlap, thicknessStep};
}

TEST(StepLength, TheThicknessLessTheOverlapUnlessAStepIsSet) {
  struct Case {
    int thickness;
    ReadingSteps steps;
    int length;
  };
  const Case cases[] = {
      {200, Steps(0, 20, -1, 10), 175},  // an eighth of 200 stays in view
      {201, Steps(0, 20, -1, 10), 176},  // 201 / 8 = 25
      {7, Steps(0, 20, -1, 10), 7},      // 7 / 8 = 0
      {200, Steps(0, 20, 0, 10), 200},
      {200, Steps(0, 20, 50, 10), 150},
      {200, Steps(0, 20, 199, 10), 1},
      {200, Steps(0, 20, 200, 10), 1},   // never a step of nothing
      {20, Steps(0, 20, 300, 10), 1},
      {200, Steps(90, 20, 50, 10), 90},  // a set step wins over the overlap
      {200, Steps(500, 20, -1, 10), 500},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StepLength(c.thickness, c.steps), c.length)
        << c.thickness << " step " << c.steps.step << " overlap " << c.steps.overlap;
  }
}

TEST(BandInside, StopsAtEitherEdge) {
  struct Case {
    int start, thickness, extent;
    Band band;
  };
  const Case cases[] = {
      {300, 200, 800, {300, 500}},
      {600, 200, 800, {600, 800}},  // exactly at the far edge
      {650, 200, 800, {600, 800}},  // past it: back to the edge
      {5000, 200, 800, {600, 800}},
      {1, 200, 800, {1, 201}},
      {0, 200, 800, {1, 201}},  // never before 1
      {-175, 200, 800, {1, 201}},
      {50, 900, 800, {1, 901}},  // a band longer than the area starts at 1
      {400, 800, 800, {1, 801}},  // exactly as long: 0 would be its start
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BandInside(c.start, c.thickness, c.extent), c.band) << c.start << " " << c.thickness << " " << c.extent;
  }
}

TEST(ChangedThickness, StaysBetweenTheMinimumAndTheArea) {
  struct Case {
    int thickness, delta, largest;
    int result;
  };
  const Case cases[] = {
      {200, 10, 800, 210},
      {200, -10, 800, 190},
      {795, 10, 800, 800},  // up to the area's size
      {800, 10, 800, 800},
      {900, 10, 800, 900},  // already beyond: a press does not shrink it
      {900, -10, 800, 800},  // thinner brings it back within the area
      {25, -10, 800, 20},   // down to the minimum
      {20, -10, 800, 20},
      {5, -10, 800, 5},     // already below: a press does not grow it
      {5, 10, 800, 20},     // thicker brings it up to the minimum
      {-30, 10, 800, 20},
      {20, 10, 15, 20},     // an area smaller than the minimum still allows it
      {18, 10, 15, 20},
      {200, 1000, 800, 800},
      {200, -1000, 800, 20},
      {9995, 10, 15360, 10000},  // never more than a height the record holds
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChangedThickness(c.thickness, c.delta, c.largest), c.result)
        << c.thickness << " by " << c.delta << " in " << c.largest;
  }
}

struct KeyCase {
  const char* what;
  BandKey key;
  bool horizontal;
  Rect area;
  int dpi;
  Band band;
  int thickness;
  BandKeyResult expected;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.what; }

class ApplyBandKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(ApplyBandKeyTest, MovesOrResizesTheBand) {
  const KeyCase& c = GetParam();
  BandKeyInput in;
  in.key = c.key;
  in.horizontal = c.horizontal;
  in.area = c.area;
  in.dpi = c.dpi;
  in.band = c.band;
  in.thickness = c.thickness;
  in.steps = Steps(0, 20, -1, 10);
  const BandKeyResult result = ApplyBandKey(in);
  EXPECT_EQ(result.band, c.expected.band);
  EXPECT_EQ(result.thickness, c.expected.thickness);
}

// A reading window of 800 x 800 at (200, 100) and a band of 200 centred in
// it (300..500) at 100 %; the step is 200 - 25 = 175, the fine step 20.
constexpr Rect kSquare{200, 100, 1000, 900};
// 520 wide and 800 high: a vertical band moves across 520.
constexpr Rect kTall{40, 100, 560, 900};
// The square at 150 %: 1200 x 1200, the band 300 px (200 at 96 DPI).
constexpr Rect kSquare144{300, 150, 1500, 1350};

const KeyCase kKeyCases[] = {
    {"next", BandKey::Next, true, kSquare, 96, {300, 500}, 200, {{475, 675}, 200}},
    {"previous", BandKey::Previous, true, kSquare, 96, {300, 500}, 200, {{125, 325}, 200}},
    {"fine next", BandKey::FineNext, true, kSquare, 96, {300, 500}, 200, {{320, 520}, 200}},
    {"fine previous", BandKey::FinePrevious, true, kSquare, 96, {300, 500}, 200, {{280, 480}, 200}},
    {"next to the bottom edge", BandKey::Next, true, kSquare, 96, {475, 675}, 200, {{600, 800}, 200}},
    {"next at the bottom edge", BandKey::Next, true, kSquare, 96, {600, 800}, 200, {{600, 800}, 200}},
    {"previous to the top edge", BandKey::Previous, true, kSquare, 96, {125, 325}, 200, {{1, 201}, 200}},
    {"previous at the top edge", BandKey::Previous, true, kSquare, 96, {1, 201}, 200, {{1, 201}, 200}},
    {"fine next at the edge", BandKey::FineNext, true, kSquare, 96, {590, 790}, 200, {{600, 800}, 200}},
    {"a band not placed yet", BandKey::Next, true, kSquare, 96, {0, 0}, 200, {{475, 675}, 200}},
    {"a band of an older thickness", BandKey::Next, true, kSquare, 96, {300, 450}, 200, {{475, 675}, 200}},
    {"thicker", BandKey::Thicker, true, kSquare, 96, {300, 500}, 200, {{300, 510}, 210}},
    {"thinner", BandKey::Thinner, true, kSquare, 96, {300, 500}, 200, {{300, 490}, 190}},
    {"thicker at the bottom edge", BandKey::Thicker, true, kSquare, 96, {600, 800}, 200, {{590, 800}, 210}},
    {"thicker as high as the area", BandKey::Thicker, true, kSquare, 96, {1, 796}, 795, {{1, 801}, 800}},
    {"thinner at the minimum", BandKey::Thinner, true, kSquare, 96, {300, 320}, 20, {{300, 320}, 20}},
    // Vertical: across the width, 520.
    {"vertical next", BandKey::Next, false, kTall, 96, {160, 360}, 200, {{320, 520}, 200}},
    {"vertical previous", BandKey::Previous, false, kTall, 96, {160, 360}, 200, {{1, 201}, 200}},
    {"vertical fine next", BandKey::FineNext, false, kTall, 96, {160, 360}, 200, {{180, 380}, 200}},
    {"vertical thicker up to the width", BandKey::Thicker, false, kTall, 96, {1, 516}, 515, {{1, 521}, 520}},
    {"vertical thicker limited by the width, not the height", BandKey::Thicker, false, kTall, 96, {1, 521}, 520,
     {{1, 521}, 520}},
    // At 150 % every length is half as long again: the step 175 is 263 px.
    {"next at 150 %", BandKey::Next, true, kSquare144, 144, {450, 750}, 200, {{713, 1013}, 200}},
    {"fine previous at 150 %", BandKey::FinePrevious, true, kSquare144, 144, {450, 750}, 200, {{420, 720}, 200}},
    {"thicker at 150 %", BandKey::Thicker, true, kSquare144, 144, {450, 750}, 200, {{450, 765}, 210}},
    // The area is 800 at 96 DPI, so thicker stops at 800 (1200 px).
    {"thicker at 150 % up to the area", BandKey::Thicker, true, kSquare144, 144, {1, 1194}, 796, {{1, 1201}, 800}},
};

INSTANTIATE_TEST_SUITE_P(BandKeys, ApplyBandKeyTest, testing::ValuesIn(kKeyCases));

}  // namespace

namespace {

constexpr std::uint32_t kCtrlAlt = kModControl | kModAlt;
constexpr std::uint32_t kCtrlAltShift = kCtrlAlt | kModShift;

constexpr HotkeySpec kStyle{kCtrlAlt, 'S'};

MaskSettings WithKeys(std::initializer_list<std::pair<ReadingKey, const char*>> keys, const char* style = "mask") {
  MaskSettings s = DefaultSettings();
  SetSettingsText(s.style, style);
  for (const auto& [key, text] : keys) SetSettingsText(ReadingKeySlot(s, key), text);
  return s;
}

TEST(ReadingRegistrations, EveryKeyOnceWithTheFineStepsWhereShiftIsFree) {
  using R = ReadingRegistration;
  struct Case {
    const char* what;
    MaskSettings settings;
    std::vector<R> expected;
  };
  const Case cases[] = {
      {"the defaults",
       DefaultSettings(),
       {R{BandKey::Next, {kCtrlAlt, 0x28}}, R{BandKey::Previous, {kCtrlAlt, 0x26}},
        R{BandKey::FineNext, {kCtrlAltShift, 0x28}}, R{BandKey::FinePrevious, {kCtrlAltShift, 0x26}},
        R{BandKey::Thicker, {kCtrlAlt, 0x22}}, R{BandKey::Thinner, {kCtrlAlt, 0x21}}, R{BandKey::Style, kStyle}}},
      {"next with Shift of its own has no fine step",
       WithKeys({{ReadingKey::Next, "CTRL|SHIFT|J"}}),
       {R{BandKey::Next, {kModControl | kModShift, 'J'}}, R{BandKey::Previous, {kCtrlAlt, 0x26}},
        R{BandKey::FinePrevious, {kCtrlAltShift, 0x26}}, R{BandKey::Thicker, {kCtrlAlt, 0x22}},
        R{BandKey::Thinner, {kCtrlAlt, 0x21}}, R{BandKey::Style, kStyle}}},
      {"thicker on the mask hotkey, thinner on the fine next, written by hand",
       WithKeys({{ReadingKey::Thicker, "CTRL|ALT|O"}, {ReadingKey::Thinner, "CTRL|ALT|SHIFT|DOWN"}}),
       {R{BandKey::Next, {kCtrlAlt, 0x28}}, R{BandKey::Previous, {kCtrlAlt, 0x26}},
        R{BandKey::FineNext, {kCtrlAltShift, 0x28}}, R{BandKey::FinePrevious, {kCtrlAltShift, 0x26}},
        R{BandKey::Style, kStyle}}},
      {"previous on next: its fine step is next's too",
       WithKeys({{ReadingKey::Previous, "CTRL|ALT|DOWN"}}),
       {R{BandKey::Next, {kCtrlAlt, 0x28}}, R{BandKey::FineNext, {kCtrlAltShift, 0x28}},
        R{BandKey::Thicker, {kCtrlAlt, 0x22}}, R{BandKey::Thinner, {kCtrlAlt, 0x21}}, R{BandKey::Style, kStyle}}},
      {"the tint has no band: the style key alone", WithKeys({}, "tint"), {R{BandKey::Style, kStyle}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadingRegistrations(c.settings), c.expected) << c.what;
}

}  // namespace
