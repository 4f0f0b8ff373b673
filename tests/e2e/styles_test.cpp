// The reading guide's styles over a reading window: the region and opacity
// of each, the style key cycling and saving them, clicks that reach the
// window below, dragging the bar and the underline, the reading keys on the
// bar, and each style's own colour and opacity.
#include "tests/e2e/reader_test.h"

#include <commctrl.h>

namespace {

// 800 x 800 at (200, 100): a band of 200 is centred at 300..500.
constexpr RECT kReader{200, 100, 1000, 900};
constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
const std::string kSix =
    "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\n"
    "hotkey_mask_open=CTRL|ALT|O\r\nhotkey_lock_open=CTRL|ALT|L\r\ncolor=0\r\n";

class GuideStyles : public ReaderTest {
 protected:
  void StartShown(std::optional<std::string> ini) {
    Start(kReader, std::move(ini));
    SwitchOn();
    ASSERT_TRUE(WaitShownForKeys());
  }
  static void Ctrl_Alt(WORD key) { PressKeys({VK_CONTROL, VK_MENU, key}); }
  static POINT At(int x, int y) { return {kReader.left + x, kReader.top + y}; }
  BYTE Alpha() const {
    BYTE alpha = 0;
    GetLayeredWindowAttributes(mask_, nullptr, &alpha, nullptr);
    return alpha;
  }
  bool ClickThrough() const { return (GetWindowLongW(mask_, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0; }
  // Across the middle of the mask, the region holds exactly the rows start..end.
  bool WaitCovers(int start, int end) const {
    return WaitUntil([&] {
      return !RegionContains(mask_, 400, start - 1) && RegionContains(mask_, 400, start) &&
             RegionContains(mask_, 400, end - 1) && !RegionContains(mask_, 400, end);
    });
  }
  void ClickAt(int x, int y) const {
    PointAt(At(x, y));
    ClickLeft(true);
    ClickLeft(false);
    Pause(400);
  }
  std::string Ini() const { return ReadBytes(app_->IniPath()).value_or(""); }
};

TEST_F(GuideStyles, TheStyleKeyCyclesTheFourStylesEachWithItsRegionAndOpacity) {
  StartShown(kSix);
  ASSERT_TRUE(WaitBand(true, 300, 500)) << "a file of six keys: the mask as it always was";
  EXPECT_EQ(Alpha(), 200);
  EXPECT_FALSE(ClickThrough());

  Ctrl_Alt('S');
  ASSERT_TRUE(WaitCovers(300, 500)) << "the bar covers the band and nothing else";
  EXPECT_EQ(Alpha(), 64);
  EXPECT_FALSE(ClickThrough());
  const POINT clock = WindowCenter(GetDlgItem(mask_, IDC_CLOCK_LABEL));
  EXPECT_TRUE(RegionContains(mask_, clock.x - kReader.left, clock.y - kReader.top)) << "the clock stays";
  EXPECT_EQ(Ini(), kSix + "style=bar\r\n");

  Ctrl_Alt('S');
  ASSERT_TRUE(WaitCovers(497, 500)) << "the underline, 3 px at the band's bottom edge";
  EXPECT_EQ(Alpha(), 255);
  // A few pixels beside the line a press still takes it; further off it is the reader's.
  const HWND beside = WindowFromPoint(At(400, 494));
  DWORD owner = 0;
  GetWindowThreadProcessId(beside, &owner);
  EXPECT_EQ(owner, app_->pid());
  EXPECT_EQ(WindowFromPoint(At(400, 490)), reader_->hwnd());

  Ctrl_Alt('S');
  ASSERT_TRUE(WaitUntil([&] { return ClickThrough(); })) << "the tint takes no click";
  EXPECT_TRUE(RegionContains(mask_, 400, 100) && RegionContains(mask_, 400, 400));
  EXPECT_EQ(Alpha(), 64);
  EXPECT_EQ(WindowFromPoint(At(400, 400)), reader_->hwnd());
  EXPECT_TRUE(HotkeyIsFree(kCtrlAlt, VK_DOWN) && HotkeyIsFree(kCtrlAlt, VK_NEXT)) << "no band, no band keys";
  EXPECT_FALSE(HotkeyIsFree(kCtrlAlt, 'S'));

  Ctrl_Alt('S');
  ASSERT_TRUE(WaitBand(true, 300, 500)) << "the mask again";
  EXPECT_EQ(Alpha(), 200);
  EXPECT_FALSE(ClickThrough());
  EXPECT_FALSE(HotkeyIsFree(kCtrlAlt, VK_DOWN));
  EXPECT_EQ(Ini(), kSix + "style=mask\r\n");
}

TEST_F(GuideStyles, ClicksPassBesideTheBarAndThroughTheTintButNotThroughTheMask) {
  StartShown(std::nullopt);
  ASSERT_TRUE(WaitBand(true, 300, 500));
  ClickAt(400, 150);
  EXPECT_EQ(reader_->Clicks(), 0) << "the mask takes it";
  ClickAt(400, 400);
  EXPECT_EQ(reader_->Clicks(), 1) << "through the opening";

  Ctrl_Alt('S');
  ASSERT_TRUE(WaitCovers(300, 500));
  ClickAt(400, 150);
  EXPECT_EQ(reader_->Clicks(), 2) << "beside the bar";
  ClickAt(400, 400);
  EXPECT_EQ(reader_->Clicks(), 2) << "the bar takes it";

  Ctrl_Alt('S');
  ASSERT_TRUE(WaitCovers(497, 500));
  Ctrl_Alt('S');
  ASSERT_TRUE(WaitUntil([&] { return ClickThrough(); }));
  ClickAt(400, 150);
  ClickAt(400, 498);
  EXPECT_EQ(reader_->Clicks(), 4) << "through the tint everywhere";
}

TEST_F(GuideStyles, DraggingCarriesTheBarAndTheUnderline) {
  StartShown("[settings]\r\nstyle=bar\r\n");
  ASSERT_TRUE(WaitCovers(300, 500));
  DragTo(At(400, 400));
  ClickLeft(true);
  DragTo(At(400, 450));
  EXPECT_TRUE(WaitCovers(350, 550)) << "the point grabbed stays under the pointer";
  DragTo(At(400, 250));
  EXPECT_TRUE(WaitCovers(150, 350));
  DragTo(At(400, 50));
  EXPECT_TRUE(WaitCovers(1, 201)) << "stops where the band stops";
  ClickLeft(false);
  DragTo(At(400, 150));
  Pause(300);
  EXPECT_TRUE(WaitCovers(1, 201)) << "let go";

  Ctrl_Alt('S');
  ASSERT_TRUE(WaitCovers(198, 201)) << "the underline of that band";
  const std::string saved = Ini();
  DragTo(At(400, 195));  // 3 px above the line
  ClickLeft(true);
  DragTo(At(400, 295));
  EXPECT_TRUE(WaitCovers(298, 301));
  DragTo(At(400, 695));
  EXPECT_TRUE(WaitCovers(698, 701));
  ClickLeft(false);
  DragTo(At(400, 400));
  Pause(300);
  EXPECT_TRUE(WaitCovers(698, 701)) << "let go";
  EXPECT_EQ(Ini(), saved) << "moving saves nothing";
}

TEST_F(GuideStyles, TheReadingKeysStepTheBarAndEachStyleKeepsItsColourAndOpacity) {
  StartShown("[settings]\r\ncolor=255\r\nstyle=bar\r\n");
  ASSERT_TRUE(WaitCovers(300, 500));
  Ctrl_Alt(VK_DOWN);
  EXPECT_TRUE(WaitCovers(475, 675));
  // No compositor under test: the screen shows the colour itself.
  EXPECT_TRUE(WaitUntil([] { return ScreenPixel(At(400, 600).x, At(400, 600).y) == RGB(128, 128, 128); }));

  // The settings dialog shows and sets the bar's colour and opacity.
  HWND dlg = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(WaitUntil([&] { return SwatchColor(dlg) == RGB(128, 128, 128); }));
  EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_TRANSPARENCY, TBM_GETPOS, 0, 0), 64);
  EXPECT_EQ(ItemText(dlg, IDC_TRANSPARENCY_LABEL), L"64");
  SendDlgItemMessageW(dlg, IDC_TRANSPARENCY, TBM_SETPOS, TRUE, 100);
  PressButton(dlg, IDOK);
  ASSERT_TRUE(WaitGone(dlg));
  EXPECT_EQ(Ini(),
            "[settings]\r\ncolor=255\r\nstyle=bar\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\n"
            "hotkey_mask_open=ALT|CTRL|O\r\nhotkey_lock_open=ALT|CTRL|L\r\nbar_transparence=100\r\n");
  EXPECT_EQ(Alpha(), 100);

  Ctrl_Alt('S');
  ASSERT_TRUE(WaitCovers(672, 675));
  Ctrl_Alt('S');
  ASSERT_TRUE(WaitUntil([&] { return ClickThrough(); }));
  Ctrl_Alt('S');
  ASSERT_TRUE(WaitBand(true, 475, 675)) << "the mask, over the band the bar was on";
  EXPECT_TRUE(WaitUntil([] { return ScreenPixel(At(400, 100).x, At(400, 100).y) == RGB(255, 0, 0); }));
  EXPECT_EQ(Alpha(), 200);
  Ctrl_Alt('S');
  ASSERT_TRUE(WaitCovers(475, 675));
  EXPECT_TRUE(WaitUntil([] { return ScreenPixel(At(400, 600).x, At(400, 600).y) == RGB(128, 128, 128); }));
  EXPECT_EQ(Alpha(), 100);
}

}  // namespace
