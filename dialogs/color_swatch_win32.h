// The solid patch of the mask colour in the settings dialog.
#pragma once
#include <windows.h>

#include "common/dialog_base_win32.h"

class CColorSwatch : public ChildWindow {
 public:
  // Written by the settings dialog before the window exists, so the first
  // paint already shows the stored colour.
  COLORREF m_crFill = 0;

  // Stores the colour and repaints the whole swatch at once.
  void SetColor(COLORREF color);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnPaint();
};
