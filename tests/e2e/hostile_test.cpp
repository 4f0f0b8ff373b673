// Messages another program may throw at softveil's windows: random commands,
// hotkeys, tray notifications, tracking, timer and private messages, and everything
// after the mask window was destroyed from outside. softveil must neither
// crash nor get stuck, and must still exit cleanly from the tray command.
#include "tests/e2e/reader_test.h"

#include <random>

namespace {

constexpr WPARAM kHotkeyIds[] = {ID_HOTKEY_MASK, ID_HOTKEY_MASK_CLOSE, ID_HOTKEY_LOCK, ID_HOTKEY_LOCK_CLOSE};
constexpr char kIni[] = "[settings]\r\nheight=200\r\ncolor=255\r\n[notes]\r\nkeep=1\r\n";

// A reading window with the pointer in the middle of its band, softveil, and
// the mask shown over the window.
class HostileTest : public ReaderTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Start(RECT{200, 100, 1000, 900}, kIni));
    SwitchOn();
    ASSERT_TRUE(WaitShown(5000));
  }

  HWND controller() const { return app_->controller(); }

  // Alive, not hung, nothing left open, and the mask still obeys its switch
  // and still sits over the reading window with its band in the middle.
  void ExpectHealthy() {
    ASSERT_TRUE(app_->Running());
    EXPECT_TRUE(Answers(controller()));
    EXPECT_TRUE(Answers(mask_));
    // Posted, so these wait behind everything posted before them; a tracking
    // tick comes only when the queue is empty.
    PostMessageW(mask_, WM_COMMAND, ID_MENU_MASK_OFF, 0);
    EXPECT_TRUE(WaitHidden(30000)) << "the mask does not switch off";
    SwitchOn();
    EXPECT_TRUE(WaitShown(30000)) << "the mask does not switch on over the reading window";
    EXPECT_FALSE(RegionContains(mask_, 400, 400)) << "the band is no longer in the middle";
    EXPECT_EQ(FindPopupMenu(), nullptr);
    EXPECT_TRUE(app_->OpenDialogs().empty());
  }

  void ExpectCleanExit() { EXPECT_EQ(app_->Exit(), 0u); }
};

// Barrages of random messages, one kind at a time and all mixed.

struct Shot {
  HWND target;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
  bool send;  // SendMessage, as a program that waits for the answer
};

struct Windows {
  HWND controller;
  HWND mask;
};

using Gun = std::function<Shot(std::mt19937&, const Windows&)>;

std::uint32_t Any(std::mt19937& random) { return static_cast<std::uint32_t>(random()); }
bool Coin(std::mt19937& random) { return random() & 1; }

// These end the program (32771) or open a modal dialog (32772, 32773); they
// have tests of their own. IDOK and IDCANCEL stay in: they must end nothing.
bool EndsOrOpensSomething(WORD id) { return id == ID_MENU_CLOSE || id == ID_MENU_AUTHOR || id == ID_MENU_SETTINGS; }

// Half of the ids near the program's own commands, where handlers live.
WPARAM RandomCommand(std::mt19937& random) {
  WORD id;
  do {
    const int pick = random() % 4;
    id = pick == 0 ? static_cast<WORD>(random() % 3) : pick == 1 ? static_cast<WORD>(random())
                                                                 : static_cast<WORD>(32760 + random() % 32);
  } while (EndsOrOpensSomething(id));
  return MAKEWPARAM(id, static_cast<WORD>(random()));
}

const Gun kCommands = [](std::mt19937& r, const Windows& w) {
  return Shot{Coin(r) ? w.controller : w.mask, WM_COMMAND, RandomCommand(r), static_cast<LPARAM>(Any(r)), false};
};

const Gun kHotkeys = [](std::mt19937& r, const Windows& w) {
  const WPARAM id = Coin(r) ? kHotkeyIds[r() % 4] : Any(r);
  return Shot{Coin(r) ? w.controller : w.mask, WM_HOTKEY, id, static_cast<LPARAM>(Any(r)), false};
};

const Gun kTrayNotifications = [](std::mt19937& r, const Windows& w) {
  static const LPARAM kMouse[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,     WM_LBUTTONDBLCLK,
                                  WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,
                                  WM_CONTEXTMENU, 0x400 /* NIN_SELECT */, 0x401 /* NIN_KEYSELECT */};
  WPARAM id;
  LPARAM mouse;
  // The right button's release on our icon opens the menu: not random.
  do {
    id = Coin(r) ? kTrayIconId : Any(r);
    mouse = Coin(r) ? kMouse[r() % std::size(kMouse)] : static_cast<LPARAM>(Any(r));
  } while (id == kTrayIconId && LOWORD(mouse) == WM_RBUTTONUP);
  return Shot{w.controller, WM_TRAY_NOTIFY, id, mouse, false};
};

const Gun kTrackFromAnotherProgram = [](std::mt19937& r, const Windows& w) {
  return Shot{w.mask, WM_MASK_TRACK, Any(r), static_cast<LPARAM>(Any(r)), true};
};

const Gun kOddTimers = [](std::mt19937& r, const Windows& w) {
  // A timer message with a non-zero lParam names a callback; the system
  // calls only callbacks that the target registered, so these must be safe.
  return Shot{Coin(r) ? w.controller : w.mask, WM_TIMER, Any(r), Coin(r) ? 0 : static_cast<LPARAM>(Any(r)), false};
};

// softveil's own messages in the application range, mostly the first few,
// with the values a careless or hostile sender puts in.
const Gun kPrivateMessages = [](std::mt19937& r, const Windows& w) {
  static const std::uint64_t kExtremes[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, ~0ull, 1ull << 63};
  const auto value = [&] { return Coin(r) ? kExtremes[r() % std::size(kExtremes)] : Any(r); };
  const UINT msg = WM_APP + (Coin(r) ? r() % 8 : r() % 0x4000);
  return Shot{Coin(r) ? w.controller : w.mask, msg, value(), static_cast<LPARAM>(value()), Coin(r)};
};

const Gun kEverything = [](std::mt19937& r, const Windows& w) {
  static const Gun* const kGuns[] = {&kCommands, &kHotkeys, &kTrayNotifications, &kTrackFromAnotherProgram,
                                     &kOddTimers, &kPrivateMessages};
  return (*kGuns[r() % std::size(kGuns)])(r, w);
};

struct Barrage {
  const char* name;
  const Gun* gun;
  int shots;
  unsigned seed;
};

void PrintTo(const Barrage& barrage, std::ostream* os) { *os << barrage.name; }

class BarrageTest : public HostileTest, public testing::WithParamInterface<Barrage> {};

TEST_P(BarrageTest, LeavesTheProgramWorking) {
  const Barrage& barrage = GetParam();
  std::mt19937 random(barrage.seed);
  const Windows windows{controller(), mask_};
  for (int i = 0; i < barrage.shots; ++i) {
    const Shot shot = (*barrage.gun)(random, windows);
    if (shot.send) {
      DWORD_PTR result = 0;
      SendMessageTimeoutW(shot.target, shot.msg, shot.wp, shot.lp, SMTO_ABORTIFHUNG, 5000, &result);
    } else {
      PostMessageW(shot.target, shot.msg, shot.wp, shot.lp);
    }
    // Every hundred shots: still alive and answering, else say which shot
    // (with the seed) brought it down.
    if (i % 100 == 99 || i == barrage.shots - 1) {
      ASSERT_TRUE(app_->Running() && Answers(controller()))
          << "after shot " << i << " (message " << shot.msg << ", wParam " << shot.wp << ", lParam " << shot.lp
          << ") of seed " << barrage.seed;
    }
  }
  ExpectHealthy();
  EXPECT_EQ(ReadBytes(app_->IniPath()), kIni) << "another program's messages changed the settings";
  ExpectCleanExit();
}

const Barrage kBarrages[] = {
    {"Commands", &kCommands, 2000, 11},
    {"Hotkeys", &kHotkeys, 2000, 12},
    {"TrayNotifications", &kTrayNotifications, 2000, 13},
    {"TrackFromAnotherProgram", &kTrackFromAnotherProgram, 1000, 14},
    {"OddTimers", &kOddTimers, 1000, 15},
    {"PrivateMessages", &kPrivateMessages, 1000, 17},
    {"Everything", &kEverything, 2000, 16},
};

INSTANTIATE_TEST_SUITE_P(Hostile, BarrageTest, testing::ValuesIn(kBarrages),
                         [](const testing::TestParamInfo<Barrage>& info) { return info.param.name; });

// After 2033 has destroyed the mask window.

TEST_F(HostileTest, AfterTheMaskIsDestroyedEveryOtherMessageIsHarmless) {
  const HWND oldMask = mask_;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(oldMask, WM_MASK_DESTROY, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  ASSERT_FALSE(IsWindow(oldMask));

  // Everything that could refer to the mask, to the controller and to the
  // handle the mask had.
  struct Message {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  const Message kMessages[] = {
      {WM_MASK_TRACK, 0, 0},
      {WM_MASK_MINIMIZE, 0, 0},
      {WM_MASK_OFF, 0, 0},
      {WM_MASK_DESTROY, 0, 0},
      {WM_HOTKEY, ID_HOTKEY_MASK, 0},
      {WM_HOTKEY, ID_HOTKEY_MASK_CLOSE, 0},
      {WM_HOTKEY, ID_HOTKEY_LOCK, 0},
      {WM_HOTKEY, ID_HOTKEY_LOCK_CLOSE, 0},
      {WM_COMMAND, ID_MENU_MASK_ON, 0},
      {WM_COMMAND, ID_MENU_MASK_OFF, 0},
      {WM_COMMAND, ID_MENU_LOCK, 0},
      {WM_COMMAND, ID_MENU_LOCK, 0},
      {WM_TIMER, ID_TIMER_TRACK, 0},
      {WM_TIMER, 1, 0},
      {WM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONUP},
  };
  for (int round = 0; round < 20; ++round) {
    for (const Message& m : kMessages) {
      PostMessageW(controller(), m.msg, m.wp, m.lp);
      PostMessageW(oldMask, m.msg, m.wp, m.lp);
    }
  }
  ASSERT_TRUE(Answers(controller()));
  // The hotkeys as a user presses them.
  PressKeys({VK_CONTROL, VK_MENU, 'O'});
  PressKeys({VK_CONTROL, VK_MENU, 'L'});
  PressKeys({VK_CONTROL, VK_MENU, 'L'});

  // Both dialogs still work; confirming the settings registers the hotkeys
  // again, the mask's included, with no mask window to hold it.
  HWND settings = app_->OpenDialog(ID_MENU_SETTINGS, kSettingsCaption);
  ASSERT_TRUE(settings);
  PostMessageW(settings, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitGone(settings));
  HWND about = app_->OpenDialog(ID_MENU_AUTHOR, kAboutCaption);
  ASSERT_TRUE(about);
  PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitGone(about));

  Pause(1500);  // ticks over the reading window
  EXPECT_EQ(app_->FindMask(), nullptr) << "the mask is gone for the rest of the run";
  EXPECT_TRUE(Answers(controller()));
  EXPECT_TRUE(app_->OpenDialogs().empty());
  EXPECT_EQ(FindPopupMenu(), nullptr);
  ExpectCleanExit();
}

// The two commands that open modal dialogs, and the exit command while one
// is open.

TEST_F(HostileTest, DialogCommandsInARowOpenOneDialogOfEachKind) {
  // Posted together, each is taken up by whichever modal loop runs, so the
  // two dialogs open once each: a command for one open brings it to the front.
  for (UINT command : {ID_MENU_SETTINGS, ID_MENU_AUTHOR, ID_MENU_SETTINGS, ID_MENU_AUTHOR}) app_->Command(command);
  int closed = 0;
  for (;;) {
    std::vector<HWND> open;
    WaitUntil([&] { return !(open = app_->OpenDialogs()).empty(); }, 2000);
    if (open.empty()) break;
    ASSERT_LT(closed, 10) << "dialogs keep coming";
    // The topmost one, the only one that is enabled, closes first.
    for (HWND dlg : open) {
      if (IsWindowEnabled(dlg)) {
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitGone(dlg));
        ++closed;
        break;
      }
    }
  }
  EXPECT_EQ(closed, 2);
  ExpectHealthy();
  ExpectCleanExit();
}

struct DialogCase {
  const char* name;
  UINT command;
  const wchar_t* caption;
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

class ExitWithDialogTest : public HostileTest, public testing::WithParamInterface<DialogCase> {};

TEST_P(ExitWithDialogTest, ExitCommandEndsTheProgramWhileTheDialogIsOpen) {
  // The tray keeps working while a dialog is open, so "关闭" can come now.
  ASSERT_TRUE(app_->OpenDialog(GetParam().command, GetParam().caption));
  HWND oldController = controller();
  app_->Command(ID_MENU_CLOSE);
  EXPECT_EQ(app_->WaitExit(), 0u) << "the program must end, dialog and all";
  EXPECT_FALSE(TrayIconPresent(oldController));
}

const DialogCase kDialogCases[] = {
    {"Settings", ID_MENU_SETTINGS, kSettingsCaption},
    {"About", ID_MENU_AUTHOR, kAboutCaption},
};

INSTANTIATE_TEST_SUITE_P(Hostile, ExitWithDialogTest, testing::ValuesIn(kDialogCases),
                         [](const testing::TestParamInfo<DialogCase>& info) { return info.param.name; });

}  // namespace
