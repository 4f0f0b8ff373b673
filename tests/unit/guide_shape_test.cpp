#include "mask/guide_shape.h"

#include <gtest/gtest.h>

namespace {

constexpr Rect kClient96{0, 0, 800, 600};
constexpr Rect kClient144{0, 0, 1200, 900};  // the same window at 150 %
constexpr Rect kClock{700, 0, 790, 16};

struct ShapeCase {
  const char* what;
  GuideInput in;
  GuideShape expected;
};

GuideInput In(GuideStyle style, bool horizontal, Rect client, Band band, int dpi, int width = 3,
              std::vector<Rect> labels = {}) {
  return {style, horizontal, client, band, dpi, width, std::move(labels)};
}

GuideShape Shape(std::vector<Rect> parts, std::optional<Rect> hole, std::optional<Rect> grab,
                 std::optional<Rect> handle, bool clickThrough, bool carried) {
  return {std::move(parts), hole, grab, handle, clickThrough, carried};
}

using S = GuideStyle;

const ShapeCase kShapes[] = {
    // The mask as it always was: everything but the opening, which starts
    // 5 px after the band (7.5 -> 8 at 150 %) and keeps 10 (15) from the right.
    {"mask, horizontal", In(S::Mask, true, kClient96, {300, 500}, 96, 3, {kClock}),
     Shape({kClient96}, Rect{5, 305, 790, 500}, kClient96, {}, false, false)},
    {"mask, vertical, 150 %", In(S::Mask, false, kClient144, {450, 750}, 144),
     Shape({kClient144}, Rect{458, 8, 750, 892}, kClient144, {}, false, false)},
    // The bar is the band across the whole area, with the labels beside it.
    {"bar, horizontal", In(S::Bar, true, kClient96, {300, 500}, 96, 3, {kClock}),
     Shape({kClock, {0, 300, 800, 500}}, {}, Rect{0, 300, 800, 500}, {}, false, true)},
    {"bar, vertical, 150 %", In(S::Bar, false, kClient144, {450, 750}, 144),
     Shape({{450, 0, 750, 900}}, {}, Rect{450, 0, 750, 900}, {}, false, true)},
    {"bar stored over a larger window comes back to the far edge", In(S::Bar, true, kClient96, {700, 900}, 96),
     Shape({{0, 400, 800, 600}}, {}, Rect{0, 400, 800, 600}, {}, false, true)},
    {"bar thicker than the area starts at 1", In(S::Bar, false, kClient96, {100, 1100}, 96),
     Shape({{1, 0, 800, 600}}, {}, Rect{1, 0, 800, 600}, {}, false, true)},
    // The underline: the band's last pixels, grabbed 4 px (6 at 150 %) either side.
    {"underline, horizontal", In(S::Underline, true, kClient96, {300, 500}, 96, 3, {kClock}),
     Shape({kClock, {0, 497, 800, 500}}, {}, Rect{0, 493, 800, 504}, Rect{0, 493, 800, 504}, false, true)},
    {"underline, vertical", In(S::Underline, false, kClient96, {300, 500}, 96),
     Shape({{497, 0, 500, 600}}, {}, Rect{493, 0, 504, 600}, Rect{493, 0, 504, 600}, false, true)},
    {"underline 3 px at 150 % is 5 (4.5 rounded away)", In(S::Underline, true, kClient144, {450, 750}, 144),
     Shape({{0, 745, 1200, 750}}, {}, Rect{0, 739, 1200, 756}, Rect{0, 739, 1200, 756}, false, true)},
    {"underline 1 px at 150 % is 2", In(S::Underline, false, kClient144, {450, 750}, 144, 1),
     Shape({{748, 0, 750, 900}}, {}, Rect{742, 0, 756, 900}, Rect{742, 0, 756, 900}, false, true)},
    {"underline 20 px at 150 % is 30", In(S::Underline, true, kClient144, {450, 750}, 144, 20),
     Shape({{0, 720, 1200, 750}}, {}, Rect{0, 714, 1200, 756}, Rect{0, 714, 1200, 756}, false, true)},
    {"underline at the far edge: its grab stops there", In(S::Underline, true, kClient96, {400, 600}, 96),
     Shape({{0, 597, 800, 600}}, {}, Rect{0, 593, 800, 600}, Rect{0, 593, 800, 600}, false, true)},
    {"underline of a band thicker than the area sits at the edge", In(S::Underline, false, kClient96, {1, 1000}, 96),
     Shape({{797, 0, 800, 600}}, {}, Rect{793, 0, 800, 600}, Rect{793, 0, 800, 600}, false, true)},
    // The tint covers everything and takes no click; labels sit on it.
    {"tint", In(S::Tint, true, kClient96, {300, 500}, 96, 3, {kClock}), Shape({kClient96}, {}, {}, {}, true, false)},
    {"tint, vertical, 150 %", In(S::Tint, false, kClient144, {450, 750}, 144),
     Shape({kClient144}, {}, {}, {}, true, false)},
};

TEST(GuideShapeOf, EveryStyleInBothOrientationsAndScales) {
  for (const ShapeCase& c : kShapes) EXPECT_EQ(GuideShapeOf(c.in), c.expected) << c.what;
}

TEST(GuideShapeOf, ALabelIsCutToTheAreaAndOneOutsideItIsNoPart) {
  const GuideShape shape =
      GuideShapeOf(In(S::Bar, true, kClient96, {300, 500}, 96, 3, {{780, 0, 830, 16}, {900, 0, 950, 16}}));
  EXPECT_EQ(shape.parts, (std::vector<Rect>{{780, 0, 800, 16}, {0, 300, 800, 500}}));
}

TEST(DraggedBand, ACarriedGuideMovesByTheDistanceDraggedTheMaskFollowsAsAlways) {
  struct Case {
    bool carried;
    int pointer;
    Band expected;
  };
  // Grabbed at 400 on the band 300..500, in an area 800 long.
  const GuideGrab grab{400, {300, 500}};
  const Case cases[] = {
      {true, 450, {350, 550}},  // the point grabbed stays under the pointer
      {true, 300, {200, 400}},
      {true, 100, {1, 201}},    // stops where a drag of the mask stops
      {true, 900, {600, 800}},  // and at the far edge, as the keys stop it
      {false, 600, {400, 600}},  // the mask: below the start, the band ends at the pointer
      {false, 250, {250, 450}},  // above it, the band starts there
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DraggedBand(c.carried, grab, {300, 500}, c.pointer, 200, 800), c.expected)
        << (c.carried ? "carried to " : "mask to ") << c.pointer;
  }
}

}  // namespace
