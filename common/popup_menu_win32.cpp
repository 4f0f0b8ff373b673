#include "common/popup_menu_win32.h"

#include "common/handles_win32.h"
#include "common/language_win32.h"

void ShowPopupMenu(HWND owner, POINT at, std::initializer_list<MenuItem> items) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  for (const MenuItem& item : items) {
    if (item.id == 0) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu.get(), MF_STRING, item.id, LoadText(item.textId).c_str());
    }
  }
  // Without the foreground the menu would not close on a click elsewhere;
  // WM_NULL afterwards lets a second right click open it again at once.
  SetForegroundWindow(owner);
  TrackPopupMenu(menu.get(), 0, at.x, at.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}
