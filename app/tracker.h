// The lock tracking decision of one 500 ms tick, apart from the window system.
#pragma once
#include "common/globals.h"
#include <span>

#include "mask/monitors.h"

// Lock mode as the tick sees it and leaves it.
struct LockState {
  bool lockOn = false;
  WindowId lockedWnd = 0;  // the tracked window
  int inTrackedWnd = 1;    // 0: lock mode on and the pointer elsewhere
};

struct TrackInput {
  WindowId under = 0;        // the window under the pointer
  WindowId mask = 0;         // the mask window, 0 while it does not exist
  bool maskCreated = false;  // the tracker has created (or tried to create) the mask
  bool maskOff = false;      // the mask window exists and the user has switched it off
  LockState lock;
  bool rectKnown = false;    // the rectangle of `under` could be read (not needed while maskOff)
  Rect rect;                 // that rectangle, physical screen coordinates
  int bandHeight = 100;      // the mask's band height, 96-DPI pixels
  std::span<const Monitor> monitors;
  // Where the mask must not be: `under` or the foreground window belongs to
  // a program the reader listed, or the system reports a full-screen
  // Direct3D program or presentation mode (which keeps the mask off
  // full-screen windows).
  bool underListed = false;
  bool foregroundListed = false;
  bool fullScreenMode = false;
};

enum class TrackAction {
  None,        // leave the mask as it is, send nothing
  Send,        // send WM_MASK_TRACK without a new area
  SetAndSend,  // set the target area, then send WM_MASK_TRACK
  SetAndCreate,  // set the target area and create the mask window (hidden)
  Hide           // hide the mask now: it stays away from what is under it or in front
};

struct TrackResult {
  TrackAction action = TrackAction::None;
  TargetArea area;  // for SetAnd*: the window cut to its monitor, and that monitor's DPI
  LockState lock;  // the lock state the tick leaves
};

TrackResult DecideTrackTick(const TrackInput& in);

// Whether the tick has anything to watch. Until it has created the mask
// window it runs whatever the switch says (the window holds the mask
// hotkey); from then on exactly while the mask window exists and is switched
// on, hidden by lock mode or not. Switched off, nothing wakes softveil until
// the switch does.
bool TrackTickNeeded(bool maskCreated, bool maskWindowExists, bool maskOff);
