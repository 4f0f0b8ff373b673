// A hook procedure that the end-to-end tests have the system load into
// softveil's GUI thread. When a popup menu is about to show it writes the
// menu's items into the shared memory of menu_probe.h. Under Wine a menu
// lives in its own process: no other process can read its items.
#include "tests/e2e/menu_probe.h"

namespace {

void Record(HMENU menu) {
  HANDLE memory = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kMenuProbeMemory);
  if (!memory) return;
  if (auto* record = static_cast<MenuProbeRecord*>(MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, 0))) {
    constexpr int kRoom = sizeof record->items / sizeof record->items[0];
    int at = 0;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && at < kRoom - 1; ++i) {
      const int copied = GetMenuStringW(menu, i, record->items + at, kRoom - 1 - at, MF_BYPOSITION);
      at += copied > 0 ? copied : 0;
      if (at < kRoom - 1) record->items[at++] = L'\n';
    }
    record->items[at] = L'\0';
    InterlockedIncrement(&record->menus);
    UnmapViewOfFile(record);
  }
  CloseHandle(memory);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (call->message == WM_INITMENUPOPUP) Record(reinterpret_cast<HMENU>(call->wParam));
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}
