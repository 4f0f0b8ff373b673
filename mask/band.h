// The mask's geometry: the target area, the band's placement and the hole
// cut out of the mask's region.
#pragma once
#include <optional>

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Band {
  int start = 0;
  int end = 0;
  friend bool operator==(const Band&, const Band&) = default;
};

// Band positions and thicknesses below are physical pixels in the mask's
// client area; the caller scales the 96-DPI band height for the monitor.

// The band to show along an extent (the area's height for a horizontal band,
// its width for a vertical one): the stored band where one is stored, else
// centred. A start of 0 means none stored; a start <= 0 becomes 1.
Band PlaceBand(const Band& stored, int extent, int bandHeight);

// The band while dragging: the pointer pulls the far edge when it is past
// the stored start, else pushes the near edge; the start never drops below 1.
Band DragBand(int pointer, int storedStart, int bandHeight);

// A stored band kept in the same place relative to the text when the mask
// moves to a monitor of another DPI; an unplaced band (0) stays unplaced.
Band RescaleBand(const Band& band, int fromDpi, int toDpi);

// How far after the band's start its opening begins, physical pixels at `dpi`.
int OpeningInset(int dpi);

// The clear opening inside the client rectangle, its margins scaled for
// `dpi`, or nothing when the band is too thin to open (the mask then has no
// hole).
std::optional<Rect> HoleRect(bool horizontal, const Rect& client, const Band& band, int dpi);
