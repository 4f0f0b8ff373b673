// The about dialog: two help texts, the author and a link to the home page.
#pragma once
#include <windows.h>

#include <memory>

#include "common/dialog_base_win32.h"
#include "dialogs/link_label_win32.h"

// Where the about dialog's link leads, in every language.
inline constexpr wchar_t kHomePageUrl[] = L"https://softveil.quorvane.org/";

class CAboutDlg : public DialogBase {
 public:
  INT_PTR DoModal(HWND owner);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnWindowGone() override { m_pLink.reset(); }

 private:
  BOOL OnInitDialog();

  std::unique_ptr<CLinkLabel> m_pLink;
};
