// The core's functions on the mask's hot paths, natively: what one mouse move,
// one tracking tick, one clock second and one settings load cost in our own
// code, apart from the window system.
#include <benchmark/benchmark.h>

#include <string>

#include "app/tracker.h"
#include "mask/band.h"
#include "mask/clock_text.h"
#include "settings/ini_store.h"
#include "settings/mask_settings.h"

namespace {

const Rect kClient{0, 0, 1920, 1080};

// A pointer walking down the mask, as during a drag, so that neither branch
// of the band placement is predicted for free.
int Pointer(int i) { return (i * 37) % kClient.bottom; }

void BM_HoleRect(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    const int start = Pointer(++i);
    benchmark::DoNotOptimize(HoleRect(i & 1, kClient, {start, start + 200}, 96));
  }
}
BENCHMARK(BM_HoleRect);

void BM_PlaceBand(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    // Every other call has no stored band and centres one.
    const Band stored = (++i & 1) ? Band{} : Band{Pointer(i), Pointer(i) + 200};
    benchmark::DoNotOptimize(PlaceBand(stored, kClient.bottom, 200));
  }
}
BENCHMARK(BM_PlaceBand);

void BM_DragBand(benchmark::State& state) {
  int i = 0, start = 440;
  for (auto _ : state) {
    start = DragBand(Pointer(++i), start, 200).start;
    benchmark::DoNotOptimize(start);
  }
}
BENCHMARK(BM_DragBand);

void BM_DecideTrackTick(benchmark::State& state) {
  // The tick of a reader at rest: lock off, the pointer in the band over a
  // tall window, the mask existing.
  TrackInput in;
  in.under = 0x10010;
  in.mask = 0x20020;
  in.maskCreated = true;
  in.lock.lockedWnd = in.under;
  in.rectKnown = true;
  in.rect = {-8, -8, 1928, 1088};
  in.bandHeight = 200;
  // Two monitors side by side, the reader maximised on the first.
  const Monitor monitors[] = {{{0, 0, 1920, 1080}, 96}, {{1920, 0, 3840, 1080}, 96}};
  in.monitors = monitors;
  for (auto _ : state) {
    const TrackResult r = DecideTrackTick(in);
    in.lock = r.lock;
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_DecideTrackTick);

void BM_ClockText(benchmark::State& state) {
  std::int64_t seconds = 3 * 3600 + 25 * 60;
  for (auto _ : state) benchmark::DoNotOptimize(ClockText(L"%1小时%2分%3秒", ++seconds));
}
BENCHMARK(BM_ClockText);

// softveil.ini as the settings dialog writes it, with a section of another
// program's in front, so the lookups pass something.
const std::string kIni =
    "[other]\r\nwidth=640\r\nname=reader\r\n"
    "[settings]\r\nheight=200\r\nhorizontal=1\r\ntransparence=200\r\n"
    "hotkey_mask_open=CTRL|ALT|O\r\nhotkey_lock_open=CTRL|ALT|L\r\ncolor=8421504\r\n";

void BM_IniLoadSixKeys(benchmark::State& state) {
  const IniDocument doc(kIni);
  MaskSettings s;
  for (auto _ : state) {
    s.ReadFrom(doc);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_IniLoadSixKeys);

void BM_IniParseAndLoadSixKeys(benchmark::State& state) {
  MaskSettings s;
  for (auto _ : state) {
    const IniDocument doc(kIni);
    s.ReadFrom(doc);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_IniParseAndLoadSixKeys);

}  // namespace

BENCHMARK_MAIN();
