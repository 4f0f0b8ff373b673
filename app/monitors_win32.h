// The monitors as the system reports them now, for the tracking tick.
#pragma once
#include <vector>

#include "mask/monitors.h"

// Every monitor's rectangle and effective DPI. Where the system cannot tell
// a monitor's own DPI (before Windows 8.1), each gets the system DPI.
std::vector<Monitor> ReadMonitors();
