// The band arithmetic on records read from arbitrary bytes, under UBSan: a
// hand-edited file may hold any number, and no key, drag or opening may
// overflow on it. Input: bytes 0-1 the area's left edge (negative left of
// the primary), 2-3 its size, 4 the DPI, 5-6 the stored band's start (0: not
// placed), 7-8 the pointer, then the settings file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mask/band_keys.h"
#include "mask/monitors.h"
#include "settings/ini_store.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return 0;
  const auto word = [data](std::size_t at) { return data[at] | data[at + 1] << 8; };
  MaskSettings settings;
  settings.ReadFrom(IniDocument(std::string(reinterpret_cast<const char*>(data) + 9, size - 9)));

  // What the system reports: 16-bit coordinates, from half of 100 % to 1000 %.
  BandKeyInput in{.horizontal = settings.horizontal != 0, .dpi = 48 + 4 * data[4], .thickness = settings.height,
                  .steps = ReadingStepsOf(settings)};
  const int left = word(0) - 32768, extent = word(2), thickness = ScaleToDpi(in.thickness, in.dpi);
  in.area = Rect{left, left, left + extent, left + extent};
  in.band = Band{word(5), word(5) + thickness};
  for (const BandKey key : {BandKey::Next, BandKey::Previous, BandKey::FineNext, BandKey::FinePrevious,
                            BandKey::Thicker, BandKey::Thinner}) {
    in.key = key;
    const BandKeyResult out = ApplyBandKey(in);
    FUZZ_CHECK(std::abs(out.thickness) <= kMaxSettingsLength && out.band.start >= 1);
    FUZZ_CHECK(out.band.end - out.band.start == ScaleToDpi(out.thickness, in.dpi));
  }
  const Band dragged = DragBand(word(7), in.band.start, thickness);
  FUZZ_CHECK(dragged.start >= 1 && dragged.end - dragged.start == thickness);
  HoleRect(in.horizontal, Rect{0, 0, extent, extent}, PlaceBand(in.band, extent, thickness), in.dpi);
  return 0;
}
