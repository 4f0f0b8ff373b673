// Identifiers shared by the controller, the mask window and the dialogs:
// timers, hotkey ids, the custom window messages and the menu command ids.
// Other programs may send the custom messages, so their numbers are fixed.
#pragma once

constexpr unsigned kWmUser = 0x0400;

// Timers.
// Controller, 500 ms lock tracking tick, while the mask is switched on; it
// brings the mask's clock up to date too.
constexpr unsigned ID_TIMER_TRACK = 1234;
// Controller, one-shot: saves what the reading keys changed once they rest.
constexpr unsigned ID_TIMER_SAVE_KEY_CHANGES = 1235;
constexpr unsigned ID_TIMER_DRAG = 2;      // mask window, while a bar or an underline is dragged
constexpr unsigned ID_TIMER_CARET = 1300;  // mask window, the caret read while it may be moving
constexpr unsigned kTrackPeriodMs = 500;
constexpr unsigned kKeyChangesSaveDelayMs = 400;

// Hotkey ids. Only 1688 and 3688 are ever registered; the close ids are
// still honoured when some other program posts them.
constexpr int ID_HOTKEY_MASK = 1688;
constexpr int ID_HOTKEY_MASK_CLOSE = 2688;
constexpr int ID_HOTKEY_LOCK = 3688;
constexpr int ID_HOTKEY_LOCK_CLOSE = 4688;
// The reading keys, on the mask window while it is shown.
constexpr int ID_HOTKEY_NEXT = 5688;
constexpr int ID_HOTKEY_PREVIOUS = 5689;
constexpr int ID_HOTKEY_FINE_NEXT = 5690;
constexpr int ID_HOTKEY_FINE_PREVIOUS = 5691;
constexpr int ID_HOTKEY_THICKER = 5692;
constexpr int ID_HOTKEY_THINNER = 5693;
constexpr int ID_HOTKEY_STYLE = 5694;

// Custom window messages.
constexpr unsigned WM_MASK_TRACK = kWmUser + 1000;     // 2024, controller -> mask
constexpr unsigned WM_TRAY_NOTIFY = kWmUser + 1002;    // 2026, shell -> controller
constexpr unsigned WM_MASK_MINIMIZE = kWmUser + 1003;  // 2027, to the controller
constexpr unsigned WM_MASK_DESTROY = kWmUser + 1009;   // 2033, to the mask
constexpr unsigned WM_MASK_OFF = kWmUser + 1010;       // 2034, to the mask
// softveil's own, in the application range, each a window to itself: "tell
// what is waiting to be told". Any program can post them, so they carry
// nothing; the receiver shows only what its own state holds.
constexpr unsigned WM_SHOW_START_NOTICE = 0x8000 + 1;  // WM_APP + 1, the controller's notices
// WM_APP + 2 and + 3 are free.
constexpr unsigned WM_REPORT_REFUSED_KEYS = 0x8000 + 4;  // the mask: reading keys another program holds
// What the band follows, to the mask: the caret may have moved.
constexpr unsigned WM_FOLLOW_CARET = 0x8000 + 1301;
// The mask to the controller: the window under it moved, or another came to
// the front; the tracking tick runs now rather than at its time.
constexpr unsigned WM_TRACK_NOW = 0x8000 + 1302;

// Menu commands.
constexpr unsigned ID_MENU_CLOSE = 32771;
constexpr unsigned ID_MENU_AUTHOR = 32772;
constexpr unsigned ID_MENU_SETTINGS = 32773;
constexpr unsigned ID_MENU_MASK_OFF = 32774;
constexpr unsigned ID_MENU_MASK_ON = 32775;
constexpr unsigned ID_MENU_LOCK = 32776;

// The tray icon.
constexpr unsigned kTrayIconId = 128;
