// The mask over a reading window: showing, geometry, hotkeys, lock mode,
// dragging, its menu, messages from other programs and the clock.
#include "tests/e2e/reader_test.h"

namespace {

// A reading window 800 x 800 at (200, 100); the mask covers it.
constexpr RECT kReader{200, 100, 1000, 900};

using MaskTest = ReaderTest;

TEST_F(MaskTest, HiddenUntilSwitchedOnThenCoversTheWindowTopmostWithAlpha) {
  Start(kReader);
  OneTick();
  EXPECT_FALSE(IsWindowVisible(mask_));
  ASSERT_TRUE(app_->OpenTrayMenu());
  PickMenuItem(1);  // 开启遮挡
  ASSERT_TRUE(WaitShown());
  EXPECT_TRUE(SameRect(MaskRect(), reader_->Rect()));
  EXPECT_TRUE(GetWindowLongW(mask_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(mask_, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_TRUE(flags & LWA_ALPHA);
  // No frame: the window and its client area coincide.
  RECT client;
  GetClientRect(mask_, &client);
  const RECT window = MaskRect();
  EXPECT_EQ(client.right, window.right - window.left);
  EXPECT_EQ(client.bottom, window.bottom - window.top);
}

TEST_F(MaskTest, HorizontalBandIsCentredAndCutOutOfTheRegion) {
  Start(kReader);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  OneTick();
  // 800 high, band 200: stored 300..500, the opening from 305 up to 500,
  // 5 px in from the left and 10 px in from the right.
  EXPECT_TRUE(RegionContains(mask_, 400, 299));
  EXPECT_TRUE(RegionContains(mask_, 400, 304));
  EXPECT_FALSE(RegionContains(mask_, 400, 305));
  EXPECT_FALSE(RegionContains(mask_, 400, 499));
  EXPECT_TRUE(RegionContains(mask_, 400, 500));
  EXPECT_TRUE(RegionContains(mask_, 4, 400));
  EXPECT_FALSE(RegionContains(mask_, 5, 400));
  EXPECT_FALSE(RegionContains(mask_, 789, 400));
  EXPECT_TRUE(RegionContains(mask_, 790, 400));
}

TEST_F(MaskTest, VerticalBandAndOpacityFromTheIni) {
  Start(kReader, "[settings]\r\nhorizontal=0\r\ntransparence=300\r\n");
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  OneTick();
  BYTE alpha = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(mask_, nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 44);  // the low byte of 300
  // 800 wide: stored 300..500, the opening x 305..500, y 5..795.
  EXPECT_TRUE(RegionContains(mask_, 304, 400));
  EXPECT_FALSE(RegionContains(mask_, 305, 400));
  EXPECT_FALSE(RegionContains(mask_, 499, 400));
  EXPECT_TRUE(RegionContains(mask_, 500, 400));
  EXPECT_TRUE(RegionContains(mask_, 400, 4));
  EXPECT_FALSE(RegionContains(mask_, 400, 5));
  EXPECT_TRUE(RegionContains(mask_, 400, 795));
}

TEST_F(MaskTest, AreaIsClippedToTheScreen) {
  Start(kReader);
  // Dragged partly off the screen: a window manager keeps a new window on
  // the screen, but lets one be moved off it.
  const RECT offScreen{ScreenWidth() - 300, -50, ScreenWidth() + 200, 700};
  reader_->Move(offScreen);
  ASSERT_TRUE(WaitUntil([&] { return SameRect(reader_->Rect(), offScreen); }, 1000));
  PointAt({ScreenWidth() - 100, 300});
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  EXPECT_TRUE(SameRect(MaskRect(), RECT{ScreenWidth() - 300, 0, ScreenWidth(), 700}));
}

TEST_F(MaskTest, FollowsTallWindowsAndIgnoresShortOnes) {
  Start(kReader);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  TestWindow other(RECT{1100, 150, 1700, 950}, L"other");
  TestWindow toolbar(RECT{1100, 20, 1700, 120}, L"toolbar");  // 100 high, less than the band
  PointAt(other.Center());
  ASSERT_TRUE(WaitUntil([&] { return SameRect(MaskRect(), other.Rect()); }, 3000));
  PointAt(toolbar.Center());
  OneTick();
  EXPECT_TRUE(SameRect(MaskRect(), other.Rect()));
  EXPECT_TRUE(IsWindowVisible(mask_));
}

TEST_F(MaskTest, MaskHotkeyTogglesWithinATick) {
  Start(kReader);
  PressKeys({VK_CONTROL, VK_MENU, 'O'});
  ASSERT_TRUE(WaitShown());
  PressKeys({VK_CONTROL, VK_MENU, 'O'});
  EXPECT_TRUE(WaitHidden());
}

TEST_F(MaskTest, MaskHotkeyFromTheIniIsTheOneThatWorks) {
  Start(kReader, "[settings]\r\nhotkey_mask_open=SHIFT|ALT|M\r\n");
  PressKeys({VK_CONTROL, VK_MENU, 'O'});
  OneTick();
  EXPECT_FALSE(IsWindowVisible(mask_));
  PressKeys({VK_SHIFT, VK_MENU, 'M'});
  EXPECT_TRUE(WaitShown());
}

TEST_F(MaskTest, LockTiesTheMaskToOneWindow) {
  Start(kReader);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  HWND lockLabel = LockLabel();
  EXPECT_FALSE(IsWindowVisible(lockLabel));
  PressKeys({VK_CONTROL, VK_MENU, 'L'});
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(lockLabel) != FALSE; }, 3000));
  EXPECT_EQ(WindowText(lockLabel), L"锁定窗口");

  TestWindow other(RECT{1100, 150, 1700, 950}, L"other");
  PointAt(other.Center());
  ASSERT_TRUE(WaitHidden());
  // The locked window moves meanwhile; back over it, the mask follows it.
  reader_->Move(RECT{250, 120, 1050, 920});
  PointAt(reader_->Center());
  ASSERT_TRUE(WaitShown()) << "the mask follows the locked window to its new place";

  // Lock off: the label goes and the mask follows the pointer again.
  PressKeys({VK_CONTROL, VK_MENU, 'L'});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(lockLabel); }, 3000));
  PointAt(other.Center());
  EXPECT_TRUE(WaitUntil([&] { return SameRect(MaskRect(), other.Rect()); }, 3000));
}

TEST_F(MaskTest, DraggingMovesTheBandAndNeverAboveOne) {
  Start(kReader);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  OneTick();
  const int x = MaskRect().left + 400, top = MaskRect().top;
  // Band stored at 300..500. Press above it on the masked area.
  DragTo({x, top + 100});
  ClickLeft(true);
  // At or above the start the band's top comes to the pointer: 150..350.
  DragTo({x, top + 150});
  ASSERT_TRUE(WaitUntil([&] { return !RegionContains(mask_, 400, 160) && RegionContains(mask_, 400, 154); }));
  EXPECT_TRUE(RegionContains(mask_, 400, 350));
  // Below the start its bottom comes to the pointer: 400 - 200 = 200..400.
  DragTo({x, top + 400});
  ASSERT_TRUE(WaitUntil([&] { return RegionContains(mask_, 400, 204) && !RegionContains(mask_, 400, 205); }));
  EXPECT_FALSE(RegionContains(mask_, 400, 399));
  EXPECT_TRUE(RegionContains(mask_, 400, 400));
  // To the very top: the start becomes 1, the opening begins at 6.
  DragTo({x, top});
  ASSERT_TRUE(WaitUntil([&] { return RegionContains(mask_, 400, 5) && !RegionContains(mask_, 400, 6); }));
  EXPECT_TRUE(RegionContains(mask_, 400, 201));
  ClickLeft(false);
  // Released on the mask: further moves leave the band alone.
  PointAt({x, top + 600});
  Pause(300);
  EXPECT_FALSE(RegionContains(mask_, 400, 6));
  EXPECT_TRUE(RegionContains(mask_, 400, 300));
}

TEST_F(MaskTest, RightButtonMenuSwitchesOffAndExits) {
  Start(kReader);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  const POINT aboveTheBand{MaskRect().left + 400, MaskRect().top + 50};
  PointAt(aboveTheBand);
  ClickRight();
  ASSERT_TRUE(WaitUntil([] { return FindPopupMenu() != nullptr; }));
  PickMenuItem(1);  // 关闭遮挡
  ASSERT_TRUE(WaitHidden());

  SwitchOn();
  ASSERT_TRUE(WaitShown());
  PointAt(aboveTheBand);
  ClickRight();
  ASSERT_TRUE(WaitUntil([] { return FindPopupMenu() != nullptr; }));
  PickMenuItem(2);  // 退出程序, past the separator
  EXPECT_EQ(app_->WaitExit(), 0u);
}

TEST_F(MaskTest, MessagesFromOtherPrograms) {
  Start(kReader);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  // Other programs know these messages by their numbers alone.
  // 2027 to the controller minimises the mask; the next tick restores it.
  SendMessageW(app_->controller(), 2027, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsIconic(mask_) && IsWindowVisible(mask_); }, 3000));
  // 2034 switches the mask off.
  SendMessageW(mask_, 2034, 0, 0);
  ASSERT_TRUE(WaitHidden());
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  // 2033 destroys it for the rest of the run.
  SendMessageW(mask_, 2033, 0, 0);
  EXPECT_FALSE(IsWindow(mask_));
  Pause(1500);
  EXPECT_EQ(app_->FindMask(), nullptr);
  EXPECT_TRUE(app_->Running());
}

TEST_F(MaskTest, ClockShowsTheTimeSinceStartTheMomentTheMaskShows) {
  Start(kReader);
  HWND clock = GetDlgItem(mask_, IDC_CLOCK_LABEL);
  Pause(2200);
  SwitchOn();
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(mask_) != FALSE; }));
  const std::wstring text = WindowText(clock);
  EXPECT_TRUE(text.starts_with(L"0小时0分")) << testing::PrintToString(text);
  const int seconds = _wtoi(text.c_str() + 5);
  EXPECT_GE(seconds, 1);
  EXPECT_LE(seconds, 5);
  Pause(2000);
  EXPECT_GT(_wtoi(WindowText(clock).c_str() + 5), seconds);
}

}  // namespace

namespace {

// Whether `upper` lies above `lower` in the Z-order.
bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == lower) return true;
  }
  return false;
}

TEST_F(MaskTest, ComesBackOnTopOfAWindowThatCoveredIt) {
  Start(kReader);
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  // Another program's topmost window put over the mask: the next tick puts
  // the mask back on top, where it stays while nothing changes.
  TestWindow cover(RECT{220, 120, 520, 300}, L"cover");  // not under the pointer
  SetWindowPos(cover.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_TRUE(Above(cover.hwnd(), mask_));
  EXPECT_TRUE(WaitUntil([&] { return Above(mask_, cover.hwnd()); }, 3000));
  OneTick();
  EXPECT_TRUE(Above(mask_, cover.hwnd()));
  EXPECT_TRUE(SameRect(MaskRect(), RECT{200, 100, 1000, 900}));
}

}  // namespace
