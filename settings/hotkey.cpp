#include "settings/hotkey.h"

#include <cstdio>
#include <string_view>

#include "settings/decimal.h"
#include "settings/mask_settings.h"

namespace {

// A descriptor lives in a 50-byte slot that may, after a damaged write, lack
// its terminating zero; the working copy holds at most 49 characters, so
// nothing past the slot is ever read.
std::string_view DescriptorText(const char* text) {
  return SlotText(text, kSettingsTextSize - 1);
}

bool Contains(const char* text, std::string_view word) {
  return text != nullptr && DescriptorText(text).find(word) != std::string_view::npos;
}

void RemoveFirst(std::string& text, std::string_view token) {
  const std::size_t at = text.find(token);
  if (at != std::string::npos) text.erase(at, token.size());
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool HotkeyHasAlt(const char* text) { return Contains(text, "ALT"); }
bool HotkeyHasCtrl(const char* text) { return Contains(text, "CTRL"); }
bool HotkeyHasShift(const char* text) { return Contains(text, "SHIFT"); }

signed char HotkeyKeyChar(const char* text) {
  if (text == nullptr) return 0;
  std::string working(DescriptorText(text));
  // The order counts for contrived texts: in "SHIFALT|T|" taking out "ALT|"
  // leaves a "SHIFT|" that must stay, because SHIFT was looked for first.
  RemoveFirst(working, "SHIFT|");
  RemoveFirst(working, "ALT|");
  RemoveFirst(working, "CTRL|");
  if (working.empty()) return 0;
  return static_cast<signed char>(working.back());
}

HotkeySpec HotkeySpecFromText(const char* text) {
  HotkeySpec spec;
  if (HotkeyHasAlt(text)) spec.fsModifiers |= kModAlt;
  if (HotkeyHasCtrl(text)) spec.fsModifiers |= kModControl;
  if (HotkeyHasShift(text)) spec.fsModifiers |= kModShift;
  spec.vk = HotkeyKeyChar(text);
  return spec;
}

std::string BuildHotkeyText(bool alt, bool ctrl, bool shift, char keyChar, char defaultLetter) {
  std::string text;
  if (alt) text += "ALT|";
  if (ctrl) text += "CTRL|";
  if (shift) text += "SHIFT|";
  if (IsAsciiLetter(keyChar)) {
    text += static_cast<char>(keyChar >= 'a' ? keyChar - 'a' + 'A' : keyChar);
  } else {
    text += defaultLetter;
  }
  return text;
}

std::string HotkeyDisplayName(const HotkeySpec& spec) {
  std::string name;
  if (spec.fsModifiers & kModControl) name += "Ctrl+";
  if (spec.fsModifiers & kModAlt) name += "Alt+";
  if (spec.fsModifiers & kModShift) name += "Shift+";
  if (spec.vk > ' ' && spec.vk < 127) {
    name += static_cast<char>(spec.vk);
  } else {
    // A key character from a byte above 127 arrives sign-extended; show the
    // byte the user typed rather than a 32-bit negative number.
    const std::uint32_t code =
        spec.vk < 0 && spec.vk >= -128 ? static_cast<std::uint32_t>(spec.vk + 256) : static_cast<std::uint32_t>(spec.vk);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%02X", code);
    name += hex;
  }
  return name;
}
