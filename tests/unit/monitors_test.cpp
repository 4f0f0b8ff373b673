#include "mask/monitors.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The primary, 1280 x 1024, always at (0, 0), and a second monitor of
// 1024 x 768 beside it as the system lays them out.
const Monitor kPrimary{{0, 0, 1280, 1024}, 96};
const std::vector<Monitor> kRight = {kPrimary, {{1280, 0, 2304, 768}, 96}};
const std::vector<Monitor> kLeft = {kPrimary, {{-1024, 0, 0, 768}, 96}};
const std::vector<Monitor> kBelow = {kPrimary, {{0, 1024, 1024, 1792}, 96}};
const std::vector<Monitor> kAbove = {kPrimary, {{0, -768, 1024, 0}, 96}};

// Which monitor of the list, -1 for none.
int IndexOf(const std::vector<Monitor>& monitors, const Rect& window) {
  const Monitor* m = MonitorOfWindow(monitors, window);
  return m ? static_cast<int>(m - monitors.data()) : -1;
}

}  // namespace

TEST(MonitorOfWindow, TheMonitorWithTheLargestShare) {
  struct Case { const char* what; const std::vector<Monitor>* monitors; Rect window; int expected; };
  const Case cases[] = {
      {"wholly on the primary", &kRight, {100, 100, 900, 900}, 0},
      {"wholly on the right", &kRight, {1400, 100, 2200, 700}, 1},
      {"wholly on the left, negative x", &kLeft, {-974, 50, -174, 650}, 1},
      {"wholly below", &kBelow, {100, 1100, 900, 1700}, 1},
      {"wholly above, negative y", &kAbove, {100, -700, 900, -100}, 1},
      // 280 columns on the primary, 520 on the right one.
      {"spanning, more on the right", &kRight, {1000, 100, 1800, 700}, 1},
      // 480 columns on the primary, 220 on the right one.
      {"spanning, more on the primary", &kRight, {800, 100, 1500, 700}, 0},
      // 300 columns left of 0, 500 on the primary.
      {"spanning from the left", &kLeft, {-300, 100, 500, 700}, 0},
      // 124 rows on the primary, 676 below.
      {"spanning downwards", &kBelow, {100, 900, 900, 1700}, 1},
      // 400 columns on each: the first listed wins.
      {"an even split", &kRight, {880, 100, 1680, 700}, 0},
      {"beyond every monitor", &kRight, {3000, 100, 3800, 900}, -1},
      // Right of the primary but below the shorter right-hand monitor.
      {"in the gap of an L-shaped desktop", &kRight, {1400, 800, 2200, 1000}, -1},
      {"touching an edge only", &kRight, {2304, 100, 2600, 700}, -1},
      {"minimised (parked far off)", &kLeft, {-32000, -32000, -31840, -31972}, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IndexOf(*c.monitors, c.window), c.expected) << c.what;
  }
}

TEST(MonitorOfWindow, NoMonitorsHoldNothing) {
  EXPECT_EQ(MonitorOfWindow({}, {0, 0, 100, 100}), nullptr);
}

TEST(MonitorOfWindow, HugeWindowsDoNotOverflowTheShare) {
  // 60,000 x 60,000 overflows 32 bits; the bigger monitor must still win.
  const std::vector<Monitor> monitors = {{{0, 0, 1920, 1080}, 96}, {{1920, 0, 9600, 4320}, 192}};
  EXPECT_EQ(IndexOf(monitors, {-30000, -30000, 30000, 30000}), 1);
}

TEST(PrimaryDpi, TheScaleOfTheMonitorAtTheOrigin) {
  const std::vector<Monitor> leftAt150 = {{{-1024, 0, 0, 768}, 144}, {{0, 0, 1280, 1024}, 120}};
  EXPECT_EQ(ScaleToDpi(16, PrimaryDpi(leftAt150)), 20);  // listed second; the small icon at 125 %
  EXPECT_EQ(PrimaryDpi(std::vector<Monitor>{{{10, 0, 1290, 1024}, 192}}), 192);  // none at the origin
}

TEST(RescaleLength, RoundsToTheNearestPixel) {
  struct Case { int length; int from; int to; int expected; };
  const Case cases[] = {
      {200, 96, 96, 200},  // 100 %: unchanged
      {200, 96, 120, 250},
      {200, 96, 144, 300},
      {200, 96, 192, 400},
      {5, 96, 120, 6},     // 6.25
      {5, 96, 144, 8},     // 7.5: halves go up
      {3, 96, 144, 5},     // 4.5
      {10, 96, 120, 13},   // 12.5
      {201, 96, 144, 302}, // 301.5
      {-5, 96, 144, -8},   // halves go away from zero, as MulDiv
      {300, 144, 96, 200},
      {301, 144, 96, 201}, // 200.67
      {0, 96, 192, 0},
      {200, 0, 144, 200},  // no DPI known: left alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RescaleLength(c.length, c.from, c.to), c.expected) << c.length << " " << c.from << "->" << c.to;
  }
}
