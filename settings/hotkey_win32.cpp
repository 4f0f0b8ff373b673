#include "settings/hotkey_win32.h"

#include "settings/hotkey.h"

bool RegisterHotkeyFromText(HWND hwnd, int id, const char* descriptor) {
  const HotkeySpec combo = HotkeySpecFromText(descriptor);
  UnregisterHotKey(hwnd, id);
  return RegisterHotKey(hwnd, id, combo.fsModifiers, static_cast<UINT>(combo.vk)) != FALSE;
}
