// The notification-area icon: added when created, added again when the
// shell restarts, removed when destroyed.
#pragma once
#include <windows.h>
#include <shellapi.h>

class TrayIcon {
 public:
  // Mouse messages on the icon reach `owner` as `callbackMessage`.
  TrayIcon(HWND owner, UINT id, UINT callbackMessage, HICON icon, const wchar_t* tip);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // For "TaskbarCreated": the shell that held the icon is gone.
  void Add();
  // Shows `icon` instead (drawn for a new scale). Like the first, it must
  // outlive its use here: Add gives it to the shell again.
  void SetIcon(HICON icon);

 private:
  NOTIFYICONDATAW m_nid = {};
};
