#include "app/tracker.h"

namespace {

// A window that fills its monitor, as a film or a game played full screen does.
bool FillsItsMonitor(const TrackInput& in) {
  const Monitor* monitor = in.rectKnown ? MonitorOfWindow(in.monitors, in.rect) : nullptr;
  return monitor && Intersect(in.rect, monitor->bounds) == monitor->bounds;
}

}  // namespace

TrackResult DecideTrackTick(const TrackInput& in) {
  TrackResult result;
  result.lock = in.lock;
  const bool overMask = in.mask != 0 && in.under == in.mask;

  // Unlike a short window, over which the mask stays put, these hide it: a
  // topmost mask would otherwise sit over the film or game. Nothing is
  // recorded, so lock mode never ties the mask to such a window.
  if (in.foregroundListed || (!overMask && (in.underListed || (in.fullScreenMode && FillsItsMonitor(in))))) {
    result.action = TrackAction::Hide;
    return result;
  }

  // Over the mask itself: re-show it in place. Recording the mask as the
  // tracked window would tie the lock to our own overlay.
  if (overMask) {
    result.action = TrackAction::Send;
    return result;
  }

  if (in.lock.lockOn) {
    if (in.under != in.lock.lockedWnd) {
      // The mask hides itself on this message; before the mask exists the
      // send simply goes nowhere.
      result.lock.inTrackedWnd = 0;
      result.action = TrackAction::Send;
      return result;
    }
    result.lock.inTrackedWnd = 1;
  } else {
    result.lock.inTrackedWnd = 1;
    result.lock.lockedWnd = in.under;
  }

  // Switched off, the mask only hides itself: where it would go does not
  // matter until it is switched on, and the next tick finds that out.
  if (in.maskOff) {
    result.action = TrackAction::Send;
    return result;
  }

  if (!in.rectKnown) return result;
  // A window wholly off every monitor leaves nothing to cover; treat it like
  // a too-small window and leave the mask as it was.
  const Monitor* monitor = MonitorOfWindow(in.monitors, in.rect);
  if (!monitor) return result;
  // Buttons, toolbars and menu bars are too short to read through: the mask
  // stays over the last tall window. The height is the window's own, before
  // the monitor cuts it, measured against the band as that monitor shows it.
  if (in.rect.Height() < ScaleToDpi(in.bandHeight, monitor->dpi)) return result;

  result.area = {Intersect(in.rect, monitor->bounds), monitor->dpi};
  result.action = in.maskCreated ? TrackAction::SetAndSend : TrackAction::SetAndCreate;
  return result;
}

bool TrackTickNeeded(bool maskCreated, bool maskWindowExists, bool maskOff) {
  if (!maskCreated) return true;
  return maskWindowExists && !maskOff;
}
