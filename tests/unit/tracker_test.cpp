#include "app/tracker.h"

#include <gtest/gtest.h>

namespace {

constexpr WindowId kMask = 0x1010;
constexpr WindowId kReader = 0x2020;
constexpr WindowId kOther = 0x3030;

const Monitor kOnePrimary[] = {{{0, 0, 1920, 1080}, 96}};

// A tick after the mask exists, lock off, pointer over a reader window
// 800 x 900 on a 1920 x 1080 screen; each test changes what it is about.
TrackInput ReaderTick() {
  TrackInput in;
  in.under = kReader;
  in.mask = kMask;
  in.maskCreated = true;
  in.lock.lockOn = false;
  in.lock.lockedWnd = kOther;
  in.rectKnown = true;
  in.rect = {100, 100, 900, 1000};
  in.bandHeight = 200;
  in.monitors = kOnePrimary;
  return in;
}

// The same tick with g_bInTrackedWnd as the last tick left it.
TrackInput Tick(TrackInput in, int inTracked) {
  in.lock.inTrackedWnd = inTracked;
  return in;
}

}  // namespace

TEST(DecideTrackTick, LockOffFollowsTheWindowUnderThePointer) {
  const TrackResult r = DecideTrackTick(Tick(ReaderTick(), 0));
  EXPECT_EQ(r.action, TrackAction::SetAndSend);
  EXPECT_EQ(r.area, (TargetArea{Rect{100, 100, 900, 1000}, 96}));
  EXPECT_EQ(r.lock.lockedWnd, kReader);
  EXPECT_EQ(r.lock.inTrackedWnd, 1);
}

TEST(DecideTrackTick, WindowMustBeAtLeastAsTallAsTheBand) {
  struct Case { int bottom; TrackAction expected; };
  const Case cases[] = {
      {300, TrackAction::SetAndSend},  // exactly 200 tall
      {299, TrackAction::None},        // one pixel short
  };
  for (const auto& c : cases) {
    TrackInput in = ReaderTick();
    in.rect = {100, 100, 900, c.bottom};
    const TrackResult r = DecideTrackTick(Tick(in, 1));
    EXPECT_EQ(r.action, c.expected) << "bottom " << c.bottom;
    // Even a short window becomes the tracked one while lock is off.
    EXPECT_EQ(r.lock.lockedWnd, kReader);
  }
}

TEST(DecideTrackTick, HeightIsTakenBeforeTheScreenCutsIt) {
  // 300 tall, but only 80 of it on the screen: it still passes.
  TrackInput in = ReaderTick();
  in.rect = {0, 1000, 800, 1300};
  const TrackResult r = DecideTrackTick(Tick(in, 1));
  EXPECT_EQ(r.action, TrackAction::SetAndSend);
  EXPECT_EQ(r.area, (TargetArea{Rect{0, 1000, 800, 1080}, 96}));
}

TEST(DecideTrackTick, FirstSuitableWindowCreatesTheMask) {
  // Before the mask window exists its band height is still the initial 100.
  TrackInput in = ReaderTick();
  in.mask = 0;
  in.maskCreated = false;
  in.bandHeight = 100;
  in.rect = {100, 100, 900, 250};
  const TrackResult r = DecideTrackTick(Tick(in, 1));
  EXPECT_EQ(r.action, TrackAction::SetAndCreate);
  EXPECT_EQ(r.area, (TargetArea{Rect{100, 100, 900, 250}, 96}));

  // Once the mask has taken the settings' 200, the same window is too short.
  in.mask = kMask;
  in.maskCreated = true;
  in.bandHeight = 200;
  EXPECT_EQ(DecideTrackTick(Tick(in, 1)).action, TrackAction::None);
}

TEST(DecideTrackTick, FailedCreationIsNotRetried) {
  TrackInput in = ReaderTick();
  in.mask = 0;  // creation was attempted and failed
  EXPECT_EQ(DecideTrackTick(Tick(in, 1)).action, TrackAction::SetAndSend);
}

TEST(DecideTrackTick, PointerOverTheMaskKeepsEverything) {
  for (bool lockOn : {false, true}) {
    TrackInput in = ReaderTick();
    in.under = kMask;
    in.lock.lockOn = lockOn;
    in.lock.lockedWnd = kReader;
    const TrackResult r = DecideTrackTick(Tick(in, 0));
    EXPECT_EQ(r.action, TrackAction::Send) << "lock " << lockOn;
    EXPECT_EQ(r.lock.lockedWnd, kReader) << "lock " << lockOn;
    EXPECT_EQ(r.lock.inTrackedWnd, 0) << "lock " << lockOn;
  }
}

TEST(DecideTrackTick, NoWindowUnderThePointerIsNotTakenForTheMask) {
  // Before the mask exists its id is 0, as is "no window under the pointer".
  TrackInput in = ReaderTick();
  in.mask = 0;
  in.maskCreated = false;
  in.under = 0;
  in.rectKnown = false;
  const TrackResult r = DecideTrackTick(Tick(in, 0));
  EXPECT_EQ(r.action, TrackAction::None);
  EXPECT_EQ(r.lock.lockedWnd, 0u);
  EXPECT_EQ(r.lock.inTrackedWnd, 1);
}

TEST(DecideTrackTick, LockOnOverAnotherWindowHidesTheMask) {
  TrackInput in = ReaderTick();
  in.lock.lockOn = true;
  in.lock.lockedWnd = kReader;
  in.under = kOther;
  const TrackResult away = DecideTrackTick(Tick(in, 1));
  EXPECT_EQ(away.action, TrackAction::Send);
  EXPECT_EQ(away.lock.inTrackedWnd, 0);
  EXPECT_EQ(away.lock.lockedWnd, kReader);

  in.under = kReader;
  const TrackResult back = DecideTrackTick(Tick(in, away.lock.inTrackedWnd));
  EXPECT_EQ(back.action, TrackAction::SetAndSend);
  EXPECT_EQ(back.area, (TargetArea{Rect{100, 100, 900, 1000}, 96}));
  EXPECT_EQ(back.lock.inTrackedWnd, 1);
  EXPECT_EQ(back.lock.lockedWnd, kReader);
}

TEST(DecideTrackTick, LockOnSendsEvenBeforeTheMaskExists) {
  TrackInput in = ReaderTick();
  in.mask = 0;
  in.maskCreated = false;
  in.lock.lockOn = true;
  in.lock.lockedWnd = kReader;
  in.under = kOther;
  const TrackResult r = DecideTrackTick(Tick(in, 1));
  EXPECT_EQ(r.action, TrackAction::Send);
  EXPECT_EQ(r.lock.inTrackedWnd, 0);
}

TEST(DecideTrackTick, UnreadableRectangleStillRecordsTheWindow) {
  TrackInput in = ReaderTick();
  in.rectKnown = false;
  const TrackResult r = DecideTrackTick(Tick(in, 0));
  EXPECT_EQ(r.action, TrackAction::None);
  EXPECT_EQ(r.lock.lockedWnd, kReader);
  EXPECT_EQ(r.lock.inTrackedWnd, 1);
}

TEST(DecideTrackTick, WindowOffTheOnlyMonitorIsIgnored) {
  const Rect offScreen[] = {
      {2000, 100, 2800, 1000},  // to the right
      {-900, 100, -100, 1000},  // to the left
      {100, 1200, 900, 1900},   // below
      {1920, 100, 2720, 1000},  // touching the right edge only
  };
  for (const Rect& rect : offScreen) {
    TrackInput in = ReaderTick();
    in.rect = rect;
    const TrackResult r = DecideTrackTick(Tick(in, 1));
    EXPECT_EQ(r.action, TrackAction::None) << rect.left << "," << rect.top;
    EXPECT_EQ(r.lock.lockedWnd, kReader);
  }
}

TEST(DecideTrackTick, WindowReachingPastTheScreenIsClipped) {
  TrackInput in = ReaderTick();
  in.rect = {-50, 500, 2000, 1500};
  const TrackResult r = DecideTrackTick(Tick(in, 1));
  EXPECT_EQ(r.action, TrackAction::SetAndSend);
  EXPECT_EQ(r.area, (TargetArea{Rect{0, 500, 1920, 1080}, 96}));
}

namespace {

// The primary, 1280 x 1024, and a second monitor of 1024 x 768, here at
// 144 DPI where the primary has 96.
const Monitor kRightAt144[] = {{{0, 0, 1280, 1024}, 96}, {{1280, 0, 2304, 768}, 144}};
const Monitor kLeftAt144[] = {{{0, 0, 1280, 1024}, 96}, {{-1024, 0, 0, 768}, 144}};

TrackInput TickOver(const Rect& rect, std::span<const Monitor> monitors) {
  TrackInput in = Tick(ReaderTick(), 1);
  in.rect = rect;
  in.monitors = monitors;
  return in;
}

}  // namespace

TEST(DecideTrackTick, AreaIsTheWindowCutToItsMonitorWithThatMonitorsDpi) {
  struct Case { const char* what; std::span<const Monitor> monitors; Rect window; TargetArea expected; };
  const Case cases[] = {
      {"on the right-hand monitor", kRightAt144, {1400, 100, 2200, 700}, {{1400, 100, 2200, 700}, 144}},
      {"reaching past the right-hand monitor", kRightAt144, {1800, -20, 2600, 900}, {{1800, 0, 2304, 768}, 144}},
      {"spanning, mostly right", kRightAt144, {1000, 100, 1800, 700}, {{1280, 100, 1800, 700}, 144}},
      {"spanning, mostly primary", kRightAt144, {800, 100, 1500, 700}, {{800, 100, 1280, 700}, 96}},
      {"on the left-hand monitor", kLeftAt144, {-974, 50, -174, 650}, {{-974, 50, -174, 650}, 144}},
      {"maximised on the left-hand one", kLeftAt144, {-1032, -8, 8, 776}, {{-1024, 0, 0, 768}, 144}},
      {"spanning from the left", kLeftAt144, {-300, 100, 500, 700}, {{0, 100, 500, 700}, 96}},
  };
  for (const auto& c : cases) {
    const TrackResult r = DecideTrackTick(TickOver(c.window, c.monitors));
    EXPECT_EQ(r.action, TrackAction::SetAndSend) << c.what;
    EXPECT_EQ(r.area, c.expected) << c.what;
  }
}

TEST(DecideTrackTick, ShortWindowTestUsesTheBandAsTheWindowsMonitorShowsIt) {
  // Band 200 is 300 physical pixels at 144 DPI and 200 at 96.
  struct Case { const char* what; Rect window; TrackAction expected; };
  const Case cases[] = {
      {"299 tall at 144 DPI", {1400, 100, 2200, 399}, TrackAction::None},
      {"300 tall at 144 DPI", {1400, 100, 2200, 400}, TrackAction::SetAndSend},
      {"200 tall at 96 DPI", {100, 100, 900, 300}, TrackAction::SetAndSend},
      {"199 tall at 96 DPI", {100, 100, 900, 299}, TrackAction::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecideTrackTick(TickOver(c.window, kRightAt144)).action, c.expected) << c.what;
  }
}

TEST(DecideTrackTick, WindowOnNoMonitorChangesNothing) {
  const Rect nowhere[] = {
      {2400, 100, 3200, 700},  // beyond the right-hand monitor
      {1400, 800, 2200, 1000}, // below the shorter right-hand monitor
  };
  for (const Rect& rect : nowhere) {
    const TrackResult r = DecideTrackTick(TickOver(rect, kRightAt144));
    EXPECT_EQ(r.action, TrackAction::None) << rect.left << "," << rect.top;
    EXPECT_EQ(r.lock.lockedWnd, kReader);
  }
}

TEST(DecideTrackTick, LockedWindowIsFollowedOntoAnotherMonitor) {
  TrackInput in = TickOver({100, 100, 900, 900}, kLeftAt144);
  in.lock.lockOn = true;
  in.lock.lockedWnd = kReader;
  EXPECT_EQ(DecideTrackTick(in).area, (TargetArea{{100, 100, 900, 900}, 96}));
  in.rect = {-900, 50, -100, 700};  // dragged onto the left-hand monitor
  const TrackResult moved = DecideTrackTick(in);
  EXPECT_EQ(moved.action, TrackAction::SetAndSend);
  EXPECT_EQ(moved.area, (TargetArea{{-900, 50, -100, 700}, 144}));
}

TEST(DecideTrackTick, AtNinetySixDpiOneMonitorGivesTheScreenClampOfOld) {
  // A single 1920 x 1080 monitor at 96 DPI: the area is the window cut to
  // 0..1920 x 0..1080, exactly as the primary-screen clamp gave.
  struct Case { Rect window; Rect expected; };
  const Case cases[] = {
      {{100, 50, 900, 700}, {100, 50, 900, 700}},
      {{-8, -8, 1928, 1088}, {0, 0, 1920, 1080}},
      {{1500, 900, 2500, 1400}, {1500, 900, 1920, 1080}},
  };
  for (const auto& c : cases) {
    const TrackResult r = DecideTrackTick(TickOver(c.window, kOnePrimary));
    EXPECT_EQ(r.area, (TargetArea{c.expected, 96}));
  }
}

TEST(DecideTrackTick, SwitchedOffTheMaskIsOnlyToldToHide) {
  // Whatever the window (tall, short, on no monitor, unread), a mask that
  // exists and is switched off only gets the message on which it hides.
  const Rect windows[] = {{100, 100, 900, 1000}, {100, 100, 900, 150}, {3000, 100, 3800, 1000}};
  for (const Rect& rect : windows) {
    TrackInput in = Tick(ReaderTick(), 1);
    in.maskOff = true;
    in.rect = rect;
    const TrackResult r = DecideTrackTick(in);
    EXPECT_EQ(r.action, TrackAction::Send) << rect.top << "-" << rect.bottom;
    EXPECT_EQ(r.lock.lockedWnd, kReader);  // the tracked window still follows the pointer
  }
  TrackInput unread = Tick(ReaderTick(), 1);
  unread.maskOff = true;
  unread.rectKnown = false;
  EXPECT_EQ(DecideTrackTick(unread).action, TrackAction::Send);
}

TEST(DecideTrackTick, ListedProgramsAndFullScreenPresentationsHideTheMaskAndAreNeverLocked) {
  const Rect window{100, 100, 900, 1000}, full{0, 0, 1920, 1080};
  // under, listed under it, listed in front, full-screen mode, its rectangle: the action
  const std::tuple<WindowId, bool, bool, bool, Rect, TrackAction> cases[] = {
      {kReader, true, false, false, window, TrackAction::Hide}, {kReader, false, true, false, window, TrackAction::Hide},
      {kMask, false, true, false, window, TrackAction::Hide},   {kMask, true, false, true, full, TrackAction::Send},
      {kReader, false, false, true, full, TrackAction::Hide},   {kReader, false, false, true, window, TrackAction::SetAndSend},
      {kReader, false, false, false, full, TrackAction::SetAndSend}};
  for (const auto& c : cases) {
    for (bool lockOn : {false, true}) {
      TrackInput in = Tick(ReaderTick(), 1);
      std::tie(in.under, in.underListed, in.foregroundListed, in.fullScreenMode, in.rect, std::ignore) = c;
      in.lock = {lockOn, lockOn ? kReader : kOther, 1};
      const TrackResult r = DecideTrackTick(in);
      EXPECT_EQ(r.action, std::get<5>(c)) << &c - cases << ", lock " << lockOn;
      EXPECT_TRUE(r.action != TrackAction::Hide || r.lock.lockedWnd == in.lock.lockedWnd) << "nothing recorded";
    }
  }
}

TEST(TrackTickNeeded, OnlyWhileThereIsSomethingToWatch) {
  EXPECT_TRUE(TrackTickNeeded(false, false, true)) << "before the first tick made the mask, off";
  EXPECT_FALSE(TrackTickNeeded(true, true, true)) << "made, switched off";
  EXPECT_TRUE(TrackTickNeeded(true, true, false)) << "made, switched on (shown, or hidden by lock mode)";
  EXPECT_FALSE(TrackTickNeeded(true, false, false)) << "destroyed by another program";
}
