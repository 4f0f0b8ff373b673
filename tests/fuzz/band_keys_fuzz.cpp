// The band arithmetic on records read from arbitrary bytes, under UBSan: a
// hand-edited file may hold any number, and no key press, drag or opening
// may overflow on it.
//
// Input: bytes 0-1 = the area's left edge (a monitor left of the primary is
// negative), 2-3 = its size, 4 = the DPI, 5-6 = the stored band's start
// (0: not placed yet), 7-8 = the pointer; the rest is the settings file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mask/band_keys.h"
#include "mask/monitors.h"
#include "settings/ini_store.h"
#include "settings/mask_settings.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr std::size_t kGeometryBytes = 9;

int Word(const std::uint8_t* data, std::size_t at) { return data[at] | data[at + 1] << 8; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kGeometryBytes) return 0;
  MaskSettings settings;
  settings.ReadFrom(IniDocument(std::string(reinterpret_cast<const char*>(data) + kGeometryBytes,
                                            size - kGeometryBytes)));
  FUZZ_CHECK(std::abs(settings.height) <= kMaxSettingsLength);

  // What the system can report: coordinates and sizes within 16 bits, and
  // a DPI from half of 100 % to beyond 500 %.
  BandKeyInput in;
  in.horizontal = settings.horizontal != 0;
  const int left = Word(data, 0) - 32768;
  const int extent = Word(data, 2);
  in.area = Rect{left, left, left + extent, left + extent};
  in.dpi = 48 + 4 * data[4];
  in.thickness = settings.height;
  in.steps = ReadingStepsOf(settings);
  const int thicknessPx = ScaleToDpi(in.thickness, in.dpi);
  in.band = Band{Word(data, 5), Word(data, 5) + thicknessPx};

  for (const BandKey key : {BandKey::Next, BandKey::Previous, BandKey::FineNext, BandKey::FinePrevious,
                            BandKey::Thicker, BandKey::Thinner}) {
    in.key = key;
    const BandKeyResult out = ApplyBandKey(in);
    FUZZ_CHECK(std::abs(out.thickness) <= kMaxSettingsLength);
    FUZZ_CHECK(out.band.start >= 1);
    FUZZ_CHECK(out.band.end - out.band.start == ScaleToDpi(out.thickness, in.dpi));
  }
  const Band dragged = DragBand(Word(data, 7), in.band.start, thicknessPx);
  FUZZ_CHECK(dragged.start >= 1 && dragged.end - dragged.start == thicknessPx);
  HoleRect(in.horizontal, Rect{0, 0, extent, extent}, PlaceBand(in.band, extent, thicknessPx), in.dpi);
  return 0;
}
