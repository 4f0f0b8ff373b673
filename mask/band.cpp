#include "mask/band.h"

#include "mask/monitors.h"

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

Band RescaleBand(const Band& band, int fromDpi, int toDpi) {
  return Band{RescaleLength(band.start, fromDpi, toDpi), RescaleLength(band.end, fromDpi, toDpi)};
}

// The opening begins 5 px after the band's start so that a pointer at the
// start still lies on the mask and dragging continues.
int OpeningInset(int dpi) { return ScaleToDpi(5, dpi); }

std::optional<Rect> HoleRect(bool horizontal, const Rect& client, const Band& band, int dpi) {
  const int five = OpeningInset(dpi);
  const int ten = ScaleToDpi(10, dpi);
  Rect hole = horizontal
      ? Rect{client.left + five, band.start + five, client.right - ten, band.end}
      : Rect{band.start + five, client.top + five, band.end, client.bottom - five};
  // A band of 5 px or less (or a client too narrow) leaves nothing to cut:
  // the mask then covers the whole area rather than XOR-ing in an inverted
  // rectangle that would punch an unexpected hole.
  if (hole.IsEmpty()) return std::nullopt;
  return hole;
}
