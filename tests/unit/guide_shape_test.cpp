#include "mask/guide_shape.h"

#include <gtest/gtest.h>

namespace {

using S = GuideStyle;
constexpr Rect k96{0, 0, 800, 600}, k144{0, 0, 1200, 900};  // the same window at 100 and 150 %
constexpr Rect kClock{700, 0, 790, 16};

TEST(GuideShapeOf, EveryStyleInBothOrientationsAndScales) {
  struct Case {
    GuideInput in;
    std::vector<Rect> parts;
    std::optional<Rect> hole, grab;
  } const cases[] = {
      // The mask as always: the opening 5 px (8 at 150 %) after the band's start, 10 (15) from the right.
      {{S::Mask, true, k96, {300, 500}, 96, 3, {kClock}}, {k96}, Rect{5, 305, 790, 500}, k96},
      {{S::Mask, false, k144, {450, 750}, 144}, {k144}, Rect{458, 8, 750, 892}, k144},
      // The bar: the band across the area, the labels beside it, kept on the area.
      {{S::Bar, true, k96, {300, 500}, 96, 3, {kClock}}, {kClock, {0, 300, 800, 500}}, {}, Rect{0, 300, 800, 500}},
      {{S::Bar, false, k144, {450, 750}, 144}, {{450, 0, 750, 900}}, {}, Rect{450, 0, 750, 900}},
      {{S::Bar, true, k96, {700, 900}, 96}, {{0, 400, 800, 600}}, {}, Rect{0, 400, 800, 600}},
      // The underline: the band's last 3 px (5 at 150 %), grabbed 4 px (6) either side, on the area.
      {{S::Underline, true, k96, {300, 500}, 96, 3, {kClock}}, {kClock, {0, 497, 800, 500}}, {}, Rect{0, 493, 800, 504}},
      {{S::Underline, false, k144, {450, 750}, 144}, {{745, 0, 750, 900}}, {}, Rect{739, 0, 756, 900}},
      {{S::Underline, true, k144, {450, 750}, 144, 1}, {{0, 748, 1200, 750}}, {}, Rect{0, 742, 1200, 756}},
      {{S::Underline, false, k96, {300, 500}, 96, 20}, {{480, 0, 500, 600}}, {}, Rect{476, 0, 504, 600}},
      {{S::Underline, false, k96, {1, 1000}, 96}, {{797, 0, 800, 600}}, {}, Rect{793, 0, 800, 600}},
      // The tint: everything, with nothing to grab.
      {{S::Tint, true, k96, {300, 500}, 96, 3, {kClock}}, {k96}, {}, {}},
      {{S::Tint, false, k144, {450, 750}, 144}, {k144}, {}, {}},
  };
  for (const Case& c : cases) {
    const GuideShape shape = GuideShapeOf(c.in);
    SCOPED_TRACE(testing::Message() << GuideStyleName(c.in.style) << " " << c.in.horizontal << " " << c.in.dpi);
    EXPECT_EQ(shape.parts, c.parts);
    EXPECT_EQ(shape.hole, c.hole);
    EXPECT_EQ(shape.grab, c.grab);
    EXPECT_EQ(shape.handle, c.in.style == S::Underline ? c.grab : std::nullopt) << "only the thin underline";
    EXPECT_EQ(shape.clickThrough, c.in.style == S::Tint);
    EXPECT_EQ(shape.carried, c.in.style == S::Bar || c.in.style == S::Underline);
  }
}

TEST(DraggedBand, ACarriedGuideMovesByTheDistanceDraggedTheMaskFollowsAsAlways) {
  // Grabbed at 400 on the band 300..500 of an area 800 long.
  const std::tuple<bool, int, Band> cases[] = {{true, 450, {350, 550}}, {true, 100, {1, 201}},
                                               {true, 900, {600, 800}}, {false, 600, {400, 600}}};
  for (const auto& [carried, pointer, band] : cases) {
    EXPECT_EQ(DraggedBand(carried, {400, {300, 500}}, {300, 500}, pointer, 200, 800), band) << carried << pointer;
  }
}

}  // namespace
