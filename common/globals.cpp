#include "common/globals.h"

int g_bMaskOff = 1;
int g_bLockOn = 0;
WindowId g_hLockedWnd = 0;
int g_bInTrackedWnd = 1;
std::int64_t g_tStart = 0;

