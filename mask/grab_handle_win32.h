// A window no one sees that takes the presses meant for a thin guide: it
// lies just under the mask, over the underline and a few pixels either
// side, and hands every mouse message to the mask as if the mask had it.
// The mask's window has one opacity for all it shows, so the margins of an
// underline cannot be part of it without being seen; a window at the least
// opacity the system still gives clicks to can.
#pragma once
#include <windows.h>

#include <optional>

#include "mask/band.h"

class GrabHandle {
 public:
  GrabHandle() = default;
  GrabHandle(const GrabHandle&) = delete;
  GrabHandle& operator=(const GrabHandle&) = delete;
  ~GrabHandle() { Destroy(); }

  // Lies over `screen` (screen coordinates) just under `mask`, or hides
  // when there is nothing to grab.
  void Place(HWND mask, const std::optional<Rect>& screen);
  void Destroy();
  HWND hwnd() const { return m_hwnd; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool Create();

  HWND m_hwnd = nullptr;
  HWND m_mask = nullptr;
  std::optional<Rect> m_placed;  // where it lies while shown
};
