// The reading guide's styles: the mask (everything dimmed but the band), a
// bar over the band, an underline under it, or a tint over the whole area;
// the style a record names, and each style's colour and opacity.
#pragma once
#include <cstdint>
#include <string_view>

#include "settings/mask_settings.h"

enum class GuideStyle { Mask, Bar, Underline, Tint };
// In the order the style key cycles them and the drop-down lists them.
inline constexpr GuideStyle kGuideStyles[] = {GuideStyle::Mask, GuideStyle::Bar, GuideStyle::Underline,
                                              GuideStyle::Tint};

// The `style` key's value: "mask", "bar", "underline", "tint".
std::string_view GuideStyleName(GuideStyle style);
// The style the record names; the mask for any other text.
GuideStyle GuideStyleOf(const MaskSettings& settings);
void SetGuideStyle(MaskSettings& settings, GuideStyle style);
// The style after `style` in the cycle, the tint followed by the mask.
GuideStyle NextGuideStyle(GuideStyle style);

struct GuideLook {
  std::uint32_t color = 0;  // COLORREF 0x00BBGGRR
  int opacity = 0;          // alpha, 255 opaque
  friend bool operator==(const GuideLook&, const GuideLook&) = default;
};

// What the guide shows in `style`. The mask as always: its colour text read
// as a number and the low byte of `transparence`. The other styles: their
// own keys, where a colour beyond 0xFFFFFF or an opacity outside the
// settings dialog's 10 to 255 gives the style's default, so a damaged file
// never makes an invisible guide.
GuideLook LookInForce(const MaskSettings& settings, GuideStyle style);
// What the settings dialog shows for `style`: the mask's stored numbers as
// they are (the trackbar clamps), another style's as in force.
GuideLook LookShown(const MaskSettings& settings, GuideStyle style);
// Writes a look confirmed in the settings dialog into `style`'s keys.
void SetLook(MaskSettings& settings, GuideStyle style, const GuideLook& look);

// The underline's thickness in pixels at 96 DPI: `underline_width` from 1
// to 20, else the default.
constexpr int kUnderlineWidthMax = 20;
int UnderlineWidthOf(const MaskSettings& settings);
