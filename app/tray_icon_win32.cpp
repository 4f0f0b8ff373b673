#include "app/tray_icon_win32.h"

#include <cwchar>
#include <iterator>

TrayIcon::TrayIcon(HWND owner, UINT id, UINT callbackMessage, HICON icon, const wchar_t* tip) {
  m_nid.cbSize = sizeof m_nid;
  m_nid.hWnd = owner;
  m_nid.uID = id;
  m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_nid.uCallbackMessage = callbackMessage;
  m_nid.hIcon = icon;
  wcsncpy(m_nid.szTip, tip, std::size(m_nid.szTip) - 1);
  Add();
}

TrayIcon::~TrayIcon() { Shell_NotifyIconW(NIM_DELETE, &m_nid); }

void TrayIcon::Add() {
  // When the shell is not ready yet this fails; "TaskbarCreated" brings it back.
  Shell_NotifyIconW(NIM_ADD, &m_nid);
}

void TrayIcon::SetIcon(HICON icon) {
  m_nid.hIcon = icon;
  Shell_NotifyIconW(NIM_MODIFY, &m_nid);
}
