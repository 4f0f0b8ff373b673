// Messages another program may throw at softveil's windows: random commands,
// hotkeys, tray notifications, tracking and timer messages, and everything
// after the mask window was destroyed from outside. softveil must neither
// crash nor get stuck, and must still exit cleanly from the tray command.
#include "tests/e2e/harness.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr UINT kCmdExit = 32771;
constexpr UINT kCmdAbout = 32772;
constexpr UINT kCmdSettings = 32773;
constexpr UINT kCmdMaskOff = 32774;
constexpr UINT kCmdMaskOn = 32775;
constexpr UINT kCmdLock = 32776;
constexpr UINT kMaskTrack = 2024;
constexpr UINT kTrayNotify = 2026;
constexpr UINT kMaskMinimize = 2027;
constexpr UINT kMaskDestroy = 2033;
constexpr UINT kMaskOffMessage = 2034;
constexpr WPARAM kTrayIconId = 128;
constexpr WPARAM kHotkeyIds[] = {1688, 2688, 3688, 4688};

const wchar_t kSettingsCaption[] = L"设置";
const wchar_t kAboutCaption[] = L"关于 softveil";

bool Answers(HWND hwnd) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

// The settings and about dialogs and message boxes of the program.
std::vector<HWND> OpenDialogs(DWORD pid) {
  return WindowsOfProcess(pid, [](HWND h) {
    const std::wstring caption = WindowText(h);
    return IsWindowVisible(h) && (caption == kSettingsCaption || caption == kAboutCaption || caption == L"softveil");
  });
}

HWND WaitForDialog(DWORD pid, const wchar_t* caption) {
  HWND found = nullptr;
  WaitUntil([&] {
    auto dialogs = WindowsOfProcess(pid, [&](HWND h) { return IsWindowVisible(h) && WindowText(h) == caption; });
    found = dialogs.empty() ? nullptr : dialogs.front();
    return found != nullptr;
  });
  return found;
}

// A reading window with the pointer in the middle of its band, softveil, and
// the mask shown over the window.
class HostileTest : public testing::Test {
 protected:
  void SetUp() override {
    reader_ = std::make_unique<TestWindow>(RECT{200, 100, 1000, 900});
    const POINT centre = reader_->Center();
    MovePointer(centre.x, centre.y);
    app_ = std::make_unique<Softveil>();
    ASSERT_TRUE(app_->controller());
    mask_ = app_->WaitForMask();
    ASSERT_TRUE(mask_);
    PostMessageW(app_->controller(), WM_COMMAND, kCmdMaskOn, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(mask_) != FALSE; }));
  }
  void TearDown() override {
    // Leave nothing open behind a failed test.
    if (!app_) return;
    for (HWND dlg : OpenDialogs(app_->pid())) PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    if (HWND menu = FindPopupMenu()) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
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
    PostMessageW(mask_, WM_COMMAND, kCmdMaskOff, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(mask_); }, 30000)) << "the mask does not switch off";
    PostMessageW(controller(), WM_COMMAND, kCmdMaskOn, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(mask_) != FALSE; }, 30000)) << "the mask does not switch on";
    RECT rc;
    GetWindowRect(mask_, &rc);
    EXPECT_EQ(rc.left, 200);
    EXPECT_EQ(rc.top, 100);
    EXPECT_EQ(rc.right, 1000);
    EXPECT_EQ(rc.bottom, 900);
    EXPECT_FALSE(RegionContains(mask_, 400, 400)) << "the band is no longer in the middle";
    EXPECT_EQ(FindPopupMenu(), nullptr);
    EXPECT_TRUE(OpenDialogs(app_->pid()).empty());
  }

  void ExpectCleanExit() { EXPECT_EQ(app_->Exit(), 0u); }

  std::unique_ptr<TestWindow> reader_;
  std::unique_ptr<Softveil> app_;
  HWND mask_ = nullptr;
};

// ---------------------------------------------------------------------------
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

// These end the program (32771, and IDOK and IDCANCEL as the dialog's own
// exit) or open a modal dialog (32772, 32773); they have tests of their own.
bool EndsOrOpensSomething(WORD id) {
  return id == IDOK || id == IDCANCEL || id == kCmdExit || id == kCmdAbout || id == kCmdSettings;
}

// Half of the ids near the program's own commands, where handlers live.
WPARAM RandomCommand(std::mt19937& random) {
  WORD id;
  do {
    id = Coin(random) ? static_cast<WORD>(32760 + random() % 32) : static_cast<WORD>(random());
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
  return Shot{w.controller, kTrayNotify, id, mouse, false};
};

const Gun kTrackFromAnotherProgram = [](std::mt19937& r, const Windows& w) {
  return Shot{w.mask, kMaskTrack, Any(r), static_cast<LPARAM>(Any(r)), true};
};

const Gun kOddTimers = [](std::mt19937& r, const Windows& w) {
  // A timer message with a non-zero lParam names a callback; the system
  // calls only callbacks that the target registered, so these must be safe.
  return Shot{Coin(r) ? w.controller : w.mask, WM_TIMER, Any(r), Coin(r) ? 0 : static_cast<LPARAM>(Any(r)), false};
};

const Gun kEverything = [](std::mt19937& r, const Windows& w) {
  static const Gun* const kGuns[] = {&kCommands, &kHotkeys, &kTrayNotifications, &kTrackFromAnotherProgram,
                                     &kOddTimers};
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
  ExpectCleanExit();
}

const Barrage kBarrages[] = {
    {"Commands", &kCommands, 2000, 11},
    {"Hotkeys", &kHotkeys, 2000, 12},
    {"TrayNotifications", &kTrayNotifications, 2000, 13},
    {"TrackFromAnotherProgram", &kTrackFromAnotherProgram, 1000, 14},
    {"OddTimers", &kOddTimers, 1000, 15},
    {"Everything", &kEverything, 2000, 16},
};

INSTANTIATE_TEST_SUITE_P(Hostile, BarrageTest, testing::ValuesIn(kBarrages),
                         [](const testing::TestParamInfo<Barrage>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// After 2033 has destroyed the mask window.

TEST_F(HostileTest, AfterTheMaskIsDestroyedEveryOtherMessageIsHarmless) {
  const HWND oldMask = mask_;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(oldMask, kMaskDestroy, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  ASSERT_FALSE(IsWindow(oldMask));

  // Everything that could refer to the mask, to the controller and to the
  // handle the mask had.
  struct Message {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  const Message kMessages[] = {
      {kMaskTrack, 0, 0},        {kMaskMinimize, 0, 0},    {kMaskOffMessage, 0, 0},
      {kMaskDestroy, 0, 0},      {WM_HOTKEY, 1688, 0},     {WM_HOTKEY, 2688, 0},
      {WM_HOTKEY, 3688, 0},      {WM_HOTKEY, 4688, 0},     {WM_COMMAND, kCmdMaskOn, 0},
      {WM_COMMAND, kCmdMaskOff, 0}, {WM_COMMAND, kCmdLock, 0}, {WM_COMMAND, kCmdLock, 0},
      {WM_TIMER, 1234, 0},       {WM_TIMER, 1, 0},         {kTrayNotify, kTrayIconId, WM_LBUTTONUP},
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
  PostMessageW(controller(), WM_COMMAND, kCmdSettings, 0);
  HWND settings = WaitForDialog(app_->pid(), kSettingsCaption);
  ASSERT_TRUE(settings);
  PostMessageW(settings, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
  PostMessageW(controller(), WM_COMMAND, kCmdAbout, 0);
  HWND about = WaitForDialog(app_->pid(), kAboutCaption);
  ASSERT_TRUE(about);
  PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));

  Pause(1500);  // ticks over the reading window
  EXPECT_EQ(app_->FindMask(), nullptr) << "the mask is gone for the rest of the run";
  EXPECT_TRUE(Answers(controller()));
  EXPECT_TRUE(OpenDialogs(app_->pid()).empty());
  EXPECT_EQ(FindPopupMenu(), nullptr);
  ExpectCleanExit();
}

// ---------------------------------------------------------------------------
// The two commands that open modal dialogs, and the exit command while one
// is open.

TEST_F(HostileTest, DialogCommandsInARowOpenADialogEachAndAllCloseAgain) {
  // Posted together, each is taken up by whichever modal loop runs, so the
  // dialogs stack up, one per command.
  for (UINT command : {kCmdSettings, kCmdAbout, kCmdSettings, kCmdAbout}) {
    PostMessageW(controller(), WM_COMMAND, command, 0);
  }
  int closed = 0;
  for (;;) {
    std::vector<HWND> open;
    WaitUntil([&] { return !(open = OpenDialogs(app_->pid())).empty(); }, 2000);
    if (open.empty()) break;
    ASSERT_LT(closed, 10) << "dialogs keep coming";
    // The topmost one, the only one that is enabled, closes first.
    for (HWND dlg : open) {
      if (IsWindowEnabled(dlg)) {
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
        ++closed;
        break;
      }
    }
  }
  EXPECT_EQ(closed, 4);
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
  PostMessageW(controller(), WM_COMMAND, GetParam().command, 0);
  HWND dlg = WaitForDialog(app_->pid(), GetParam().caption);
  ASSERT_TRUE(dlg);
  HWND oldController = controller();
  PostMessageW(controller(), WM_COMMAND, kCmdExit, 0);
  // Under Wine a program whose dialog has the foreground takes a few seconds
  // to end after its last window is gone.
  EXPECT_EQ(app_->WaitExit(15000), 0u) << "the program must end, dialog and all";
  EXPECT_FALSE(TrayIconPresent(oldController));
}

const DialogCase kDialogCases[] = {
    {"Settings", kCmdSettings, kSettingsCaption},
    {"About", kCmdAbout, kAboutCaption},
};

INSTANTIATE_TEST_SUITE_P(Hostile, ExitWithDialogTest, testing::ValuesIn(kDialogCases),
                         [](const testing::TestParamInfo<DialogCase>& info) { return info.param.name; });

}  // namespace
