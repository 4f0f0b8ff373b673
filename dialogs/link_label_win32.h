// A line of blue text that opens a web address when pressed.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "common/dialog_base_win32.h"

class CLinkLabel : public ChildWindow {
 public:
  CLinkLabel();

  void SetLinkText(std::wstring_view text) { m_strText = text; }
  void SetLinkTarget(std::wstring_view address) { m_strLink = address; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnPaint();

  HCURSOR m_hCursor = nullptr;  // a shared resource cursor, never destroyed
  std::wstring m_strLink;
  std::wstring m_strText;
};
