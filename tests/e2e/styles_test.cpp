// The reading guide's styles over a reading window: each one's region,
// opacity and clicks, the style key cycling and saving them, dragging the
// bar and the underline, the reading keys on the bar, each style's colour.
#include "tests/e2e/reader_test.h"

#include <commctrl.h>

namespace {

// 800 x 800 at (200, 100): a band of 200 is centred at 300..500.
constexpr RECT kReader{200, 100, 1000, 900};
constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

class GuideStyles : public ReaderTest {
 protected:
  void StartShown(std::optional<std::string> ini) {
    Start(kReader, std::move(ini));
    SwitchOn();
    ASSERT_TRUE(WaitShownForKeys());
  }
  static void Key(WORD key) { PressKeys({VK_CONTROL, VK_MENU, key}); }
  static POINT At(int x, int y) { return {kReader.left + x, kReader.top + y}; }
  static COLORREF Pixel(int x, int y) { return ScreenPixel(At(x, y).x, At(x, y).y); }
  int Alpha() const {
    BYTE alpha = 0;
    return GetLayeredWindowAttributes(mask_, nullptr, &alpha, nullptr) ? alpha : -1;
  }
  bool ClickThrough() const { return (GetWindowLongW(mask_, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0; }
  // Across the middle of the mask, the region holds exactly the rows start..end.
  bool WaitCovers(int start, int end) const {
    return WaitUntil([&] {
      return !RegionContains(mask_, 400, start - 1) && RegionContains(mask_, 400, start) &&
             RegionContains(mask_, 400, end - 1) && !RegionContains(mask_, 400, end);
    });
  }
  // The clicks the reader gets from one click at (x, y).
  int ClicksThrough(int x, int y) const {
    const int before = reader_->Clicks();
    PointAt(At(x, y));
    ClickLeft(true);
    ClickLeft(false);
    Pause(400);
    return reader_->Clicks() - before;
  }
  std::string Ini() const { return ReadBytes(app_->IniPath()).value_or(""); }
};

TEST_F(GuideStyles, TheStyleKeyCyclesAndSavesEachStyleWithItsRegionOpacityAndClicks) {
  const std::string six =
      "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\n"
      "hotkey_mask_open=CTRL|ALT|O\r\nhotkey_lock_open=CTRL|ALT|L\r\ncolor=0\r\n";
  StartShown(six);
  ASSERT_TRUE(WaitBand(true, 300, 500)) << "a file of six keys: the mask as it always was";
  EXPECT_EQ(Alpha(), 200);
  EXPECT_FALSE(ClickThrough());
  EXPECT_EQ(ClicksThrough(400, 150), 0) << "the mask takes it";

  Key('S');
  ASSERT_TRUE(WaitCovers(300, 500)) << "the bar covers the band and nothing else";
  EXPECT_EQ(Alpha(), 64);
  EXPECT_TRUE(WaitUntil([&] { return Ini() == six + "style=bar\r\n"; })) << "saved once the keys rest";
  const POINT clock = WindowCenter(GetDlgItem(mask_, IDC_CLOCK_LABEL));
  EXPECT_TRUE(RegionContains(mask_, clock.x - kReader.left, clock.y - kReader.top)) << "the clock stays";
  EXPECT_EQ(ClicksThrough(400, 150), 1) << "beside the bar";
  EXPECT_EQ(ClicksThrough(400, 400), 0) << "on the bar";

  Key('S');
  ASSERT_TRUE(WaitCovers(497, 500)) << "the underline, 3 px at the band's bottom edge";
  EXPECT_EQ(Alpha(), 255);
  EXPECT_EQ(ClicksThrough(400, 490), 1) << "beside the line, past its grab";

  Key('S');
  ASSERT_TRUE(WaitUntil([&] { return ClickThrough(); })) << "the tint";
  EXPECT_TRUE(RegionContains(mask_, 400, 100) && RegionContains(mask_, 400, 400));
  EXPECT_EQ(Alpha(), 64);
  EXPECT_EQ(ClicksThrough(400, 150) + ClicksThrough(400, 400), 2) << "every click goes through";
  EXPECT_TRUE(HotkeyIsFree(kCtrlAlt, VK_DOWN) && HotkeyIsFree(kCtrlAlt, VK_NEXT)) << "no band, no band keys";
  EXPECT_FALSE(HotkeyIsFree(kCtrlAlt, 'S'));

  Key('S');
  ASSERT_TRUE(WaitBand(true, 300, 500)) << "the mask again";
  EXPECT_EQ(Alpha(), 200);
  EXPECT_FALSE(ClickThrough());
  EXPECT_TRUE(WaitUntil([&] { return Ini() == six + "style=mask\r\n"; }));
}

TEST_F(GuideStyles, DraggingCarriesTheBarAndTheUnderline) {
  StartShown("[settings]\r\nstyle=bar\r\n");
  ASSERT_TRUE(WaitCovers(300, 500));
  DragTo(At(400, 400));
  ClickLeft(true);
  DragTo(At(400, 450));
  EXPECT_TRUE(WaitCovers(350, 550)) << "the point grabbed stays under the pointer";
  DragTo(At(400, 50));
  EXPECT_TRUE(WaitCovers(1, 201)) << "stops where the band stops";
  ClickLeft(false);
  DragTo(At(400, 150));
  EXPECT_TRUE(WaitCovers(1, 201)) << "let go";

  Key('S');
  ASSERT_TRUE(WaitCovers(198, 201)) << "the underline of that band";
  ASSERT_TRUE(WaitUntil([&] { return Ini().find("style=underline") != std::string::npos; }));
  const std::string saved = Ini();
  DragTo(At(400, 195));  // 3 px above the line
  ClickLeft(true);
  DragTo(At(400, 695));
  EXPECT_TRUE(WaitCovers(698, 701));
  ClickLeft(false);
  DragTo(At(400, 400));
  EXPECT_TRUE(WaitCovers(698, 701)) << "let go";
  EXPECT_EQ(Ini(), saved) << "moving saves nothing";
}

TEST_F(GuideStyles, TheReadingKeysStepTheBarAndEachStyleKeepsItsColourAndOpacity) {
  StartShown("[settings]\r\ncolor=255\r\nbar_color=65280\r\nbar_transparence=100\r\nstyle=bar\r\n");
  ASSERT_TRUE(WaitCovers(300, 500));
  Key(VK_DOWN);
  EXPECT_TRUE(WaitCovers(475, 675));
  Key(VK_NEXT);
  EXPECT_TRUE(WaitCovers(475, 685)) << "thicker";
  // No compositor under test: the screen shows the colour itself.
  EXPECT_TRUE(WaitUntil([] { return Pixel(400, 600) == RGB(0, 255, 0); })) << "the bar's green";
  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  SendDlgItemMessageW(dlg, IDC_TRANSPARENCY, TBM_SETPOS, TRUE, 120);  // the bar's opacity, as the dialog edits it
  PressButton(dlg, IDOK);
  ASSERT_TRUE(WaitGone(dlg));
  EXPECT_EQ(Alpha(), 120);

  Key('S');
  ASSERT_TRUE(WaitCovers(682, 685));
  Key('S');
  ASSERT_TRUE(WaitUntil([&] { return ClickThrough(); }));
  Key('S');
  ASSERT_TRUE(WaitBand(true, 475, 685)) << "the mask, over the band the bar was on";
  EXPECT_TRUE(WaitUntil([] { return Pixel(400, 100) == RGB(255, 0, 0); })) << "the mask's own red";
  EXPECT_EQ(Alpha(), 200);
  Key('S');
  ASSERT_TRUE(WaitCovers(475, 685));
  EXPECT_TRUE(WaitUntil([] { return Pixel(400, 600) == RGB(0, 255, 0); })) << "the bar's green again";
  EXPECT_EQ(Alpha(), 120);
}

}  // namespace
