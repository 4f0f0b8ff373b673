// The "start softveil when I sign in" box of a dialog: it shows the
// autostart entry as it is when the dialog opens, and on OK the entry is
// written or removed as the box then says.
#pragma once
#include <windows.h>

#include "common/autostart.h"

class AutostartBox {
 public:
  explicit AutostartBox(int id) : m_id(id) {}

  // At WM_INITDIALOG.
  void Show(HWND dialog);
  // At WM_COMMAND; true when it was the box's click. A click ticks a box
  // that is clear or filled (a broken entry), and clears a ticked one.
  bool OnCommand(HWND dialog, WORD id, WORD code);
  // When the dialog is confirmed. Tells the user when the registry refused.
  void Apply(HWND dialog) const;

 private:
  int m_id;
  AutostartState m_shown = AutostartState::Off;
};
