#include "tests/e2e/reader_test.h"

#include <algorithm>

void ReaderTest::Start(const RECT& readerRect, std::optional<std::string> ini, const wchar_t* editText) {
  reader_ = std::make_unique<TestWindow>(readerRect, L"reading", editText);
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

// Other programs see the mask shown or hidden a moment before softveil's
// own handling of it is over (the reading keys taken or let go): the mask's
// answer to a message comes after that.
bool ReaderTest::WaitShown(int timeoutMs) const {
  return WaitUntil([&] { return IsWindowVisible(mask_) && SameRect(MaskRect(), ReaderAreaOnScreen()); },
                   timeoutMs) &&
         Answers(mask_);
}

bool ReaderTest::WaitShownForKeys() const {
  if (!WaitShown()) return false;
  Pause(500);
  return true;
}

bool ReaderTest::WaitHidden(int timeoutMs) const {
  return WaitUntil([&] { return !IsWindowVisible(mask_); }, timeoutMs) && Answers(mask_);
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

bool ReaderTest::WaitBand(bool horizontal, int start, int end, int timeoutMs) const {
  const RECT rc = MaskRect();
  const int across = horizontal ? (rc.right - rc.left) / 2 : (rc.bottom - rc.top) / 2;
  const int extent = horizontal ? rc.bottom - rc.top : rc.right - rc.left;
  const auto open = [&](int along) {
    return horizontal ? !RegionContains(mask_, across, along) : !RegionContains(mask_, along, across);
  };
  // A band at the far edge has no mask beyond it.
  return WaitUntil(
      [&] { return !open(start + 4) && open(start + 5) && open(end - 1) && (end >= extent || !open(end)); },
      timeoutMs);
}

std::pair<int, int> ReaderTest::Opening() const {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(mask_, region);
  const RECT rc = MaskRect();
  const int across = (rc.right - rc.left) / 2, extent = rc.bottom - rc.top;
  int start = 0;
  while (start < extent && PtInRegion(region, across, start)) ++start;
  int end = start;
  while (end < extent && !PtInRegion(region, across, end)) ++end;
  DeleteObject(region);
  return {start, end};
}

bool ReaderTest::CaretLineInBand(HWND window) const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret) return false;
  POINT caret = {0, info.rcCaret.top};
  ClientToScreen(info.hwndCaret, &caret);
  const RECT mask = MaskRect();
  const int top = caret.y - mask.top, line = info.rcCaret.bottom - info.rcCaret.top;
  const auto [start, end] = Opening();
  return line > 0 && top >= start && top + line <= end && (top - start) % line == 0 &&
         (end == mask.bottom - mask.top || (end - top) % line == 0) && top - start >= (end - start) / 2;
}
