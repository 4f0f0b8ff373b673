#include "mask/mask_surface_win32.h"

#include "common/dialog_base_win32.h"
#include "mask/guide_region_win32.h"

void MaskSurface::Attach(HWND hwnd) {
  m_hwnd = hwnd;
  m_applied.reset();
  SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  // Looked up at run time, as on systems that lack it the mask still works, only opaque.
  m_hUser32.reset(LoadLibraryW(L"User32.DLL"));
  if (m_hUser32) {
    m_pfnSetLayeredWindowAttributes = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(GetProcAddress(m_hUser32.get(), "SetLayeredWindowAttributes")));
  }
}

void MaskSurface::Detach() {
  m_handle.Destroy();
  m_pfnSetLayeredWindowAttributes = nullptr;
  m_hUser32.reset();
  m_applied.reset();
  m_appliedRegion.reset();
  m_hwnd = nullptr;
}

void MaskSurface::SetAlpha(BYTE alpha) {
  if (m_pfnSetLayeredWindowAttributes) m_pfnSetLayeredWindowAttributes(m_hwnd, 0, alpha, LWA_ALPHA);
}

void MaskSurface::Paint(COLORREF color) { PaintSolid(m_hwnd, color); }

void MaskSurface::ApplyShape(const Rect& client, const GuideShape& shape) {
  if (!m_hwnd) return;
  // A layered window that is also transparent takes no click: each one
  // reaches the window below, wherever it lands.
  const LONG exStyle = GetWindowLongW(m_hwnd, GWL_EXSTYLE);
  const LONG wanted = shape.clickThrough ? exStyle | WS_EX_TRANSPARENT : exStyle & ~WS_EX_TRANSPARENT;
  if (wanted != exStyle) SetWindowLongW(m_hwnd, GWL_EXSTYLE, wanted);
  // The system still holds this very region (a tick that changed nothing).
  if (m_applied && m_applied->client == client && m_applied->shape == shape) {
    FollowWindow();
    return;
  }
  UniqueRegion region = GuideRegion(shape);
  UniqueRegion copy(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(copy.get(), region.get(), nullptr, RGN_COPY);
  // Not every system repaints the client for a new region, so we say what
  // to repaint: what the region gained (the old opening becoming mask, the
  // new place of a bar). A confirmed colour repaints the whole mask by
  // itself; a new size repaints everything.
  const bool sameSize = m_applied && m_applied->client == client;
  UniqueRegion gained;
  if (sameSize) {
    gained.reset(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(gained.get(), region.get(), m_appliedRegion.get(), RGN_DIFF);
  }
  if (!SetWindowRgn(m_hwnd, region.get(), sameSize ? FALSE : TRUE)) {
    // The system took nothing: the region is still ours to delete, and no
    // region of ours is in place, so the next call must build one again.
    m_applied.reset();
    return;
  }
  region.release();  // the system owns it now
  m_applied = AppliedShape{client, shape};
  m_appliedRegion = std::move(copy);
  FollowWindow();
  if (!sameSize) {
    InvalidateRect(m_hwnd, nullptr, FALSE);
  } else {
    // With the labels: the region may have cut into one.
    RedrawWindow(m_hwnd, nullptr, gained.get(), RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  UpdateWindow(m_hwnd);
}

void MaskSurface::FollowWindow() {
  std::optional<Rect> handle;
  if (m_hwnd && m_applied && m_applied->shape.handle && IsWindowVisible(m_hwnd) && !IsIconic(m_hwnd)) {
    RECT window;
    GetWindowRect(m_hwnd, &window);
    handle = *m_applied->shape.handle;
    handle->left += window.left;
    handle->right += window.left;
    handle->top += window.top;
    handle->bottom += window.top;
  }
  m_handle.Place(m_hwnd, handle);
}
