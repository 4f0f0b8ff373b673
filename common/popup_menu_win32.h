// A right-click menu built for one showing.
#pragma once
#include <windows.h>

#include <initializer_list>

struct MenuItem {
  UINT id;      // 0: a separator
  UINT textId;  // the item's text in the string table
};

// Shows a popup menu of `items` at `at` (screen coordinates) for `owner` and
// destroys it when it closes. The chosen command is posted to `owner` as
// WM_COMMAND.
void ShowPopupMenu(HWND owner, POINT at, std::initializer_list<MenuItem> items);
