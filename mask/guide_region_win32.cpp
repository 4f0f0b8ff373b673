#include "mask/guide_region_win32.h"

UniqueRegion GuideRegion(const GuideShape& shape) {
  UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  for (const Rect& part : shape.parts) {
    UniqueRegion add(CreateRectRgn(part.left, part.top, part.right, part.bottom));
    CombineRgn(region.get(), region.get(), add.get(), RGN_OR);
  }
  if (shape.hole) {
    UniqueRegion hole(CreateRectRgn(shape.hole->left, shape.hole->top, shape.hole->right, shape.hole->bottom));
    CombineRgn(region.get(), region.get(), hole.get(), RGN_DIFF);
  }
  return region;
}
