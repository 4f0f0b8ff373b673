#include "settings/hotkey.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

struct SpecCase {
  const char* text;
  std::uint32_t modifiers;
  std::int32_t vk;
};

TEST(HotkeySpecFromText, ReadsModifiersAndKey) {
  const SpecCase cases[] = {
      {"CTRL|ALT|O", 3, 79},
      {"ALT|CTRL|SHIFT|Z", 7, 90},
      {"O", 0, 79},
      {"SHIFT|1", 4, 49},
      {"ctrl|alt|o", 0, 111},  // the words are case-sensitive
      {"CTRL|ALT|", 3, 0},
      {"ALT", 1, 84},  // found as a word, but without its bar it stays as text
      {"CTRL|CTRL|A", 2, 65},
      {"CTRL|ALT|OK", 3, 75},  // only the last character counts
      {"", 0, 0},
      {"SHIFT|", 4, 0},
      {"ALTCTRL|X", 3, 88},
      {"SHIFALT|T|", 1, 124},  // removing ALT| leaves "SHIFT|", which stays
      {"\xC8", 0, -56},  // byte 200 as a signed char
      {"CTRL|\xFF", 2, -1},
  };
  for (const SpecCase& c : cases) {
    const HotkeySpec combo = HotkeySpecFromText(c.text);
    EXPECT_EQ(combo.fsModifiers, c.modifiers) << c.text;
    EXPECT_EQ(combo.vk, c.vk) << c.text;
  }
}

TEST(HotkeySpecFromText, NullTextIsNoHotkey) {
  EXPECT_FALSE(HotkeyHasAlt(nullptr));
  EXPECT_FALSE(HotkeyHasCtrl(nullptr));
  EXPECT_FALSE(HotkeyHasShift(nullptr));
  EXPECT_EQ(HotkeyKeyChar(nullptr), 0);
  const HotkeySpec combo = HotkeySpecFromText(nullptr);
  EXPECT_EQ(combo.fsModifiers, 0u);
  EXPECT_EQ(combo.vk, 0);
}

TEST(HotkeySpecFromText, NeverReadsPastTheSlot) {
  // A damaged slot without its zero: the key comes from the 49th byte and
  // the words beyond the slot are not seen.
  char slot[60];
  std::memset(slot, 'Q', sizeof slot);
  slot[48] = 'K';
  std::memcpy(slot + 50, "SHIFT|", 6);
  const HotkeySpec combo = HotkeySpecFromText(slot);
  EXPECT_EQ(combo.vk, 'K');
  EXPECT_EQ(combo.fsModifiers, 0u);
}

TEST(HotkeySpecFromText, StaysInsideAnUnterminatedHeapSlot) {
  // Exactly 50 bytes and no zero: a sanitizer build reports any read past them.
  const std::unique_ptr<char[]> slot(new char[50]);
  std::memset(slot.get(), 'A', 50);
  std::memcpy(slot.get(), "ALT|", 4);
  const HotkeySpec combo = HotkeySpecFromText(slot.get());
  EXPECT_EQ(combo.fsModifiers, kModAlt);
  EXPECT_EQ(combo.vk, 'A');
}

TEST(HotkeyHasWords, FindsEachWordAnywhere) {
  EXPECT_TRUE(HotkeyHasAlt("xALTx"));
  EXPECT_FALSE(HotkeyHasAlt("Alt|O"));
  EXPECT_TRUE(HotkeyHasCtrl("SHIFT|CTRL|A"));
  EXPECT_FALSE(HotkeyHasCtrl("CTR|L"));
  EXPECT_TRUE(HotkeyHasShift("SHIFT"));
  EXPECT_FALSE(HotkeyHasShift("SHIF|T"));
}

struct BuildCase {
  bool alt, ctrl, shift;
  char key;
  char defaultLetter;
  const char* expected;
};

TEST(BuildHotkeyText, WritesWordsInFixedOrderAndAnUpperCaseLetter) {
  const BuildCase cases[] = {
      {true, true, false, 'o', 'O', "ALT|CTRL|O"},
      {false, false, false, '7', 'L', "L"},
      {false, false, true, '\0', 'O', "SHIFT|O"},
      {true, true, true, 'z', 'O', "ALT|CTRL|SHIFT|Z"},
      {false, true, false, 'Q', 'L', "CTRL|Q"},
      {false, false, false, 'q', 'O', "Q"},
      {true, false, false, '[', 'O', "ALT|O"},  // just after Z in ASCII
      {true, false, false, '`', 'L', "ALT|L"},  // just before a
      {false, false, false, '@', 'L', "L"},     // just before A
      {false, false, false, '{', 'O', "O"},     // just after z
      {false, true, false, static_cast<char>(0xE9), 'O', "CTRL|O"},  // a byte above 127
  };
  for (const BuildCase& c : cases) {
    EXPECT_EQ(BuildHotkeyText(c.alt, c.ctrl, c.shift, c.key, c.defaultLetter), c.expected)
        << "key " << static_cast<int>(c.key);
  }
}

TEST(BuildHotkeyText, ReadsBackAsTheSameHotkey) {
  const HotkeySpec combo = HotkeySpecFromText(BuildHotkeyText(true, false, true, 'm', 'O').c_str());
  EXPECT_EQ(combo.fsModifiers, kModAlt | kModShift);
  EXPECT_EQ(combo.vk, 'M');
}

TEST(HotkeyDisplayName, NamesModifiersInUsualOrder) {
  struct Case {
    HotkeySpec combo;
    const char* expected;
  };
  const Case cases[] = {
      {{3, 'O'}, "Ctrl+Alt+O"},
      {{7, 'Z'}, "Ctrl+Alt+Shift+Z"},
      {{4, '1'}, "Shift+1"},
      {{0, 'Q'}, "Q"},
      {{2, 0}, "Ctrl+0x00"},
      {{1, -56}, "Alt+0xC8"},
      {{0, ' '}, "0x20"},
      {{0, 0x7F}, "0x7F"},
  };
  for (const Case& c : cases) EXPECT_EQ(HotkeyDisplayName(c.combo), c.expected);
}

}  // namespace
