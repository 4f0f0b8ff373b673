// Where on the desktop the mask goes: the monitors as the system reports
// them, the one that holds a window, and lengths in 96-DPI pixels made
// physical for a monitor's DPI.
#pragma once
#include <optional>
#include <span>

#include "mask/band.h"

// The DPI at which a length in our settings and margins is meant (100 %).
constexpr int kBaseDpi = 96;

struct Monitor {
  Rect bounds;  // physical pixels on the virtual screen; the primary starts at (0, 0)
  int dpi = kBaseDpi;
};

// The part of a window the mask covers, and the DPI of the monitor it lies on.
struct TargetArea {
  Rect rect;
  int dpi = kBaseDpi;
  friend bool operator==(const TargetArea&, const TargetArea&) = default;
};

Rect Intersect(const Rect& a, const Rect& b);

// The monitor with the largest share of `window` (the first listed on a
// tie), or nothing when the window touches no monitor.
const Monitor* MonitorOfWindow(std::span<const Monitor> monitors, const Rect& window);

// The DPI of the primary monitor (the one at the origin, else the first
// listed), where the shell keeps the notification area; the base DPI when
// no monitor is known.
int PrimaryDpi(std::span<const Monitor> monitors);

// `length` converted from one DPI to another, rounded to the nearest pixel
// with halves away from zero (as the system's MulDiv does).
int RescaleLength(int length, int fromDpi, int toDpi);

// A length in 96-DPI pixels as physical pixels at `dpi`.
inline int ScaleToDpi(int length, int dpi) { return RescaleLength(length, kBaseDpi, dpi); }
