#include "settings/mask_settings.h"

#include <string>
#include <system_error>

#include "settings/decimal.h"
#include "settings/ini_store.h"

namespace {

constexpr const char* kDefaultMaskHotkey = "CTRL|ALT|O";
constexpr const char* kDefaultLockHotkey = "CTRL|ALT|L";

}  // namespace

void SetSettingsText(char (&slot)[kSettingsTextSize], std::string_view text) {
  const std::size_t length = text.size() < kSettingsTextSize - 1 ? text.size() : kSettingsTextSize - 1;
  std::string_view kept = text.substr(0, length);
  std::size_t i = 0;
  for (; i < kept.size(); ++i) slot[i] = kept[i];
  for (; i < kSettingsTextSize; ++i) slot[i] = '\0';
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& directory) {
  return directory / kSettingsFileName;
}

void MaskSettings::LoadFrom(const std::filesystem::path& file) {
  // A file we cannot read counts as missing: every field takes its default.
  const IniDocument doc = LoadIniFile(file);
  height = ProfileInt(doc, kSettingsSection, "height", 200);
  transparence = ProfileInt(doc, kSettingsSection, "transparence", 200);
  horizontal = ProfileInt(doc, kSettingsSection, "horizontal", 1);
  SetSettingsText(hotkey_mask_open,
                  ProfileString(doc, kSettingsSection, "hotkey_mask_open", kDefaultMaskHotkey, kSettingsTextSize));
  SetSettingsText(hotkey_lock_open,
                  ProfileString(doc, kSettingsSection, "hotkey_lock_open", kDefaultLockHotkey, kSettingsTextSize));
  SetSettingsText(color, ProfileString(doc, kSettingsSection, "color", "0", kSettingsTextSize));
}

bool MaskSettings::SaveTo(const std::filesystem::path& file) const {
  return EditIniFile(file, [this](IniDocument& doc) {
    // The integers go out in this order, not in the order Load reads them,
    // so a new file lists height, horizontal, transparence.
    doc.Set(kSettingsSection, "height", std::to_string(height));
    doc.Set(kSettingsSection, "horizontal", std::to_string(horizontal));
    doc.Set(kSettingsSection, "transparence", std::to_string(transparence));
    doc.Set(kSettingsSection, "hotkey_mask_open", SlotText(hotkey_mask_open, kSettingsTextSize - 1));
    doc.Set(kSettingsSection, "hotkey_lock_open", SlotText(hotkey_lock_open, kSettingsTextSize - 1));
    doc.Set(kSettingsSection, "color", SlotText(color, kSettingsTextSize - 1));
  });
}

int MaskSettings::Load() {
  std::error_code ec;
  const std::filesystem::path directory = std::filesystem::current_path(ec);
  if (ec) {
    LoadFrom({});  // no directory: nothing to read, so the defaults
    return 1;
  }
  LoadFrom(SettingsFilePath(directory));
  return 1;
}

int MaskSettings::Save() const {
  std::error_code ec;
  const std::filesystem::path directory = std::filesystem::current_path(ec);
  if (ec) return 0;
  return SaveTo(SettingsFilePath(directory)) ? 1 : 0;
}

std::uint32_t ElfHash(const char* text) {
  std::uint32_t h = 0;
  for (const char c : SlotText(text, kSettingsTextSize - 1)) {
    // The byte counts as signed: bytes 0x80 to 0xFF add a negative amount.
    h = (h << 4) + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    const std::uint32_t g = h & 0xF0000000u;
    if (g != 0) h ^= g >> 24;
    h &= ~g;
  }
  return h;
}

int MaskSettings::FindDuplicateHotkey() const {
  // The close actions have no hotkey of their own; their fixed names stand
  // in the table so that the indices stay those of the four actions.
  const std::uint32_t table[4] = {ElfHash(hotkey_mask_open), ElfHash("mask_close"), ElfHash(hotkey_lock_open),
                                  ElfHash("lock_close")};
  int result = -1;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      if (j != i && table[j] == table[i]) {
        result = i;
        break;
      }
    }
  }
  return result;
}

std::uint32_t SettingsColor(const MaskSettings& settings) {
  return static_cast<std::uint32_t>(DecimalToLong(SlotText(settings.color, kSettingsTextSize - 1)));
}
