#include "mask/follow.h"

#include <algorithm>

#include "mask/monitors.h"

int FollowOffset(int setting, int thickness, int dpi) {
  // The pointer rests near the band's far edge: the line being read is
  // above it, where the pointer does not hide it.
  const int offset = setting < 0 ? thickness - thickness / 4 : ScaleToDpi(setting, dpi);
  return std::max(OpeningInset(dpi), std::min(offset, thickness - 1));
}

Band BandAtPoint(int point, int thickness, int offset) {
  const int start = std::max(point - offset, 1);
  return {start, start + thickness};
}

Band BandAtCaret(bool horizontal, const Rect& caret, int thickness, int offset, int dpi) {
  const int lineHeight = caret.Height();
  if (!horizontal || lineHeight <= 0) return BandAtPoint(horizontal ? caret.top : caret.left, thickness, offset);
  const int inset = OpeningInset(dpi);
  const int lines = std::max((thickness - inset) / lineHeight, 1);
  // Lines of the opening above the caret's: as many as put the caret's line
  // at the offset, fewer where the band would start above the area.
  int above = std::min((offset - inset) / lineHeight, lines - 1);
  above = std::clamp((caret.top - inset - 1) / lineHeight, 0, above);
  const int openingTop = caret.top - above * lineHeight;
  // A caret line at the very top of the area: the edge wins, as for a drag.
  return {std::max(openingTop - inset, 1), openingTop + lines * lineHeight};
}
