#include "mask/clock_text.h"

#include "common/format_text.h"

std::wstring ClockText(std::wstring_view pattern, std::int64_t elapsedSeconds) {
  // Truncating division: a clock set back before the start shows the
  // negative parts as they come out rather than wrapping or clamping.
  const std::int64_t hours = elapsedSeconds / 3600;
  const std::int64_t rest = elapsedSeconds - hours * 3600;
  const std::int64_t minutes = rest / 60;
  const std::int64_t seconds = rest - minutes * 60;
  return FormatText(pattern, {std::to_wstring(hours), std::to_wstring(minutes), std::to_wstring(seconds)});
}

std::int64_t UnixSecondsOfFileTime(std::uint64_t fileTime) {
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
  return static_cast<std::int64_t>(fileTime / 10000000) - kSecondsFrom1601To1970;
}
