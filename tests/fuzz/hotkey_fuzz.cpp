// The hotkey descriptor functions on arbitrary 50-byte slots, which need not
// hold a terminating zero, and the builder on arbitrary choices; the
// readable combinations of the reading keys ("CTRL|ALT|DOWN") on the same
// bytes, and the reading keys a record with such slots gives.
//
// Input: byte 0 = the builder's ticks (bit 0 Alt, 1 Ctrl, 2 Shift), byte 1 =
// its key character, byte 2 = its default letter, then up to 50 bytes of the
// mask hotkey's slot and up to 50 of the lock hotkey's (zero-filled when the
// input ends early). The last 8 bytes also give a free-form HotkeySpec. The
// mask slot's bytes, zeros and all, are also read as a combination, and the
// two slots become the next and thinner reading keys of a record whose
// orientation is bit 3 of byte 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <optional>
#include <vector>

#include "mask/band_keys.h"
#include "settings/hotkey.h"
#include "settings/key_combo.h"
#include "settings/mask_settings.h"
#include "settings/reading_keys.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr std::size_t kSlot = kSettingsTextSize;

// A slot on the heap of exactly 50 bytes, so ASan reports a read past it.
struct HeapSlot {
  char* bytes = static_cast<char*>(std::malloc(kSlot));
  HeapSlot(const std::uint8_t* data, std::size_t size) {
    std::memset(bytes, 0, kSlot);
    std::memcpy(bytes, data, size < kSlot ? size : kSlot);
  }
  ~HeapSlot() { std::free(bytes); }
  HeapSlot(const HeapSlot&) = delete;
  HeapSlot& operator=(const HeapSlot&) = delete;
};

// The descriptor as a zero-terminated text: what a record's slot holds.
std::string Terminated(const char* slot) {
  std::size_t length = 0;
  while (length < kSlot - 1 && slot[length] != '\0') ++length;
  return std::string(slot, length);
}

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

void CheckReaders(const char* slot) {
  const std::string text = Terminated(slot);
  const HotkeySpec combo = HotkeySpecFromText(slot);
  FUZZ_CHECK((combo.fsModifiers & ~(kModAlt | kModControl | kModShift)) == 0);
  FUZZ_CHECK(((combo.fsModifiers & kModAlt) != 0) == HotkeyHasAlt(slot));
  FUZZ_CHECK(((combo.fsModifiers & kModControl) != 0) == HotkeyHasCtrl(slot));
  FUZZ_CHECK(((combo.fsModifiers & kModShift) != 0) == HotkeyHasShift(slot));
  FUZZ_CHECK(combo.vk >= -128 && combo.vk <= 127);

  const signed char key = HotkeyKeyChar(slot);
  FUZZ_CHECK(combo.vk == key);
  // Every removed token ends in a bar, so a last character other than a bar
  // is never removed and is the key; any key comes from the text.
  if (!text.empty() && text.back() != '|') FUZZ_CHECK(key == static_cast<signed char>(text.back()));
  if (text.empty()) FUZZ_CHECK(key == 0);
  if (key != 0) FUZZ_CHECK(text.find(static_cast<char>(key)) != std::string::npos);

  // A slot read as a whole and its text in a fresh terminated buffer agree.
  FUZZ_CHECK(ElfHash(slot) == ElfHash(text.c_str()));
}

void CheckDisplayName(const HotkeySpec& combo) {
  const std::string name = HotkeyDisplayName(combo);
  FUZZ_CHECK(!name.empty() && name.size() <= 25);  // "Ctrl+Alt+Shift+0xFFFFFFFF"
  for (const char c : name) FUZZ_CHECK(c >= ' ' && c < 127);
}

void CheckBuilder(std::uint8_t ticks, char keyChar, char defaultLetter) {
  const bool alt = ticks & 1, ctrl = ticks & 2, shift = ticks & 4;
  const std::string built = BuildHotkeyText(alt, ctrl, shift, keyChar, defaultLetter);
  FUZZ_CHECK(built.size() <= 16);

  // The written form: the chosen tokens in the order ALT, CTRL, SHIFT, then
  // the key's upper-case letter or the default letter.
  const std::string prefix = std::string(alt ? "ALT|" : "") + (ctrl ? "CTRL|" : "") + (shift ? "SHIFT|" : "");
  FUZZ_CHECK(built.size() == prefix.size() + 1 && built.compare(0, prefix.size(), prefix) == 0);
  const char upper = keyChar >= 'a' && keyChar <= 'z' ? static_cast<char>(keyChar - 32) : keyChar;
  FUZZ_CHECK(built.back() == (IsUpperLetter(upper) ? upper : defaultLetter));

  // With a letter at the end the text reads back as exactly what was ticked.
  if (!IsUpperLetter(built.back())) return;
  const HeapSlot slot(reinterpret_cast<const std::uint8_t*>(built.data()), built.size());
  CheckReaders(slot.bytes);
  const HotkeySpec combo = HotkeySpecFromText(slot.bytes);
  FUZZ_CHECK(combo.fsModifiers == ((alt ? kModAlt : 0) | (ctrl ? kModControl : 0) | (shift ? kModShift : 0)));
  FUZZ_CHECK(combo.vk == built.back());
}

// The duplicate check worked out from its table: entry 3 ("lock_close")
// has a partner when either descriptor hashes like it; otherwise entry 2
// (the lock hotkey) when it meets the mask hotkey or "mask_close"; otherwise
// entry 1 when the mask hotkey hashes like "mask_close".
int ExpectedDuplicate(std::uint32_t mask, std::uint32_t lock) {
  const std::uint32_t maskClose = ElfHash("mask_close");
  const std::uint32_t lockClose = ElfHash("lock_close");
  if (mask == lockClose || lock == lockClose) return 3;
  if (lock == mask || lock == maskClose) return 2;
  if (mask == maskClose) return 1;
  return -1;
}

void CheckDuplicates(const char* maskSlot, const char* lockSlot) {
  MaskSettings settings;
  SetSettingsText(settings.hotkey_mask_open, Terminated(maskSlot));
  SetSettingsText(settings.hotkey_lock_open, Terminated(lockSlot));
  const int found = settings.FindDuplicateHotkey();
  FUZZ_CHECK(found == ExpectedDuplicate(ElfHash(maskSlot), ElfHash(lockSlot)));
  if (Terminated(maskSlot) == Terminated(lockSlot)) FUZZ_CHECK(found >= 2);
}

// A combination read from any text has a key and only our modifiers, is
// written back under a name that reads as itself, and survives the hotkey
// control's packing.
void CheckKeyCombo(std::string_view text) {
  const std::optional<HotkeySpec> combo = ParseKeyCombo(text);
  if (!combo) return;
  FUZZ_CHECK(combo->vk > 0 && combo->vk < 256);
  FUZZ_CHECK((combo->fsModifiers & ~(kModAlt | kModControl | kModShift)) == 0);
  const std::optional<std::string> written = KeyComboText(*combo);
  FUZZ_CHECK(written.has_value());
  FUZZ_CHECK(ParseKeyCombo(*written) == combo);
  FUZZ_CHECK(HotkeySpecFromControl(HotkeyControlValue(*combo)) == *combo);
  for (const char c : KeyComboDisplayName(*combo)) FUZZ_CHECK(c > ' ' && c < 127);
}

// Whatever the slots hold, every reading key has a usable combination (never
// the key 0), and what the mask registers holds no combination twice nor
// one of the two older hotkeys.
void CheckReadingKeys(const char* nextSlot, const char* thinnerSlot, bool horizontal) {
  MaskSettings settings = DefaultSettings();
  settings.horizontal = horizontal ? 1 : 0;
  SetSettingsText(settings.hotkey_next, Terminated(nextSlot));
  SetSettingsText(settings.hotkey_thinner, Terminated(thinnerSlot));
  for (const ReadingKey key : kReadingKeys) {
    const HotkeySpec combo = ReadingCombo(settings, key);
    FUZZ_CHECK(combo.vk != 0);
    FUZZ_CHECK(KeyComboText(combo).has_value());
  }
  const std::vector<ReadingRegistration> held = ReadingRegistrations(settings);
  std::vector<HotkeySpec> seen = {HotkeySpecFromText(settings.hotkey_mask_open),
                                  HotkeySpecFromText(settings.hotkey_lock_open)};
  for (const ReadingRegistration& r : held) {
    for (const HotkeySpec& other : seen) FUZZ_CHECK(!(other == r.combo));
    seen.push_back(r.combo);
  }
  // With no combination shared, every key and both fine steps where Shift
  // is free are held.
  if (!FindSharedCombination(settings)) {
    std::size_t wanted = std::size(kReadingKeys);
    if (FineCombo(ReadingCombo(settings, ReadingKey::Next))) ++wanted;
    if (FineCombo(ReadingCombo(settings, ReadingKey::Previous))) ++wanted;
    FUZZ_CHECK(held.size() == wanted);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t head[3] = {0, 0, 0};
  for (std::size_t i = 0; i < 3 && i < size; ++i) head[i] = data[i];
  const std::size_t rest = size > 3 ? size - 3 : 0;
  const std::uint8_t* slots = data + (size > 3 ? 3 : size);

  const HeapSlot mask(slots, rest);
  const HeapSlot lock(slots + (rest > kSlot ? kSlot : rest), rest > kSlot ? rest - kSlot : 0);
  CheckReaders(mask.bytes);
  CheckReaders(lock.bytes);
  CheckDuplicates(mask.bytes, lock.bytes);
  CheckDisplayName(HotkeySpecFromText(mask.bytes));

  HotkeySpec anySpec;
  if (size >= 8) {
    std::memcpy(&anySpec.fsModifiers, data + size - 8, 4);
    std::memcpy(&anySpec.vk, data + size - 4, 4);
  }
  CheckDisplayName(anySpec);

  CheckBuilder(head[0], static_cast<char>(head[1]), static_cast<char>(head[2]));

  CheckKeyCombo(std::string_view(mask.bytes, kSlot));
  CheckKeyCombo(Terminated(lock.bytes));
  CheckReadingKeys(mask.bytes, lock.bytes, (head[0] & 8) != 0);
  return 0;
}
