// Where the band goes when it follows the reader: to the line the pointer
// is on, or to the line of the text caret. Positions and lengths are
// physical pixels in the mask's client area along the band's direction
// (y for a horizontal band, x for a vertical one), as in band.h.
#pragma once
#include "mask/band.h"

// Where the followed point sits, counted from the band's start: the set
// offset (pixels at 96 DPI; -1: the thickness less a quarter of it) made
// physical for `dpi`, and kept inside the opening, so that a pointer there
// is always in the clear and its clicks reach the window below.
int FollowOffset(int setting, int thickness, int dpi);

// The band with `point` at `offset` from its start; like a drag, it never
// starts before 1.
Band BandAtPoint(int point, int thickness, int offset);

// The band around the caret `caret` (client coordinates). A horizontal band
// takes the caret's height for the text's line height: the opening holds as
// many whole lines as fit in it, the caret's line where BandAtPoint puts the
// pointer's line (or as near as the top edge lets it), so both edges of the
// opening fall between lines. A vertical band puts the caret's x where
// BandAtPoint puts the pointer's.
Band BandAtCaret(bool horizontal, const Rect& caret, int thickness, int offset, int dpi);
