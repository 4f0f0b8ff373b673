#include "settings/key_combo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::uint32_t kCtrlAlt = kModControl | kModAlt;

struct ComboCase {
  const char* text;
  std::uint32_t modifiers;
  std::int32_t vk;
};

TEST(ParseKeyCombo, ReadsModifiersAndOneNamedKey) {
  const ComboCase cases[] = {
      {"CTRL|ALT|DOWN", 3, 0x28},
      {"CTRL|ALT|UP", 3, 0x26},
      {"CTRL|ALT|LEFT", 3, 0x25},
      {"CTRL|ALT|RIGHT", 3, 0x27},
      {"ctrl|alt|down", 3, 0x28},  // letter case does not matter
      {" Ctrl | Alt |\tPageDown ", 3, 0x22},
      {"ALT|PAGEUP", 1, 0x21},
      {"CTRL|HOME", 2, 0x24},
      {"SHIFT|END", 4, 0x23},
      {"CTRL|ALT|SHIFT|F12", 7, 0x7B},
      {"F1", 0, 0x70},
      {"f24", 0, 0x87},
      {"ALT|a", 1, 'A'},
      {"CTRL|7", 2, '7'},
      {"CTRL|NUM0", 2, 0x60},
      {"num9", 0, 0x69},
      {"CTRL|ALT|SPACE", 3, 0x20},
      {"DOWN|CTRL", 2, 0x28},      // the key need not come last
      {"CTRL|CTRL|END", 2, 0x23},  // a modifier twice is still that modifier
      {"PGDN", 0, 0x22},
      {"CTRL|PGUP", 2, 0x21},
      {"ALT|DEL", 1, 0x2E},
      {"ALT|INSERT", 1, 0x2D},
  };
  for (const ComboCase& c : cases) {
    const std::optional<HotkeySpec> combo = ParseKeyCombo(c.text);
    ASSERT_TRUE(combo) << c.text;
    EXPECT_EQ(combo->fsModifiers, c.modifiers) << c.text;
    EXPECT_EQ(combo->vk, c.vk) << c.text;
  }
}

TEST(ParseKeyCombo, RefusesWhatIsNoCombination) {
  const char* const cases[] = {
      "",
      "|",
      "CTRL|ALT",           // no key
      "CTRL|ALT|",          // a trailing bar
      "CTRL||DOWN",         // an empty word
      "|CTRL|DOWN",
      "CTRL|ALT|DOWNN",     // an unknown name
      "CTRL|ALT|DOWN|UP",   // two keys
      "A|B",
      "WIN|DOWN",           // not one of our modifiers
      "CTRL-ALT-DOWN",      // the wrong separator
      "CTRL|ALT|F0",
      "CTRL|ALT|F25",
      "F05",
      "F1X",
      "NUM10",
      "NUM",
      "ab",
      "CTRL|ALT|\xC3\xB6",  // a letter beyond ASCII
      "CTRL|ALT|\x01",
      "CTRL|ALT|-",
  };
  for (const char* text : cases) EXPECT_FALSE(ParseKeyCombo(text)) << text;
}

TEST(KeyComboText, WritesModifiersInOneOrderThenTheName) {
  struct Case {
    HotkeySpec combo;
    const char* text;
  };
  const Case cases[] = {
      {{kCtrlAlt, kVkDown}, "CTRL|ALT|DOWN"},
      {{kModShift | kModAlt | kModControl, 'Z'}, "CTRL|ALT|SHIFT|Z"},
      {{kModAlt | kModShift, kVkPageDown}, "ALT|SHIFT|PAGEDOWN"},
      {{0, 0x7B}, "F12"},
      {{kModControl, 0x60}, "CTRL|NUM0"},
      {{kModAlt, '5'}, "ALT|5"},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyComboText(c.combo), c.text);
}

TEST(KeyComboText, NothingForAKeyWithoutAName) {
  EXPECT_FALSE(KeyComboText({kCtrlAlt, 0}));
  EXPECT_FALSE(KeyComboText({kCtrlAlt, 0xBB}));  // the = key
  EXPECT_FALSE(KeyComboText({kCtrlAlt, 0x6B}));  // the number pad's +
  EXPECT_FALSE(KeyComboText({kCtrlAlt, 0x5B}));  // the Windows key
  EXPECT_EQ(KeyComboText({kCtrlAlt, 'a'}), "CTRL|ALT|NUM1");  // 0x61 is the number pad's 1, not a letter
  EXPECT_FALSE(KeyComboText({kCtrlAlt, -1}));
}

TEST(KeyComboText, EveryNamedKeyReadsBackAsItself) {
  int named = 0;
  for (std::int32_t vk = 0; vk < 256; ++vk) {
    if (!KeyName(vk)) continue;
    ++named;
    for (std::uint32_t modifiers = 0; modifiers <= 7; ++modifiers) {
      const HotkeySpec combo{modifiers, vk};
      const std::optional<std::string> text = KeyComboText(combo);
      ASSERT_TRUE(text) << vk;
      EXPECT_EQ(ParseKeyCombo(*text), combo) << *text;
    }
  }
  // 11 keys by name, 26 letters, 10 digits, 10 on the number pad, F1 to F24.
  EXPECT_EQ(named, 81);
}

TEST(KeyComboDisplayName, AsAUserReadsIt) {
  struct Case {
    HotkeySpec combo;
    const char* name;
  };
  const Case cases[] = {
      {{kCtrlAlt, kVkDown}, "Ctrl+Alt+Down"},
      {{kCtrlAlt | kModShift, kVkUp}, "Ctrl+Alt+Shift+Up"},
      {{kCtrlAlt, kVkPageDown}, "Ctrl+Alt+PageDown"},
      {{kModAlt, kVkHome}, "Alt+Home"},
      {{0, 0x74}, "F5"},
      {{kModControl, 'J'}, "Ctrl+J"},
      {{kModControl, 0x63}, "Ctrl+Num3"},
      {{kModControl, 0xBB}, "Ctrl+0xBB"},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyComboDisplayName(c.combo), c.name);
}

TEST(HotkeyControlValue, PacksTheControlsOwnModifierBits) {
  struct Case {
    HotkeySpec combo;
    std::uint16_t value;
  };
  const Case cases[] = {
      // Ctrl 2 | Alt 4 | the navigation block 8, over VK_DOWN.
      {{kCtrlAlt, kVkDown}, 0x0E28},
      {{kModShift, 'A'}, 0x0141},  // Shift is 1 in the control, 4 when registering
      {{kModAlt, 'A'}, 0x0441},    // and Alt the other way round
      {{kModControl, 'A'}, 0x0241},
      {{kModAlt | kModControl | kModShift, 0x74}, 0x0774},  // F5 is no navigation key
      {{0, kVkPageUp}, 0x0821},
      {{0, kVkDelete}, 0x082E},
      {{0, 0x60}, 0x0060},  // the number pad's 0 is not extended
  };
  for (const Case& c : cases) EXPECT_EQ(HotkeyControlValue(c.combo), c.value) << KeyComboDisplayName(c.combo);
}

TEST(HotkeySpecFromControl, ReadsTheControlsValue) {
  struct Case {
    std::uint16_t value;
    HotkeySpec combo;
  };
  const Case cases[] = {
      {0x0E28, {kCtrlAlt, kVkDown}},
      {0x0628, {kCtrlAlt, kVkDown}},  // Down from the number pad: the same key to register
      {0x0141, {kModShift, 'A'}},
      {0x0441, {kModAlt, 'A'}},
      {0x0774, {kCtrlAlt | kModShift, 0x74}},
      {0x0000, {0, 0}},       // empty
      {0x0600, {kCtrlAlt, 0}},  // modifiers held, no key yet
  };
  for (const Case& c : cases) EXPECT_EQ(HotkeySpecFromControl(c.value), c.combo) << std::hex << c.value;
}

}  // namespace
