#include "dialogs/color_swatch_win32.h"

void CColorSwatch::SetColor(COLORREF color) {
  m_crFill = color;
  if (!hwnd_) return;
  // Repaint even when the colour did not change: the user confirmed a choice
  // and should see the swatch answer it.
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
}

LRESULT CColorSwatch::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    OnPaint();
    return 0;
  }
  // The class has no background brush, so erasing paints nothing and the
  // fill below is the swatch's whole look.
  return Default(msg, wp, lp);
}

void CColorSwatch::OnPaint() { PaintSolid(hwnd_, m_crFill); }
