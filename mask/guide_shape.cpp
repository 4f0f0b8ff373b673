#include "mask/guide_shape.h"

#include <algorithm>

#include "mask/band_keys.h"

namespace {

// A strip across the client from `start` to `end` along the band's direction.
Rect Across(bool horizontal, const Rect& client, int start, int end) {
  return horizontal ? Rect{client.left, start, client.right, end} : Rect{start, client.top, end, client.bottom};
}

// The labels and `guide` as the region's parts; a part outside the client is
// no part.
std::vector<Rect> PartsWithLabels(const Rect& guide, const GuideInput& in) {
  std::vector<Rect> parts;
  for (const Rect& part : in.labels) {
    if (!Intersect(part, in.client).IsEmpty()) parts.push_back(Intersect(part, in.client));
  }
  if (!Intersect(guide, in.client).IsEmpty()) parts.push_back(Intersect(guide, in.client));
  return parts;
}

// A bar or an underline stays on the area, as the reading keys keep it: a
// band stored over a larger window would otherwise leave no guide to see
// or grab (the mask's band simply leaves no opening).
Band OnTheArea(const GuideInput& in) {
  return BandInside(in.band.start, in.band.end - in.band.start, in.horizontal ? in.client.bottom : in.client.right);
}

}  // namespace

GuideShape GuideShapeOf(const GuideInput& in) {
  GuideShape shape;
  switch (in.style) {
    case GuideStyle::Mask:
      shape.parts = {in.client};
      shape.hole = HoleRect(in.horizontal, in.client, in.band, in.dpi);
      shape.grab = in.client;
      break;
    case GuideStyle::Bar: {
      const Band band = OnTheArea(in);
      const Rect bar = Intersect(Across(in.horizontal, in.client, band.start, band.end), in.client);
      shape.parts = PartsWithLabels(bar, in);
      if (!bar.IsEmpty()) shape.grab = bar;
      shape.carried = true;
      break;
    }
    case GuideStyle::Underline: {
      // Under the reading line: the band's last pixels, so a band at the
      // far edge keeps its line on the area.
      const int width = std::max(ScaleToDpi(in.underlineWidth, in.dpi), 1);
      const int margin = ScaleToDpi(kUnderlineGrabMargin, in.dpi);
      // A band thicker than the area runs past it; its line stays at the edge.
      const int end = std::min(OnTheArea(in).end, in.horizontal ? in.client.bottom : in.client.right);
      shape.parts = PartsWithLabels(Across(in.horizontal, in.client, end - width, end), in);
      const Rect grab = Intersect(Across(in.horizontal, in.client, end - width - margin, end + margin), in.client);
      if (!grab.IsEmpty()) shape.grab = shape.handle = grab;
      shape.carried = true;
      break;
    }
    case GuideStyle::Tint:
      shape.parts = {in.client};
      shape.clickThrough = true;
      break;
  }
  return shape;
}

Band DraggedBand(bool carried, const GuideGrab& grab, const Band& current, int pointer, int thickness, int extent) {
  if (!carried) return DragBand(pointer, current.start, thickness);
  return BandInside(grab.band.start + (pointer - grab.pointer), thickness, extent);
}
