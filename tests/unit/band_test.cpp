#include "mask/band.h"

#include <gtest/gtest.h>

TEST(PlaceBand, CentresAnUnplacedBand) {
  // 1080 high, band 200: 540 - 100 = 440 and 100 + 540 = 640.
  EXPECT_EQ(PlaceBand({0, 0}, 1080, 200), (Band{440, 640}));
}

TEST(PlaceBand, HalvesEachTermOnItsOwn) {
  // 100/2 - 51/2 = 50 - 25 = 25, where (100 - 51)/2 would give 24.
  EXPECT_EQ(PlaceBand({0, 0}, 100, 51).start, 25);
  // 51/2 + 101/2 = 25 + 50 = 75, where (51 + 101)/2 would give 76.
  EXPECT_EQ(PlaceBand({0, 0}, 101, 51).end, 75);
}

TEST(PlaceBand, BandTallerThanTheAreaStartsAtOneAndRunsPastTheEnd) {
  // 100/2 - 300/2 = -100 becomes 1; the end 150 + 50 = 200 is left beyond 100.
  EXPECT_EQ(PlaceBand({0, 0}, 100, 300), (Band{1, 200}));
  // Exactly equal: 100 - 100 = 0 is not a valid start either.
  EXPECT_EQ(PlaceBand({0, 0}, 200, 200), (Band{1, 200}));
}

TEST(PlaceBand, KeepsWhateverIsStored) {
  struct Case { Band stored; Band expected; };
  const Case cases[] = {
      {{300, 500}, {300, 500}},  // a dragged band stays, whatever the area
      {{300, 0}, {300, 640}},    // only the missing end is computed
      {{0, 700}, {440, 700}},    // only the missing start is computed
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlaceBand(c.stored, 1080, 200), c.expected);
  }
}

TEST(DragBand, PointerPullsTheFarEdgeOrPushesTheNearEdge) {
  struct Case { int pointer; int storedStart; Band expected; };
  const Case cases[] = {
      {600, 440, {400, 600}},  // below the start: the band ends at the pointer
      {441, 440, {241, 441}},
      {440, 440, {440, 640}},  // at the start: the band starts at the pointer
      {300, 440, {300, 500}},  // above the start
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DragBand(c.pointer, c.storedStart, 200), c.expected)
        << "pointer " << c.pointer;
  }
}

TEST(DragBand, StartNeverDropsBelowOne) {
  struct Case { int pointer; int storedStart; Band expected; };
  const Case cases[] = {
      {0, 440, {1, 201}},    // dragged to the very top
      {-30, 440, {1, 201}},  // pointer above the client area
      {200, 100, {1, 201}},  // pulling would start exactly at 0
      {150, 100, {1, 201}},  // pulling would start above the area
      {201, 100, {1, 201}},  // the first pull that lands on 1 by itself
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DragBand(c.pointer, c.storedStart, 200), c.expected)
        << "pointer " << c.pointer;
  }
}

TEST(HoleRect, HorizontalKeepsFiveLeftAndTenRight) {
  const auto hole = HoleRect(true, {0, 0, 800, 1080}, {440, 640}, 96);
  ASSERT_TRUE(hole.has_value());
  EXPECT_EQ(*hole, (Rect{5, 445, 790, 640}));
}

TEST(HoleRect, VerticalKeepsFiveAtTopAndBottom) {
  const auto hole = HoleRect(false, {0, 0, 800, 600}, {100, 300}, 96);
  ASSERT_TRUE(hole.has_value());
  EXPECT_EQ(*hole, (Rect{105, 5, 300, 595}));
}

TEST(HoleRect, TooThinToOpenGivesNoHole) {
  const Rect client{0, 0, 800, 600};
  struct Case { bool horizontal; Band band; };
  const Case cases[] = {
      {true, {100, 105}},   // band 5: the opening would be 0 high
      {true, {100, 102}},   // band 2: inverted
      {false, {100, 105}},
      {false, {100, 100}},  // band 0
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(HoleRect(c.horizontal, client, c.band, 96).has_value())
        << c.band.start << "-" << c.band.end;
  }
}

TEST(HoleRect, SixPixelBandOpensOnePixel) {
  const auto hole = HoleRect(true, {0, 0, 800, 600}, {100, 106}, 96);
  ASSERT_TRUE(hole.has_value());
  EXPECT_EQ(hole->Height(), 1);
}

TEST(HoleRect, ClientTooNarrowForTheMarginsGivesNoHole) {
  // 5 px on the left and 10 on the right leave nothing of a 15 px mask.
  EXPECT_FALSE(HoleRect(true, {0, 0, 15, 600}, {100, 300}, 96).has_value());
  // 5 px at top and bottom leave nothing of a 10 px mask.
  EXPECT_FALSE(HoleRect(false, {0, 0, 800, 10}, {100, 300}, 96).has_value());
}

TEST(HoleRect, MarginsScaleWithTheDpi) {
  struct Case { int dpi; bool horizontal; Rect expected; };
  // Band 300..600 in a 1200 x 900 client. 5 px is 6 at 120 DPI (6.25), 8 at
  // 144 (7.5 rounds up) and 10 at 192; 10 px is 13 (12.5), 15 and 20.
  const Case cases[] = {
      {120, true, {6, 306, 1187, 600}},
      {144, true, {8, 308, 1185, 600}},
      {192, true, {10, 310, 1180, 600}},
      {120, false, {306, 6, 600, 894}},
      {144, false, {308, 8, 600, 892}},
      {192, false, {310, 10, 600, 890}},
  };
  for (const auto& c : cases) {
    const auto hole = HoleRect(c.horizontal, {0, 0, 1200, 900}, {300, 600}, c.dpi);
    ASSERT_TRUE(hole.has_value()) << c.dpi;
    EXPECT_EQ(*hole, c.expected) << c.dpi << (c.horizontal ? " horizontal" : " vertical");
  }
}

TEST(HoleRect, ThinBandAtHighDpiClosesWhereItWouldOpenAt96) {
  // Band 7: one pixel opens at 96 DPI, but at 144 the margin is 8.
  EXPECT_TRUE(HoleRect(true, {0, 0, 800, 600}, {100, 107}, 96).has_value());
  EXPECT_FALSE(HoleRect(true, {0, 0, 800, 600}, {100, 107}, 144).has_value());
}

TEST(RescaleBand, KeepsTheBandWhereItWasRelativeToTheText) {
  struct Case { Band band; int from; int to; Band expected; };
  const Case cases[] = {
      {{300, 500}, 96, 144, {450, 750}},
      {{450, 750}, 144, 96, {300, 500}},  // and back again
      {{301, 501}, 96, 144, {452, 752}},  // 451.5 and 751.5 round up
      {{0, 0}, 96, 192, {0, 0}},          // not placed yet: still not placed
      {{1, 201}, 96, 144, {2, 302}},      // the top-most band stays on the mask
      {{300, 500}, 120, 120, {300, 500}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RescaleBand(c.band, c.from, c.to), c.expected) << c.from << " -> " << c.to;
  }
}
