// What the menu probe (menu_probe.dll, loaded into softveil by a hook) and
// the harness share: a block of named shared memory that holds the items of
// the last popup menu softveil opened.
#pragma once
#include <windows.h>

inline constexpr wchar_t kMenuProbeMemory[] = L"Local\\SoftveilMenuProbe";
inline constexpr char kMenuProbeHook[] = "MenuProbeHook";

struct MenuProbeRecord {
  volatile LONG menus;  // how many menus were recorded; the last one's items follow
  // The items' texts, each ended by a newline; a separator is an empty line.
  wchar_t items[2048];
};
