#include "mask/band.h"

#include <algorithm>

Rect ClampTargetArea(const Rect& window, int screenW, int screenH) {
  // Only the primary screen counts: a window reaching onto another monitor
  // is cut at the primary screen's edge.
  return Rect{std::max(window.left, 0), std::max(window.top, 0),
              std::min(window.right, screenW), std::min(window.bottom, screenH)};
}

Band PlaceBand(const Band& stored, int extent, int bandHeight) {
  // Each half is truncated on its own, so an odd extent and an odd band
  // height each lose their half pixel before the subtraction.
  int start = stored.start;
  if (start == 0) start = extent / 2 - bandHeight / 2;
  // A band taller than the area would start above it; keep it on the mask.
  if (start <= 0) start = 1;

  // The end is not clamped: a band taller than the area simply runs past it.
  int end = stored.end;
  if (end == 0) end = bandHeight / 2 + extent / 2;
  return Band{start, end};
}

Band DragBand(int pointer, int storedStart, int bandHeight) {
  // Past the start the pointer pulls the far edge, otherwise it pushes the
  // near edge; either way it stays on the masked 5 px strip or below the
  // band, so the mask keeps receiving the moves.
  int start = pointer;
  if (pointer > storedStart) start = pointer - bandHeight;
  if (start <= 0) start = 1;
  return Band{start, start + bandHeight};
}

std::optional<Rect> HoleRect(bool horizontal, const Rect& client, const Band& band) {
  // The opening begins 5 px after the band's start so that a pointer at the
  // start still lies on the mask and dragging continues.
  Rect hole = horizontal
      ? Rect{client.left + 5, band.start + 5, client.right - 10, band.end}
      : Rect{band.start + 5, client.top + 5, band.end, client.bottom - 5};
  // A band of 5 px or less (or a client too narrow) leaves nothing to cut:
  // the mask then covers the whole area rather than XOR-ing in an inverted
  // rectangle that would punch an unexpected hole.
  if (hole.IsEmpty()) return std::nullopt;
  return hole;
}
