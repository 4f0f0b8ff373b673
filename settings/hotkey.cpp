#include "settings/hotkey.h"

#include <cstdio>
#include <string_view>

#include "settings/text_slot.h"

namespace {

// A descriptor lives in a 50-byte slot that may, after a damaged write, lack
// its terminating zero; the working copy holds at most 49 characters, so
// nothing past the slot is ever read.
std::string_view DescriptorText(const char* text) {
  return SlotText(text);
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
  HotkeySpec combo;
  if (HotkeyHasAlt(text)) combo.fsModifiers |= kModAlt;
  if (HotkeyHasCtrl(text)) combo.fsModifiers |= kModControl;
  if (HotkeyHasShift(text)) combo.fsModifiers |= kModShift;
  combo.vk = HotkeyKeyChar(text);
  return combo;
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

std::string HotkeyDisplayName(const HotkeySpec& combo) {
  std::string name;
  if (combo.fsModifiers & kModControl) name += "Ctrl+";
  if (combo.fsModifiers & kModAlt) name += "Alt+";
  if (combo.fsModifiers & kModShift) name += "Shift+";
  if (combo.vk > ' ' && combo.vk < 127) {
    name += static_cast<char>(combo.vk);
  } else {
    // A key character from a byte above 127 arrives sign-extended; show the
    // byte the user typed rather than a 32-bit negative number.
    const std::uint32_t code =
        combo.vk < 0 && combo.vk >= -128 ? static_cast<std::uint32_t>(combo.vk + 256) : static_cast<std::uint32_t>(combo.vk);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%02X", code);
    name += hex;
  }
  return name;
}
