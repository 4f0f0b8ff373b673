// Now, in the seconds the reading clock counts in.
#pragma once
#include <windows.h>

#include <cstdint>

#include "mask/clock_text.h"

// time() would do, but the run-time library asks the system for the time
// zone on every call, which under Wine is a trip out of the process at each
// of the clock's updates; the system time is read in place.
inline std::int64_t NowUnixSeconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return UnixSecondsOfFileTime((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}
