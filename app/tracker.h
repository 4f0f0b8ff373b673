// The lock tracking decision of one 500 ms tick, apart from the window system.
#pragma once
#include "common/globals.h"
#include "mask/band.h"

struct TrackInput {
  WindowId under = 0;        // the window under the pointer
  WindowId mask = 0;         // the mask window, 0 while it does not exist
  bool maskCreated = false;  // the tracker has created (or tried to create) the mask
  bool lockOn = false;
  WindowId lockedWnd = 0;
  bool rectKnown = false;    // the rectangle of `under` could be read
  Rect rect;                 // that rectangle, screen coordinates
  int bandHeight = 100;      // the mask's m_nBandHeight
  int screenW = 0;
  int screenH = 0;
};

enum class TrackAction {
  None,        // leave the mask as it is, send nothing
  Send,        // send WM_MASK_TRACK without a new area
  SetAndSend,  // set the target area, then send WM_MASK_TRACK
  SetAndCreate // set the target area and create the mask window (hidden)
};

struct TrackResult {
  TrackAction action = TrackAction::None;
  Rect area;                 // the clamped target area for SetAnd*
  WindowId lockedWnd = 0;    // new value of g_hLockedWnd
  int inTrackedWnd = 1;      // new value of g_bInTrackedWnd
};

// `in.lockedWnd` and `currentInTracked` carry the present g_hLockedWnd and
// g_bInTrackedWnd; the result keeps them where the tick leaves them alone.
TrackResult DecideTrackTick(const TrackInput& in, int currentInTracked);
