// The text form of a hotkey ("CTRL|ALT|O") and its registration form.
// Texts are read from fixed 50-byte slots and never past them.
#pragma once
#include <cstdint>
#include <string>

constexpr std::uint32_t kModAlt = 1;
constexpr std::uint32_t kModControl = 2;
constexpr std::uint32_t kModShift = 4;

struct HotkeySpec {
  std::uint32_t fsModifiers = 0;
  std::int32_t vk = 0;
  friend bool operator==(const HotkeySpec&, const HotkeySpec&) = default;
};

bool HotkeyHasAlt(const char* text);
bool HotkeyHasCtrl(const char* text);
bool HotkeyHasShift(const char* text);
signed char HotkeyKeyChar(const char* text);
HotkeySpec HotkeySpecFromText(const char* text);

// "ALT|", "CTRL|", "SHIFT|" as chosen, then the upper-case letter of keyChar,
// or defaultLetter when keyChar is not an ASCII letter (0 for an empty box).
std::string BuildHotkeyText(bool alt, bool ctrl, bool shift, char keyChar, char defaultLetter);

// How a user reads the combination, e.g. "Ctrl+Alt+O", for messages.
std::string HotkeyDisplayName(const HotkeySpec& combo);
