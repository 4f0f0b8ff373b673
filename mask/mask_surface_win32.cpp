#include "mask/mask_surface_win32.h"

void MaskSurface::Attach(HWND hwnd) {
  m_hwnd = hwnd;
  m_appliedRegion.reset();
  SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  // Looked up at run time, as on systems that lack it the mask still works, only opaque.
  m_hUser32.reset(LoadLibraryW(L"User32.DLL"));
  if (m_hUser32) {
    m_pfnSetLayeredWindowAttributes = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(GetProcAddress(m_hUser32.get(), "SetLayeredWindowAttributes")));
  }
}

void MaskSurface::Detach() {
  m_pfnSetLayeredWindowAttributes = nullptr;
  m_hUser32.reset();
  m_appliedRegion.reset();
  m_hwnd = nullptr;
}

void MaskSurface::SetAlpha(BYTE alpha) {
  if (m_pfnSetLayeredWindowAttributes) m_pfnSetLayeredWindowAttributes(m_hwnd, 0, alpha, LWA_ALPHA);
}

void MaskSurface::Paint(COLORREF color) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hwnd, &ps);
  RECT client;
  GetClientRect(m_hwnd, &client);
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  EndPaint(m_hwnd, &ps);
}

void MaskSurface::ApplyRegion(const Rect& client, const std::optional<Rect>& hole) {
  if (!m_hwnd) return;
  // The system still holds this very region (a tick that changed nothing).
  if (m_appliedRegion && m_appliedRegion->client == client && m_appliedRegion->hole == hole) return;
  UniqueRegion region(CreateRectRgn(client.left, client.top, client.right, client.bottom));
  if (hole) {
    UniqueRegion holeRegion(CreateRectRgn(hole->left, hole->top, hole->right, hole->bottom));
    CombineRgn(region.get(), region.get(), holeRegion.get(), RGN_DIFF);
  }
  // Not every system repaints the client for a new region, so we say what
  // to repaint. When only the band moved, that is the old opening, which
  // becomes mask (a confirmed colour repaints the whole mask by itself); a
  // new size repaints everything.
  const std::optional<AppliedRegion> previous = m_appliedRegion;
  const bool bandMoved = previous && previous->client == client;
  if (!SetWindowRgn(m_hwnd, region.get(), bandMoved ? FALSE : TRUE)) {
    // The system took nothing: the region is still ours to delete, and no
    // region of ours is in place, so the next call must build one again.
    m_appliedRegion.reset();
    return;
  }
  region.release();  // the system owns it now
  m_appliedRegion = AppliedRegion{client, hole};
  if (!bandMoved) {
    InvalidateRect(m_hwnd, nullptr, FALSE);
  } else if (previous->hole) {
    const RECT opening = {previous->hole->left, previous->hole->top, previous->hole->right, previous->hole->bottom};
    // With the labels: the opening may have cut into one.
    RedrawWindow(m_hwnd, &opening, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  UpdateWindow(m_hwnd);
}
