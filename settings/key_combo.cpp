#include "settings/key_combo.h"

#include <cstdio>

#include "settings/ascii_text.h"

namespace {

struct NamedKey {
  std::string_view name;     // as written in the file
  std::string_view display;  // as a user reads it
  std::int32_t vk;
};

// The keys with a name of their own; letters, digits, the number pad and
// the function keys are made up from their number below.
constexpr NamedKey kNamedKeys[] = {
    {"UP", "Up", kVkUp},
    {"DOWN", "Down", kVkDown},
    {"LEFT", "Left", kVkLeft},
    {"RIGHT", "Right", kVkRight},
    {"PAGEUP", "PageUp", kVkPageUp},
    {"PAGEDOWN", "PageDown", kVkPageDown},
    {"HOME", "Home", kVkHome},
    {"END", "End", kVkEnd},
    {"INSERT", "Insert", kVkInsert},
    {"DELETE", "Delete", kVkDelete},
    {"SPACE", "Space", kVkSpace},
};

// Other spellings a hand-written file may use.
constexpr NamedKey kShortForms[] = {
    {"PGUP", "", kVkPageUp}, {"PGDN", "", kVkPageDown}, {"INS", "", kVkInsert}, {"DEL", "", kVkDelete},
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// "17" as 17 when it is one or two plain digits, else nothing.
std::optional<int> SmallNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<std::uint32_t> ModifierOf(std::string_view word) {
  if (SameAsciiText(word, "CTRL")) return kModControl;
  if (SameAsciiText(word, "ALT")) return kModAlt;
  if (SameAsciiText(word, "SHIFT")) return kModShift;
  return std::nullopt;
}

bool IsNavigationKey(std::int32_t vk) { return (vk >= kVkPageUp && vk <= kVkDown) || vk == kVkInsert || vk == kVkDelete; }

}  // namespace

std::optional<std::string> KeyName(std::int32_t vk) {
  for (const NamedKey& key : kNamedKeys) {
    if (key.vk == vk) return std::string(key.name);
  }
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
  if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9) return "NUM" + std::to_string(vk - kVkNumpad0);
  if (vk >= kVkF1 && vk < kVkF1 + kFunctionKeys) return "F" + std::to_string(vk - kVkF1 + 1);
  return std::nullopt;
}

std::optional<std::int32_t> KeyFromName(std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (const NamedKey& key : kNamedKeys) {
    if (SameAsciiText(name, key.name)) return key.vk;
  }
  for (const NamedKey& key : kShortForms) {
    if (SameAsciiText(name, key.name)) return key.vk;
  }
  if (name.size() == 1) {
    const char c = Upper(name[0]);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return std::nullopt;
  }
  // F1 to F24; "F0", "F25" and "F05" name nothing.
  if (Upper(name[0]) == 'F' && name[1] != '0') {
    if (const std::optional<int> n = SmallNumber(name.substr(1)); n && *n >= 1 && *n <= kFunctionKeys) {
      return kVkF1 + *n - 1;
    }
    return std::nullopt;
  }
  if (name.size() == 4 && SameAsciiText(name.substr(0, 3), "NUM") && name[3] >= '0' && name[3] <= '9') {
    return kVkNumpad0 + (name[3] - '0');
  }
  return std::nullopt;
}

std::optional<HotkeySpec> ParseKeyCombo(std::string_view text) {
  HotkeySpec combo;
  bool haveKey = false;
  std::size_t from = 0;
  for (;;) {
    const std::size_t bar = text.find('|', from);
    const std::string_view word = TrimBlanks(text.substr(from, bar == std::string_view::npos ? text.npos : bar - from));
    // An empty word ("CTRL||DOWN", a trailing bar) is a damaged text, not
    // a combination with a piece left out.
    if (word.empty()) return std::nullopt;
    if (const std::optional<std::uint32_t> modifier = ModifierOf(word)) {
      combo.fsModifiers |= *modifier;
    } else if (const std::optional<std::int32_t> vk = KeyFromName(word); vk && !haveKey) {
      combo.vk = *vk;
      haveKey = true;
    } else {
      return std::nullopt;  // an unknown word, or a second key
    }
    if (bar == std::string_view::npos) break;
    from = bar + 1;
  }
  if (!haveKey) return std::nullopt;
  return combo;
}

std::optional<std::string> KeyComboText(const HotkeySpec& combo) {
  const std::optional<std::string> key = KeyName(combo.vk);
  if (!key) return std::nullopt;
  std::string text;
  if (combo.fsModifiers & kModControl) text += "CTRL|";
  if (combo.fsModifiers & kModAlt) text += "ALT|";
  if (combo.fsModifiers & kModShift) text += "SHIFT|";
  return text + *key;
}

std::string KeyComboDisplayName(const HotkeySpec& combo) {
  std::string name;
  if (combo.fsModifiers & kModControl) name += "Ctrl+";
  if (combo.fsModifiers & kModAlt) name += "Alt+";
  if (combo.fsModifiers & kModShift) name += "Shift+";
  for (const NamedKey& key : kNamedKeys) {
    if (key.vk == combo.vk) return name + std::string(key.display);
  }
  if (combo.vk >= kVkNumpad0 && combo.vk <= kVkNumpad0 + 9) return name + "Num" + std::to_string(combo.vk - kVkNumpad0);
  if (const std::optional<std::string> key = KeyName(combo.vk)) return name + *key;
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(combo.vk));
  return name + hex;
}

std::uint16_t HotkeyControlValue(const HotkeySpec& combo) {
  std::uint16_t flags = 0;
  if (combo.fsModifiers & kModShift) flags |= kHotkeyfShift;
  if (combo.fsModifiers & kModControl) flags |= kHotkeyfControl;
  if (combo.fsModifiers & kModAlt) flags |= kHotkeyfAlt;
  if (IsNavigationKey(combo.vk)) flags |= kHotkeyfExt;
  return static_cast<std::uint16_t>((flags << 8) | (static_cast<std::uint32_t>(combo.vk) & 0xFF));
}

HotkeySpec HotkeySpecFromControl(std::uint16_t value) {
  const std::uint16_t flags = value >> 8;
  HotkeySpec combo;
  if (flags & kHotkeyfShift) combo.fsModifiers |= kModShift;
  if (flags & kHotkeyfControl) combo.fsModifiers |= kModControl;
  if (flags & kHotkeyfAlt) combo.fsModifiers |= kModAlt;
  // The extended-key bit only says where on the keyboard the key sits; the
  // registration takes the key alone and fires for both places.
  combo.vk = value & 0xFF;
  return combo;
}
