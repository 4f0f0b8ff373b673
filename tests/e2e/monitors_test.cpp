// The mask on a second monitor (right of the primary, or left of it with
// negative coordinates) and at 144 DPI. These cases need the configurations
// scripts/test sets up for them, and are told so on the command line: a
// two-monitor X server (--monitors=right or left, with --layout-script=, the
// Unix path of scripts/monitor_layout) or a Wine prefix at 144 DPI (--dpi=144).
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

#include <cstring>
#include <utility>
#include <string>
#include <vector>

namespace {

constexpr UINT kMaskOn = 32775;
constexpr UINT kSettingsCommand = 32773;
constexpr RECT kPrimary{0, 0, 1280, 1024};

// softveil with the pointer over `reader`, switched on and shown over `area`.
class MaskOnScreen : public testing::Test {
 protected:
  void StartOver(const RECT& reader, const RECT& area, std::optional<std::string> ini = std::nullopt) {
    reader_ = std::make_unique<TestWindow>(reader);
    // The window manager places a new window wholly on one monitor; moved
    // afterwards, it goes where it is told, as a window the user dragged.
    reader_->Move(reader);
    MovePointer(reader_->Center().x, reader_->Center().y);
    app_ = std::make_unique<Softveil>(std::move(ini));
    ASSERT_TRUE(app_->controller());
    mask_ = app_->WaitForMask();
    ASSERT_TRUE(mask_);
    PostMessageW(app_->controller(), WM_COMMAND, kMaskOn, 0);
    ASSERT_TRUE(WaitCovers(area)) << "the mask covers " << Describe(MaskRect());
    Pause(700);  // one more tick: the band is in place
  }
  void TearDown() override {
    if (app_ && app_->Running()) {
      EXPECT_EQ(app_->Exit(), 0u);
    }
  }

  RECT MaskRect() const {
    RECT rc = {};
    GetWindowRect(mask_, &rc);
    return rc;
  }
  bool WaitCovers(const RECT& area, int timeoutMs = 3000) const {
    return WaitUntil([&] { return IsWindowVisible(mask_) && SameRect(MaskRect(), area); }, timeoutMs);
  }
  static std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
  }
  // A point of the mask in its client coordinates, on the screen.
  void PointAtMask(int x, int y) const {
    const RECT rc = MaskRect();
    MovePointerSettled(mask_, rc.left + x, rc.top + y);
  }

  std::unique_ptr<TestWindow> reader_;
  std::unique_ptr<Softveil> app_;
  HWND mask_ = nullptr;
};

// --- icons for every scale ----------------------------------------------------

// The image the system picks from softveil.exe's icon `id` for `size`, as
// (width, bits per pixel): each scale must find an image drawn for it.
std::pair<int, int> IconImageFor(HMODULE exe, int id, int size) {
  HRSRC group = FindResourceW(exe, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
  if (!group) return {0, 0};
  auto* directory = static_cast<BYTE*>(LockResource(LoadResource(exe, group)));
  const int image = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(image), RT_ICON);
  if (!found) return {0, 0};
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(exe, found)));
  if (std::memcmp(bytes, "\x89PNG", 4) == 0) {
    // IHDR: width big-endian at 16, bit depth at 24, colour type 6 (RGBA) at 25.
    const int width = bytes[16] << 24 | bytes[17] << 16 | bytes[18] << 8 | bytes[19];
    return {width, bytes[25] == 6 ? bytes[24] * 4 : bytes[24]};
  }
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
  return {header->biWidth, header->biBitCount};
}

TEST(Icons, EveryScaleFindsAnImageOfItsOwnSizeWithAlpha) {
  HMODULE module =
      LoadLibraryExW(SoftveilExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_TRUE(module);
  // Small and large icon sizes from 100 % to 200 %, and the shell's largest view.
  for (int id : {128, 134}) {
    for (int size : {16, 20, 24, 32, 40, 48, 256}) {
      EXPECT_EQ(IconImageFor(module, id, size), std::make_pair(size, 32)) << "icon " << id << " at " << size;
    }
  }
  FreeLibrary(module);
}

// --- two monitors -----------------------------------------------------------

// The primary 1280 x 1024 at (0, 0) and a second of 1024 x 768 beside it, as
// scripts/test lays them out on its Xorg server.
class SecondMonitor : public MaskOnScreen {
 protected:
  void SetUp() override {
    arrangement_ = CommandLineOption("monitors");
    ASSERT_TRUE(arrangement_ == "right" || arrangement_ == "left")
        << "runs on the two-monitor X server that scripts/test starts";
    ASSERT_TRUE(WaitForMonitors(2));
    for (const RECT& r : MonitorRects()) {
      if (r.left != 0 || r.top != 0) second_ = r;
    }
    const RECT expected = arrangement_ == "right" ? RECT{1280, 0, 2304, 768} : RECT{-1024, 0, 0, 768};
    ASSERT_TRUE(SameRect(second_, expected)) << Describe(second_);
  }
  void TearDown() override {
    MaskOnScreen::TearDown();
    if (removed_) {
      Layout(arrangement_);
      EXPECT_TRUE(WaitForMonitors(2)) << "the second monitor came back for the next case";
    }
  }

  static bool WaitForMonitors(std::size_t count) {
    return WaitUntil([&] { return MonitorRects().size() == count; }, 5000);
  }
  // Lays the monitors out anew through the X server, as a user unplugging
  // or arranging a monitor does.
  void Layout(const std::string& how) {
    const std::string script = CommandLineOption("layout-script");
    ASSERT_FALSE(script.empty());
    std::wstring command = L"Z:\\bin\\bash \"" + std::wstring(script.begin(), script.end()) + L"\" " +
                           std::wstring(how.begin(), how.end());
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    // A Unix program: Wine starts it, but its handle never signals its end;
    // the callers wait for the monitors they expect instead.
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }

  // A reading window mostly on the second monitor, 100 px of it on the
  // primary, and the part of it on the second monitor: 924 x 640. (The
  // window manager pulls a window that leaves the desktop back onto it, so
  // a window can only reach past a monitor's edge onto another monitor.)
  RECT ReaderOnSecond() const {
    return arrangement_ == "right" ? RECT{1180, 50, 2204, 690} : RECT{-924, 50, 100, 690};
  }
  RECT AreaOnSecond() const {
    return arrangement_ == "right" ? RECT{1280, 50, 2204, 690} : RECT{-924, 50, 0, 690};
  }

  std::string arrangement_;
  RECT second_ = {};
  bool removed_ = false;
};

TEST_F(SecondMonitor, MaskCoversAReaderThereCutToThatMonitorWithTheBandInPlace) {
  StartOver(ReaderOnSecond(), AreaOnSecond());
  EXPECT_TRUE(GetWindowLongW(mask_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // 640 high, band 200: stored 220..420, the opening from 225 up to 420,
  // 5 px in from the left and 10 px in from the right of the 924 px mask.
  EXPECT_TRUE(RegionContains(mask_, 400, 224));
  EXPECT_FALSE(RegionContains(mask_, 400, 225));
  EXPECT_FALSE(RegionContains(mask_, 400, 419));
  EXPECT_TRUE(RegionContains(mask_, 400, 420));
  EXPECT_TRUE(RegionContains(mask_, 4, 300));
  EXPECT_FALSE(RegionContains(mask_, 5, 300));
  EXPECT_FALSE(RegionContains(mask_, 913, 300));
  EXPECT_TRUE(RegionContains(mask_, 914, 300));
  // The clock keeps to the top right of the mask, there too.
  RECT clock;
  GetWindowRect(GetDlgItem(mask_, 1029), &clock);
  EXPECT_EQ(clock.right, AreaOnSecond().right - 3);
  EXPECT_EQ(clock.top, AreaOnSecond().top);
}

TEST_F(SecondMonitor, DraggingTheBandThere) {
  StartOver(ReaderOnSecond(), AreaOnSecond());
  PointAtMask(600, 100);  // above the band, on the mask
  ClickLeft(true);
  // At or above the start the band's top comes to the pointer: 150..350.
  PointAtMask(600, 150);
  ASSERT_TRUE(WaitUntil([&] { return RegionContains(mask_, 400, 154) && !RegionContains(mask_, 400, 155); }));
  EXPECT_TRUE(RegionContains(mask_, 400, 350));
  // Below the start its bottom comes to the pointer: 500 - 200 = 300..500.
  PointAtMask(600, 500);
  ASSERT_TRUE(WaitUntil([&] { return RegionContains(mask_, 400, 304) && !RegionContains(mask_, 400, 305); }));
  EXPECT_FALSE(RegionContains(mask_, 400, 499));
  EXPECT_TRUE(RegionContains(mask_, 400, 500));
  ClickLeft(false);
}

TEST_F(SecondMonitor, LockFollowsTheWindowMovedToTheOtherMonitorAndBack) {
  StartOver({200, 100, 1000, 900}, {200, 100, 1000, 900});
  PressKeys({VK_CONTROL, VK_MENU, 'L'});
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(mask_, 1022)) != FALSE; }, 3000));
  // Dragged across: the pointer goes with the window, as when the user
  // carries it by its title.
  const RECT there = arrangement_ == "right" ? RECT{1400, 50, 2200, 700} : RECT{-900, 50, -100, 700};
  reader_->Move(there);
  MovePointer(reader_->Center().x, reader_->Center().y);
  EXPECT_TRUE(WaitCovers(there)) << Describe(MaskRect());
  reader_->Move({200, 100, 1000, 900});
  MovePointer(reader_->Center().x, reader_->Center().y);
  EXPECT_TRUE(WaitCovers({200, 100, 1000, 900})) << Describe(MaskRect());
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(mask_, 1022)));
}

TEST_F(SecondMonitor, RemovedWhileTheMaskIsOnItTheMaskGoesBackToThePrimary) {
  StartOver(ReaderOnSecond(), AreaOnSecond());
  removed_ = true;
  Layout("off");
  ASSERT_TRUE(WaitForMonitors(1));
  Pause(700);
  EXPECT_TRUE(app_->Running());
  // The reading window is where the window manager left it, maybe still
  // reaching into where the second monitor was: the mask covers only its
  // part on the primary, whichever monitors softveil knew before.
  RECT onPrimary;
  const RECT reader = reader_->Rect();
  ASSERT_TRUE(IntersectRect(&onPrimary, &reader, &kPrimary)) << Describe(reader);
  const POINT middle = {(onPrimary.left + onPrimary.right) / 2, (onPrimary.top + onPrimary.bottom) / 2};
  MovePointer(middle.x, middle.y);
  // Wine takes a moment to match its windows to the new desktop.
  ASSERT_TRUE(WaitUntil([&] { return WindowFromPoint(middle) == reader_->hwnd(); }));
  EXPECT_TRUE(WaitCovers(onPrimary)) << Describe(MaskRect()) << " over " << Describe(reader);
  EXPECT_TRUE(app_->Running());
}

// --- 144 DPI ------------------------------------------------------------------

// Wine's system DPI at 144 (150 %), every process per-monitor aware: the
// pixels softveil sees are physical ones.
class HighDpi : public MaskOnScreen {
 protected:
  void SetUp() override {
    ASSERT_EQ(CommandLineOption("dpi"), "144") << "runs in the 144-DPI Wine prefix that scripts/test makes";
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 144);
    ReleaseDC(nullptr, screen);
  }
};

TEST_F(HighDpi, HorizontalBandIsOneAndAHalfTimesTheHeightAndTheMarginsScale) {
  StartOver({200, 100, 1000, 900}, {200, 100, 1000, 900});
  // Band 200 is 300 pixels: stored 250..550 in the 800 px mask. The 5 px
  // margins are 8 (7.5 rounded), the 10 px one 15: the opening runs from
  // y 258 up to 550 and from x 8 up to 785.
  EXPECT_TRUE(RegionContains(mask_, 400, 257));
  EXPECT_FALSE(RegionContains(mask_, 400, 258));
  EXPECT_FALSE(RegionContains(mask_, 400, 549));
  EXPECT_TRUE(RegionContains(mask_, 400, 550));
  EXPECT_TRUE(RegionContains(mask_, 7, 400));
  EXPECT_FALSE(RegionContains(mask_, 8, 400));
  EXPECT_FALSE(RegionContains(mask_, 784, 400));
  EXPECT_TRUE(RegionContains(mask_, 785, 400));
}

TEST_F(HighDpi, VerticalBandScalesLikewise) {
  StartOver({200, 100, 1000, 900}, {200, 100, 1000, 900}, "[settings]\r\nhorizontal=0\r\nheight=120\r\n");
  // Band 120 is 180 pixels: stored 310..490; the opening x 318..490, y 8..792.
  EXPECT_TRUE(RegionContains(mask_, 317, 400));
  EXPECT_FALSE(RegionContains(mask_, 318, 400));
  EXPECT_FALSE(RegionContains(mask_, 489, 400));
  EXPECT_TRUE(RegionContains(mask_, 490, 400));
  EXPECT_TRUE(RegionContains(mask_, 400, 7));
  EXPECT_FALSE(RegionContains(mask_, 400, 8));
  EXPECT_FALSE(RegionContains(mask_, 400, 791));
  EXPECT_TRUE(RegionContains(mask_, 400, 792));
}

TEST_F(HighDpi, WindowsShorterThanTheScaledBandArePassedOver) {
  StartOver({200, 100, 1000, 900}, {200, 100, 1000, 900});
  TestWindow short299({1100, 100, 1700, 399}, L"299 high");
  TestWindow tall300({1100, 500, 1700, 800}, L"300 high");
  MovePointer(1400, 250);
  Pause(1200);
  EXPECT_TRUE(SameRect(MaskRect(), {200, 100, 1000, 900})) << Describe(MaskRect());
  MovePointer(1400, 650);
  EXPECT_TRUE(WaitCovers({1100, 500, 1700, 800})) << Describe(MaskRect());
}

TEST_F(HighDpi, DraggingUsesTheScaledBand) {
  StartOver({200, 100, 1000, 900}, {200, 100, 1000, 900});
  PointAtMask(600, 100);  // above the band (250)
  ClickLeft(true);
  // Pushed up: 150..450, the opening from 158.
  PointAtMask(600, 150);
  ASSERT_TRUE(WaitUntil([&] { return RegionContains(mask_, 400, 157) && !RegionContains(mask_, 400, 158); }));
  EXPECT_TRUE(RegionContains(mask_, 400, 450));
  // Pulled down: 600 - 300 = 300..600; the pointer stays on the mask.
  PointAtMask(600, 600);
  ASSERT_TRUE(WaitUntil([&] { return RegionContains(mask_, 400, 307) && !RegionContains(mask_, 400, 308); }));
  EXPECT_FALSE(RegionContains(mask_, 400, 599));
  EXPECT_TRUE(RegionContains(mask_, 600, 600));
  ClickLeft(false);
}

TEST_F(HighDpi, SettingsDialogShowsEveryControlWhole) {
  app_ = std::make_unique<Softveil>();
  ASSERT_TRUE(app_->controller());
  PostMessageW(app_->controller(), WM_COMMAND, kSettingsCommand, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = app_->FindDialog(L"设置")) != nullptr; }));
  int checked = 0;
  EXPECT_EQ(ControlsCutShort(dialog, 144, &checked), std::vector<std::string>());
  EXPECT_GE(checked, 10);

  // The more-settings dialog it opens likewise.
  HWND more = OpenMoreSettings(*app_, dialog);
  ASSERT_TRUE(more);
  EXPECT_EQ(ControlsCutShort(more, 144, &checked), std::vector<std::string>());
  EXPECT_GE(checked, 12);
  PostMessageW(more, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitGone(more));
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(HighDpi, ReadingKeysStepInPixelsAt96Dpi) {
  StartOver({200, 100, 1000, 900}, {200, 100, 1000, 900});
  // Band 200 is 300 pixels, stored 250..550; its opening starts 8 pixels in.
  const auto bandAt = [&](int start, int end) {
    return WaitUntil([&] {
      return RegionContains(mask_, 400, start + 7) && !RegionContains(mask_, 400, start + 8) &&
             !RegionContains(mask_, 400, end - 1) && RegionContains(mask_, 400, end);
    });
  };
  ASSERT_TRUE(bandAt(250, 550));
  // The fine step, 20, is 30 pixels.
  PressKeys({VK_CONTROL, VK_MENU, VK_SHIFT, VK_DOWN});
  EXPECT_TRUE(bandAt(280, 580));
  // A step, 200 - 25 = 175, is 262.5 pixels, rounded to 263.
  PressKeys({VK_CONTROL, VK_MENU, VK_UP});
  EXPECT_TRUE(bandAt(17, 317));
  // Thicker by 10 is 15 pixels more; the saved height stays at 96 DPI.
  PressKeys({VK_CONTROL, VK_MENU, VK_NEXT});
  EXPECT_TRUE(bandAt(17, 332));
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(app_->IniPath()).value_or("").find("height=210\r\n") != std::string::npos; }));
}

}  // namespace
