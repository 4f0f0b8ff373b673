#include "app/tracker.h"

#include <gtest/gtest.h>

namespace {

constexpr WindowId kMask = 0x1010;
constexpr WindowId kReader = 0x2020;
constexpr WindowId kOther = 0x3030;

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
  in.screenW = 1920;
  in.screenH = 1080;
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
  EXPECT_EQ(r.area, (Rect{100, 100, 900, 1000}));
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
  EXPECT_EQ(r.area, (Rect{0, 1000, 800, 1080}));
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
  EXPECT_EQ(r.area, (Rect{100, 100, 900, 250}));

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
  EXPECT_EQ(back.area, (Rect{100, 100, 900, 1000}));
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

TEST(DecideTrackTick, WindowOffThePrimaryScreenIsIgnored) {
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
  EXPECT_EQ(r.area, (Rect{0, 500, 1920, 1080}));
}
