#include "settings/guide_style.h"

#include <string>

#include "settings/settings_form.h"
#include "settings/text_slot.h"

namespace {

constexpr std::string_view kNames[] = {"mask", "bar", "underline", "tint"};
static_assert(std::size(kNames) == std::size(kGuideStyles));

// The keys of a style other than the mask, and its defaults.
struct LookKeys {
  int MaskSettings::*color;
  int MaskSettings::*opacity;
  GuideLook byDefault;
};

const LookKeys* KeysOf(GuideStyle style) {
  static constexpr LookKeys kBar{&MaskSettings::bar_color, &MaskSettings::bar_transparence,
                                 {kBarColorDefault, kBarOpacityDefault}};
  static constexpr LookKeys kUnderline{&MaskSettings::underline_color, &MaskSettings::underline_transparence,
                                       {kUnderlineColorDefault, kUnderlineOpacityDefault}};
  static constexpr LookKeys kTint{&MaskSettings::tint_color, &MaskSettings::tint_transparence,
                                  {kTintColorDefault, kTintOpacityDefault}};
  switch (style) {
    case GuideStyle::Mask:
      break;
    case GuideStyle::Bar:
      return &kBar;
    case GuideStyle::Underline:
      return &kUnderline;
    case GuideStyle::Tint:
      return &kTint;
  }
  return nullptr;
}

}  // namespace

std::string_view GuideStyleName(GuideStyle style) { return kNames[static_cast<std::size_t>(style)]; }

GuideStyle GuideStyleOf(const MaskSettings& settings) {
  const std::string_view text = SlotText(settings.style);
  for (GuideStyle style : kGuideStyles) {
    if (text == GuideStyleName(style)) return style;
  }
  return GuideStyle::Mask;
}

void SetGuideStyle(MaskSettings& settings, GuideStyle style) { SetSettingsText(settings.style, GuideStyleName(style)); }

GuideStyle NextGuideStyle(GuideStyle style) {
  return kGuideStyles[(static_cast<std::size_t>(style) + 1) % std::size(kGuideStyles)];
}

GuideLook LookInForce(const MaskSettings& settings, GuideStyle style) {
  const LookKeys* keys = KeysOf(style);
  if (!keys) return {SettingsColor(settings), settings.transparence & 0xFF};
  GuideLook look = keys->byDefault;
  const int color = settings.*keys->color;
  if (color >= 0 && color <= 0xFFFFFF) look.color = static_cast<std::uint32_t>(color);
  const int opacity = settings.*keys->opacity;
  if (opacity >= kTransparencyMin && opacity <= kTransparencyMax) look.opacity = opacity;
  return look;
}

GuideLook LookShown(const MaskSettings& settings, GuideStyle style) {
  if (KeysOf(style)) return LookInForce(settings, style);
  return {SettingsColor(settings), settings.transparence};
}

void SetLook(MaskSettings& settings, GuideStyle style, const GuideLook& look) {
  const LookKeys* keys = KeysOf(style);
  if (!keys) {
    SetSettingsText(settings.color, std::to_string(static_cast<std::int32_t>(look.color)));
    settings.transparence = look.opacity;
    return;
  }
  settings.*keys->color = static_cast<std::int32_t>(look.color);
  settings.*keys->opacity = look.opacity;
}

int UnderlineWidthOf(const MaskSettings& settings) {
  const int width = settings.underline_width;
  return width >= 1 && width <= kUnderlineWidthMax ? width : kUnderlineWidthDefault;
}
