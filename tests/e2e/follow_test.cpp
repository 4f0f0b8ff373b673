// The band follows the pointer or the text caret; the mask follows a moved
// window and stays away from the programs the reader lists.
#include "tests/e2e/reader_test.h"

namespace {

// 800 x 800 at (200, 100): a band of 200, the pointer 150 below its start.
constexpr RECT kReader{200, 100, 1000, 900};

constexpr wchar_t kNotepad[] = L"C:\\windows\\notepad.exe";  // Wine's own, a program nobody here wrote

using FollowTest = ReaderTest;

TEST_F(FollowTest, PointerChosenInMoreSettingsTakesTheBandAlongWithinTheEdges) {
  Start(kReader);  // a file without the new keys: the band stays where it is
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  PointAt({600, 700});
  OneTick();
  EXPECT_TRUE(WaitBand(true, 300, 500, 0));
  HWND more = app_->OpenDialog(Dialog::MoreSettings);
  ASSERT_TRUE(more);
  SendDlgItemMessageW(more, IDC_FOLLOW, CB_SETCURSEL, 1, 0);
  PressButton(more, IDOK);
  ASSERT_TRUE(WaitGone(more));
  PostMessageW(app_->FindDialog(Dialog::Settings), WM_COMMAND, IDCANCEL, 0);
  EXPECT_NE(ReadBytes(app_->IniPath()).value_or("").find("follow=pointer\r\n"), std::string::npos);
  // Settled: Wine's late echo of an earlier move would take the band there.
  for (const auto& [y, start] : {std::pair{600, 350}, {180, 1}, {880, 630}}) {
    MovePointerSettled(reader_->hwnd(), 600, y);
    EXPECT_TRUE(WaitBand(true, start, start + 200)) << "pointer at " << y;
  }
  PressKeys({VK_CONTROL, VK_MENU, VK_PRIOR});
  EXPECT_TRUE(WaitBand(true, 610, 800)) << "the reading keys act on it";
  MovePointerSettled(reader_->hwnd(), 600, 500);
  EXPECT_TRUE(WaitBand(true, 257, 447)) << "the next move takes it back, the new thickness less a quarter";
  reader_->Move({250, 150, 1050, 950});
  EXPECT_TRUE(WaitShown(1500)) << "a moved window is covered again by the next tick";
}

TEST_F(FollowTest, CaretMovedByKeysTakesTheBandAlongInAnEditControlAndInWinesNotepad) {
  TempDir dir;
  std::wstring text;
  for (int n = 1; n <= 400; ++n) text += L"line " + std::to_wstring(n) + L"\r\n";
  WriteBytes(dir.path() / "long.txt", std::string(text.begin(), text.end()));
  const auto expectFollowed = [&](HWND pane, std::initializer_list<std::pair<std::vector<WORD>, int>> presses) {
    for (const auto& [keys, times] : presses) {
      for (int i = 0; i < times; ++i) {
        PressKeys(keys);
        Pause(50);
      }
      EXPECT_TRUE(WaitUntil([&] { return CaretLineInBand(pane); })) << "key " << keys.back() << " x" << times;
    }
  };
  Start(kReader, "[settings]\r\nfollow=caret\r\n", text.c_str());
  SwitchOn();
  ASSERT_TRUE(WaitShownForKeys());
  SetForegroundWindow(reader_->hwnd());
  expectFollowed(reader_->edit(), {{{VK_DOWN}, 20}, {{VK_NEXT}, 1}, {{VK_CONTROL, VK_END}, 1}});
  const std::pair<int, int> before = Opening();
  PressKeys({VK_CONTROL, VK_MENU, VK_UP});
  EXPECT_TRUE(WaitUntil([&] { return Opening() != before; }));
  const std::pair<int, int> stepped = Opening();
  OneTick();
  EXPECT_EQ(Opening(), stepped) << "while the caret stays put the band stays where the keys put it";

  // Started after softveil, Notepad keeps the front.
  ProgramWindow notepad(kNotepad, (dir.path() / "long.txt").wstring(), {1000, 100, 1800, 900});
  const HWND pane = FindChildOfClass(notepad.hwnd(), L"Edit");
  PointAt(WindowCenter(pane));
  ASSERT_TRUE(WaitUntil([&] { return MaskRect().left >= 1000; }));
  Pause(500);  // keys pressed as the mask moves are now and then lost under Wine
  expectFollowed(pane, {{{VK_CONTROL, VK_END}, 1}, {{VK_UP}, 12}, {{VK_DOWN}, 4}});
}

TEST_F(FollowTest, AListedProgramGetsNoMaskAnotherDoes) {
  TempDir dir;
  WriteBytes(dir.path() / "a.txt", "a film\r\n");
  const std::filesystem::path film = dir.path() / "film.exe";
  std::filesystem::copy_file(kNotepad, film);
  ProgramWindow listed(film.wstring(), (dir.path() / "a.txt").wstring(), {1100, 100, 1500, 900});
  ProgramWindow other(kNotepad, (dir.path() / "a.txt").wstring(), {1500, 100, 1900, 900});
  Start(kReader, "[settings]\r\nexclude= vlc.exe ;FILM.EXE\r\n");
  SwitchOn();
  ASSERT_TRUE(WaitShown());
  PointAt(WindowCenter(listed.hwnd()));
  EXPECT_TRUE(WaitHidden()) << "over a listed program";
  PointAt(WindowCenter(other.hwnd()));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(mask_) && MaskRect().left >= 1500; })) << "over another";
  SetForegroundWindow(listed.hwnd());
  PointAt(reader_->Center());
  OneTick();
  EXPECT_FALSE(IsWindowVisible(mask_)) << "a listed program in front";
}

}  // namespace
