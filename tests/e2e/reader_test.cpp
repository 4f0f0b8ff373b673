#include "tests/e2e/reader_test.h"

#include <algorithm>

void ReaderTest::Start(const RECT& readerRect, std::optional<std::string> ini) {
  reader_ = std::make_unique<TestWindow>(readerRect);
  PointAt(reader_->Center());
  app_ = std::make_unique<Softveil>(std::move(ini));
  ASSERT_TRUE(app_->controller()) << "the program did not start";
  mask_ = app_->WaitForMask();
  ASSERT_TRUE(mask_) << "the first tick over a tall window creates the mask";
}

void ReaderTest::TearDown() {
  if (!app_ || !app_->Running()) return;
  if (FindPopupMenu()) TapKey(VK_ESCAPE);
  // Dialogs stack up, and only the topmost one takes a command.
  for (int round = 0; round < 4; ++round) {
    const std::vector<HWND> open = app_->OpenDialogs();
    if (open.empty()) break;
    for (HWND dlg : open) PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    Pause(300);
  }
  EXPECT_EQ(app_->Exit(), 0u);
}

void ReaderTest::SwitchOn() const { app_->Command(ID_MENU_MASK_ON); }

bool ReaderTest::WaitShown(int timeoutMs) const {
  return WaitUntil([&] { return IsWindowVisible(mask_) && SameRect(MaskRect(), ReaderAreaOnScreen()); },
                   timeoutMs);
}

bool ReaderTest::WaitHidden(int timeoutMs) const {
  return WaitUntil([&] { return !IsWindowVisible(mask_); }, timeoutMs);
}

RECT ReaderTest::MaskRect() const {
  RECT rc = {};
  GetWindowRect(mask_, &rc);
  return rc;
}

RECT ReaderTest::ReaderAreaOnScreen() const {
  RECT area = reader_->Rect();
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::min<LONG>(area.right, ScreenWidth());
  area.bottom = std::min<LONG>(area.bottom, ScreenHeight());
  return area;
}
