// What the reader sees of the mask: its window region, its layered opacity
// and its paint. The mask window decides where the band is; this file turns
// that into the shape and colour the system shows.
#pragma once
#include <windows.h>

#include <optional>

#include "common/handles_win32.h"
#include "mask/band.h"

class MaskSurface {
 public:
  // Makes `hwnd` layered and looks up the opacity call.
  void Attach(HWND hwnd);
  // Forgets the window and lets the looked-up call go.
  void Detach();

  void SetAlpha(BYTE alpha);
  // Fills the client area with `color` (a COLORREF).
  void Paint(COLORREF color);
  // Cuts the window to `client` less `hole`, unless the system holds that
  // very region already.
  void ApplyRegion(const Rect& client, const std::optional<Rect>& hole);

 private:
  using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

  HWND m_hwnd = nullptr;
  UniqueModule m_hUser32;
  SetLayeredFn m_pfnSetLayeredWindowAttributes = nullptr;
  // The rectangles of the region last handed to the system, so that a tick
  // that changes nothing neither rebuilds the region nor repaints the mask.
  struct AppliedRegion {
    Rect client;
    std::optional<Rect> hole;
  };
  std::optional<AppliedRegion> m_appliedRegion;
};
