#include "mask/band_keys.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "mask/monitors.h"
#include "settings/guide_style.h"

int StepLength(int thickness, const ReadingSteps& steps) {
  if (steps.step > 0) return steps.step;
  // The last line read stays in view at the top of the next step.
  const int overlap = steps.overlap >= 0 ? steps.overlap : thickness / 8;
  return std::max(thickness - overlap, 1);
}

Band BandInside(int start, int thickness, int extent) {
  // At the end of the area the band stops at its edge; it does not wrap.
  if (start > extent - thickness) start = extent - thickness;
  if (start < 1) start = 1;
  return {start, start + thickness};
}

int ChangedThickness(int thickness, int delta, int largest) {
  // An area smaller than the minimum still allows the minimum, and no area
  // more than the record's height can hold.
  const int most = std::min(std::max(largest, kMinBandThickness), kMaxSettingsLength);
  if (delta > 0) {
    if (thickness >= most) return thickness;
    return std::max(std::min(thickness + delta, most), kMinBandThickness);
  }
  if (thickness <= kMinBandThickness) return thickness;
  return std::min(std::max(thickness + delta, kMinBandThickness), most);
}

BandKeyResult ApplyBandKey(const BandKeyInput& in) {
  const int extent = in.horizontal ? in.area.Height() : in.area.Width();
  BandKeyResult result{in.band, in.thickness};

  int delta = 0;  // signed, in pixels at 96 DPI
  switch (in.key) {
    case BandKey::Next:
      delta = StepLength(in.thickness, in.steps);
      break;
    case BandKey::Previous:
      delta = -StepLength(in.thickness, in.steps);
      break;
    case BandKey::FineNext:
      delta = in.steps.fineStep;
      break;
    case BandKey::FinePrevious:
      delta = -in.steps.fineStep;
      break;
    case BandKey::Thicker:
      result.thickness = ChangedThickness(in.thickness, in.steps.thicknessStep, RescaleLength(extent, in.dpi, kBaseDpi));
      break;
    case BandKey::Thinner:
      result.thickness = ChangedThickness(in.thickness, -in.steps.thicknessStep, RescaleLength(extent, in.dpi, kBaseDpi));
      break;
    case BandKey::Style:
      return result;
  }

  const int thicknessPx = ScaleToDpi(result.thickness, in.dpi);
  // A band not placed yet starts where the mask would first show it.
  const Band from = in.band.start == 0 ? PlaceBand(in.band, extent, thicknessPx) : in.band;
  // A step is at least one physical pixel, whatever the scale.
  int step = 0;
  if (delta != 0) step = std::max(ScaleToDpi(std::abs(delta), in.dpi), 1) * (delta > 0 ? 1 : -1);
  result.band = BandInside(from.start + step, thicknessPx, extent);
  return result;
}

std::vector<ReadingRegistration> ReadingRegistrations(const MaskSettings& settings) {
  const HotkeySpec next = ReadingCombo(settings, ReadingKey::Next);
  const HotkeySpec previous = ReadingCombo(settings, ReadingKey::Previous);
  std::vector<std::pair<BandKey, std::optional<HotkeySpec>>> wanted;
  if (GuideStyleOf(settings) != GuideStyle::Tint) {
    wanted = {
        {BandKey::Next, next},
        {BandKey::Previous, previous},
        {BandKey::FineNext, FineCombo(next)},
        {BandKey::FinePrevious, FineCombo(previous)},
        {BandKey::Thicker, ReadingCombo(settings, ReadingKey::Thicker)},
        {BandKey::Thinner, ReadingCombo(settings, ReadingKey::Thinner)},
    };
  }
  wanted.emplace_back(BandKey::Style, ReadingCombo(settings, ReadingKey::Style));
  std::vector<HotkeySpec> taken = {HotkeySpecFromText(settings.hotkey_mask_open),
                                   HotkeySpecFromText(settings.hotkey_lock_open)};
  std::vector<ReadingRegistration> result;
  for (const auto& [key, combo] : wanted) {
    if (!combo || std::find(taken.begin(), taken.end(), *combo) != taken.end()) continue;
    taken.push_back(*combo);
    result.push_back({key, *combo});
  }
  return result;
}
