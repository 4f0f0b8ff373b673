// What the reader sees of the mask: its window region, its layered opacity
// and its paint. The mask window decides where the guide is; this file turns
// the guide's shape (mask/guide_shape.h) into what the system shows.
#pragma once
#include <windows.h>

#include <optional>

#include "common/handles_win32.h"
#include "mask/band.h"
#include "mask/grab_handle_win32.h"
#include "mask/guide_shape.h"

class MaskSurface {
 public:
  // Makes `hwnd` layered and looks up the opacity call.
  void Attach(HWND hwnd);
  // Forgets the window and lets the looked-up call go.
  void Detach();

  void SetAlpha(BYTE alpha);
  // Fills the client area with `color` (a COLORREF).
  void Paint(COLORREF color);
  // Cuts the window to `shape` within `client`, unless the system holds
  // that very region already, and lets clicks through where the shape says.
  void ApplyShape(const Rect& client, const GuideShape& shape);
  // Keeps the grab handle with the window as it moves, shows or hides.
  void FollowWindow();
  // Whether `hwnd` is the window that takes the presses beside a thin guide.
  bool IsGrabHandle(HWND hwnd) const { return hwnd && hwnd == m_handle.hwnd(); }

 private:
  using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

  HWND m_hwnd = nullptr;
  UniqueModule m_hUser32;
  SetLayeredFn m_pfnSetLayeredWindowAttributes = nullptr;
  // The shape last handed to the system, and a copy of its region, so that
  // a tick that changes nothing neither rebuilds the region nor repaints
  // the mask, and a move repaints only what the region gained.
  struct AppliedShape {
    Rect client;
    GuideShape shape;
  };
  std::optional<AppliedShape> m_applied;
  UniqueRegion m_appliedRegion;
  GrabHandle m_handle;
};
