// The few process-wide flags shared by the controller and the mask window.
// Everything runs on the one GUI thread, so plain integers suffice.
#pragma once
#include <cstdint>

// Window handles are opaque to the core; the Win32 layer converts.
using WindowId = std::uintptr_t;

extern int g_bMaskOff;          // 1: the user has switched the mask off
extern int g_bLockOn;           // 1: lock mode, the mask is tied to g_hLockedWnd
extern WindowId g_hLockedWnd;   // the tracked window
extern int g_bInTrackedWnd;     // 0: lock mode on and the pointer is elsewhere
extern std::int64_t g_tStart;   // program start, seconds since 1970 (64-bit)

