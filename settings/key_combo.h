// The readable form of a key combination in the settings file
// ("CTRL|ALT|DOWN"): modifier words and one named key. The reading keys use
// it; the two older hotkeys keep their own form (settings/hotkey.h).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/hotkey.h"

// The platform's virtual-key codes of the keys that have names here.
constexpr std::int32_t kVkSpace = 0x20;
constexpr std::int32_t kVkPageUp = 0x21;
constexpr std::int32_t kVkPageDown = 0x22;
constexpr std::int32_t kVkEnd = 0x23;
constexpr std::int32_t kVkHome = 0x24;
constexpr std::int32_t kVkLeft = 0x25;
constexpr std::int32_t kVkUp = 0x26;
constexpr std::int32_t kVkRight = 0x27;
constexpr std::int32_t kVkDown = 0x28;
constexpr std::int32_t kVkInsert = 0x2D;
constexpr std::int32_t kVkDelete = 0x2E;
constexpr std::int32_t kVkNumpad0 = 0x60;
constexpr std::int32_t kVkF1 = 0x70;
constexpr int kFunctionKeys = 24;  // F1 to F24

// The key's name in the file ("DOWN", "PAGEUP", "F5", "A", "7", "NUM0"), or
// nothing for a key without one.
std::optional<std::string> KeyName(std::int32_t vk);
// The key a name stands for, letter case ignored; a few short forms
// ("PGDN", "DEL") are understood too. Nothing for an unknown name.
std::optional<std::int32_t> KeyFromName(std::string_view name);

// "CTRL|ALT|DOWN" read into modifiers and key: words separated by '|',
// blanks around them and letter case ignored, any of CTRL, ALT and SHIFT and
// exactly one key name. Nothing when the text is not such a combination, so
// the caller can fall back to a default; a result always has a key.
std::optional<HotkeySpec> ParseKeyCombo(std::string_view text);

// The written form, CTRL, ALT and SHIFT in this order and then the key's
// name; nothing when the key has no name (or there is no key).
std::optional<std::string> KeyComboText(const HotkeySpec& combo);

// How a user reads it in a message: "Ctrl+Alt+Down", "Ctrl+Alt+PageUp".
std::string KeyComboDisplayName(const HotkeySpec& combo);

// The standard hotkey control packs a combination into 16 bits: the key in
// the low byte, its own modifier bits in the high byte, in another order
// than the registration's (Shift 1, Ctrl 2, Alt 4), and a bit for the keys
// of the navigation block, without which it shows Down as "Num 2".
constexpr std::uint16_t kHotkeyfShift = 0x01;
constexpr std::uint16_t kHotkeyfControl = 0x02;
constexpr std::uint16_t kHotkeyfAlt = 0x04;
constexpr std::uint16_t kHotkeyfExt = 0x08;

std::uint16_t HotkeyControlValue(const HotkeySpec& combo);
// The control's value as a combination; the key 0 when the control is empty
// or holds modifiers only.
HotkeySpec HotkeySpecFromControl(std::uint16_t value);
