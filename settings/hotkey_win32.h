// The Windows half of the hotkey text: registering a descriptor.
#pragma once
#include <windows.h>

// Registers hotkey `id` on `hwnd` anew from a descriptor text ("CTRL|ALT|O"),
// unregistering the id first. False when the system refused the combination.
bool RegisterHotkeyFromText(HWND hwnd, int id, const char* descriptor);
