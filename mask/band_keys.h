// What a reading key does to the band: a step forward or back, a fine step,
// a thicker or thinner band. Lengths in the settings are pixels at 96 DPI;
// the band is physical pixels in the mask's client area, as in band.h.
#pragma once
#include <vector>

#include "mask/band.h"
#include "settings/hotkey.h"
#include "settings/mask_settings.h"
#include "settings/reading_keys.h"

// The thinnest band the keys make, at 96 DPI: well above the 5 px the
// opening starts after the band's start, so the opening never closes.
constexpr int kMinBandThickness = 20;

// Style is the one key that leaves the band alone: it cycles the guide's
// style (settings/guide_style.h).
enum class BandKey { Next, Previous, FineNext, FinePrevious, Thicker, Thinner, Style };

// A step in pixels at 96 DPI: the set step, else the thickness less the
// overlap (the set overlap, else an eighth of the thickness); never below 1.
int StepLength(int thickness, const ReadingSteps& steps);

// The band `thickness` pixels long at `start`, moved back inside the
// extent where it would pass its end, and never starting before 1 (where
// the band starts when it is dragged to the very top).
Band BandInside(int start, int thickness, int extent);

// The thickness after Thicker (`delta` > 0) or Thinner (`delta` < 0),
// kept between kMinBandThickness and `largest` (the area's extent, both at
// 96 DPI), and never above kMaxSettingsLength. A press never moves the
// thickness the other way: a band already beyond a limit stays as it is.
int ChangedThickness(int thickness, int delta, int largest);

struct BandKeyInput {
  BandKey key = BandKey::Next;
  bool horizontal = true;
  Rect area;          // the target area, physical pixels; its height or width is the extent
  int dpi = 96;       // the DPI the mask is shown at
  Band band;          // the band of this orientation as stored; a start of 0: not placed yet
  int thickness = 0;  // the band's thickness at 96 DPI (the settings' height)
  ReadingSteps steps;
};

struct BandKeyResult {
  Band band;
  int thickness = 0;  // at 96 DPI; differs from the input after Thicker or Thinner
  friend bool operator==(const BandKeyResult&, const BandKeyResult&) = default;
};

BandKeyResult ApplyBandKey(const BandKeyInput& in);

// A reading key's combination as the mask registers it while shown.
struct ReadingRegistration {
  BandKey key;
  HotkeySpec combo;
  friend bool operator==(const ReadingRegistration&, const ReadingRegistration&) = default;
};

// What the mask holds while it is shown, in the order of BandKey: a fine
// step only where its key leaves Shift free, and no combination that the
// mask or lock hotkey or an earlier key already has (a hand-written file may
// repeat one; the dialogs refuse that), so the system's refusal always
// means another program. In the tint style, which has no band, only the
// style key.
std::vector<ReadingRegistration> ReadingRegistrations(const MaskSettings& settings);
