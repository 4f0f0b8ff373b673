#include "mask/monitors.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

const Monitor* MonitorOfWindow(std::span<const Monitor> monitors, const Rect& window) {
  const Monitor* best = nullptr;
  std::int64_t bestShare = 0;
  for (const Monitor& monitor : monitors) {
    const Rect common = Intersect(window, monitor.bounds);
    if (common.IsEmpty()) continue;
    // 64 bits: a huge window on a 8K monitor overflows an int's area.
    const std::int64_t share = std::int64_t{common.Width()} * common.Height();
    if (share > bestShare) {
      best = &monitor;
      bestShare = share;
    }
  }
  return best;
}

int PrimaryDpi(std::span<const Monitor> monitors) {
  for (const Monitor& monitor : monitors) {
    if (monitor.bounds.left == 0 && monitor.bounds.top == 0) return monitor.dpi;
  }
  return monitors.empty() ? kBaseDpi : monitors.front().dpi;
}

int RescaleLength(int length, int fromDpi, int toDpi) {
  if (fromDpi == toDpi || fromDpi <= 0) return length;
  const std::int64_t scaled = std::int64_t{length} * toDpi;
  // Rounded on the magnitude so that -x scales to -(scaled x).
  const std::int64_t magnitude = (std::llabs(scaled) + fromDpi / 2) / fromDpi;
  return static_cast<int>(scaled < 0 ? -magnitude : magnitude);
}
