// The reading guide's shape in each style: which rectangles of the mask's
// client area are covered, which take clicks, where a press takes the guide
// and how a drag moves it. The band stays the guide's place in every style.
#pragma once
#include <optional>
#include <vector>

#include "mask/band.h"
#include "mask/monitors.h"
#include "settings/guide_style.h"

struct GuideInput {
  GuideStyle style = GuideStyle::Mask;
  bool horizontal = true;
  Rect client;
  Band band;              // physical pixels in the client area, along the band's direction
  int dpi = kBaseDpi;
  int underlineWidth = 3;  // pixels at 96 DPI
  // The shown labels (clock, lock label), which stay where they are in
  // every style.
  std::vector<Rect> labels = {};
};

struct GuideShape {
  // The window's region: the union of `parts` less `hole`.
  std::vector<Rect> parts;
  std::optional<Rect> hole;
  // Where a press takes the guide; nothing when the guide is never dragged.
  std::optional<Rect> grab;
  // The part of `grab` outside the region, which takes the press without
  // being seen: the margins of a thin underline.
  std::optional<Rect> handle;
  // Takes no click anywhere: everything reaches the window below.
  bool clickThrough = false;
  // A drag carries the guide by the distance dragged (the point grabbed
  // stays under the pointer); otherwise the mask's band follows the
  // pointer as it always has (DragBand).
  bool carried = false;
  friend bool operator==(const GuideShape&, const GuideShape&) = default;
};

// How far beyond an underline a press still takes it, at 96 DPI.
constexpr int kUnderlineGrabMargin = 4;

GuideShape GuideShapeOf(const GuideInput& in);

// Where a drag began: the pointer along the band's direction, and the band.
struct GuideGrab {
  int pointer = 0;
  Band band;
};

// The band after the pointer moved to `pointer` in a drag begun at `grab`.
// A carried guide moves by the distance dragged and stops at the area's
// edges as the reading keys stop it (`extent` long, the band `thickness`
// thick); the mask's band follows DragBand from its `current` start.
Band DraggedBand(bool carried, const GuideGrab& grab, const Band& current, int pointer, int thickness, int extent);
