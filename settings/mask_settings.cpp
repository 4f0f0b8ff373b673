#include "settings/mask_settings.h"

#include <algorithm>
#include <optional>
#include <string>

#include "settings/decimal.h"
#include "settings/file_system.h"
#include "settings/follow.h"
#include "settings/ini_store.h"
#include "settings/language.h"

namespace {

constexpr SettingsKey IntKey(std::string_view name, int MaskSettings::*field, int byDefault) {
  return {name, field, nullptr, byDefault, {}, false};
}

constexpr SettingsKey TextKey(std::string_view name, char (MaskSettings::*field)[kSettingsTextSize],
                              std::string_view byDefault) {
  return {name, nullptr, field, 0, byDefault, false};
}

constexpr SettingsKey ListKey(std::string_view name, std::string MaskSettings::*field) {
  return {name, nullptr, nullptr, 0, {}, false, field};
}

// A key added after the first six (see SettingsKey::optional).
constexpr SettingsKey Optional(SettingsKey key) {
  key.optional = true;
  return key;
}

// A new file lists the integers as height, horizontal, transparence; the
// order of reading does not matter, so both follow this one table.
constexpr SettingsKey kKeys[] = {
    IntKey("height", &MaskSettings::height, 200),
    IntKey("horizontal", &MaskSettings::horizontal, 1),
    IntKey("transparence", &MaskSettings::transparence, 200),
    TextKey("hotkey_mask_open", &MaskSettings::hotkey_mask_open, "CTRL|ALT|O"),
    TextKey("hotkey_lock_open", &MaskSettings::hotkey_lock_open, "CTRL|ALT|L"),
    TextKey("color", &MaskSettings::color, "0"),
    Optional(TextKey("hotkey_next", &MaskSettings::hotkey_next, "")),
    Optional(TextKey("hotkey_previous", &MaskSettings::hotkey_previous, "")),
    Optional(TextKey("hotkey_thicker", &MaskSettings::hotkey_thicker, "")),
    Optional(TextKey("hotkey_thinner", &MaskSettings::hotkey_thinner, "")),
    Optional(IntKey("step", &MaskSettings::step, 0)),
    Optional(IntKey("fine_step", &MaskSettings::fine_step, 20)),
    Optional(IntKey("overlap", &MaskSettings::overlap, -1)),
    Optional(IntKey("thickness_step", &MaskSettings::thickness_step, 10)),
    Optional(TextKey("language", &MaskSettings::language, kLanguageAuto)),
    Optional(TextKey("style", &MaskSettings::style, "mask")),
    Optional(TextKey("hotkey_style", &MaskSettings::hotkey_style, "")),
    Optional(IntKey("underline_width", &MaskSettings::underline_width, kUnderlineWidthDefault)),
    Optional(IntKey("bar_color", &MaskSettings::bar_color, kBarColorDefault)),
    Optional(IntKey("bar_transparence", &MaskSettings::bar_transparence, kBarOpacityDefault)),
    Optional(IntKey("underline_color", &MaskSettings::underline_color, kUnderlineColorDefault)),
    Optional(IntKey("underline_transparence", &MaskSettings::underline_transparence, kUnderlineOpacityDefault)),
    Optional(IntKey("tint_color", &MaskSettings::tint_color, kTintColorDefault)),
    Optional(IntKey("tint_transparence", &MaskSettings::tint_transparence, kTintOpacityDefault)),
    Optional(TextKey("follow", &MaskSettings::follow, kFollowDrag)),
    Optional(IntKey("pointer_offset", &MaskSettings::pointer_offset, -1)),
    Optional(ListKey("exclude", &MaskSettings::exclude)),
};

// The value a key writes for `settings`.
std::string ValueText(const SettingsKey& key, const MaskSettings& settings) {
  if (key.intField) return std::to_string(settings.*key.intField);
  if (key.listField) return settings.*key.listField;
  return std::string(SlotText(settings.*key.textField));
}

}  // namespace

std::span<const SettingsKey> SettingsKeys() { return kKeys; }

int UsableBandHeight(int height) { return std::clamp(height, -kMaxSettingsLength, kMaxSettingsLength); }

MaskSettings DefaultSettings() {
  MaskSettings settings;
  settings.ReadFrom(IniDocument());
  return settings;
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& directory) {
  return directory / PathFromAscii(kSettingsFileName);
}

void MaskSettings::ReadFrom(const IniDocument& doc) {
  for (const SettingsKey& key : kKeys) {
    if (key.intField && key.optional) {
      const std::optional<std::string_view> text = doc.Get(kSettingsSection, key.name);
      this->*key.intField = text ? PlainDecimal(*text).value_or(key.intDefault) : key.intDefault;
    } else if (key.intField) {
      this->*key.intField = ProfileInt(doc, kSettingsSection, key.name, key.intDefault);
    } else if (key.listField) {
      this->*key.listField = ProfileString(doc, kSettingsSection, key.name, key.textDefault, kSettingsListSize);
    } else {
      SetSettingsText(this->*key.textField,
                      ProfileString(doc, kSettingsSection, key.name, key.textDefault, kSettingsTextSize));
    }
  }
  height = UsableBandHeight(height);
}

namespace {

bool IsDefault(const SettingsKey& key, const MaskSettings& settings) {
  if (key.intField) return settings.*key.intField == key.intDefault;
  if (key.listField) return settings.*key.listField == key.textDefault;
  return SlotText(settings.*key.textField) == key.textDefault;
}

void WriteKeys(const MaskSettings& settings, IniDocument& doc) {
  for (const SettingsKey& key : kKeys) {
    // A later key at its default stays out of a file that lacks it.
    if (key.optional && IsDefault(key, settings) && !doc.Get(kSettingsSection, key.name)) continue;
    const std::string value = ValueText(key, settings);
    // Blanks at the end of a text (a long value cut after a blank) are never
    // read back; written, they would make a save differ from the next.
    doc.Set(kSettingsSection, key.name, ValueAsRead(value));
  }
}

}  // namespace

void MaskSettings::WriteTo(IniDocument& doc) const {
  // In a text that reads differently once written, the first change can
  // bring to light a line that no query found before ("HEIGHT \0") ahead of
  // the value just written. A second pass writes to that line, so a save
  // always loads back.
  const bool twice = !doc.ReadsAsWritten();
  WriteKeys(*this, doc);
  if (twice) WriteKeys(*this, doc);
}

void MaskSettings::LoadFrom(const std::filesystem::path& file) {
  // A file we cannot read counts as missing: every field takes its default.
  ReadFrom(LoadIniFile(file));
}

namespace {

// A drive letter that names no drive yet: a network drive before it is
// connected at sign-in, a stick not plugged in.
bool OnAbsentDrive(const std::filesystem::path& file) {
  const auto drive = file.root_name().native();
  return drive.size() == 2 && drive[1] == ':' && KindOf(file.root_path()) != FileKind::Directory;
}

}  // namespace

std::optional<MaskSettings> ReadSettingsFile(const std::filesystem::path& file) {
  MaskSettings settings = DefaultSettings();
  if (file.empty()) return settings;  // no working directory: nothing to read
  const FileKind kind = KindOf(file);
  if (kind == FileKind::Unknown || (kind == FileKind::Missing && OnAbsentDrive(file))) return std::nullopt;
  if (kind == FileKind::Missing || kind == FileKind::Directory) return settings;
  const std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return std::nullopt;
  settings.ReadFrom(IniDocument(*bytes));
  return settings;
}

bool MaskSettings::SaveTo(const std::filesystem::path& file) const {
  return EditIniFile(file, [this](IniDocument& doc) { WriteTo(doc); });
}

namespace {

// Named on the command line, or empty: softveil.ini in the working directory.
std::filesystem::path& NamedSettingsFile() {
  static std::filesystem::path file;
  return file;
}

}  // namespace

void UseSettingsFile(std::filesystem::path file) { NamedSettingsFile() = std::move(file); }

std::filesystem::path SettingsFileInUse() {
  if (!NamedSettingsFile().empty()) return NamedSettingsFile();
  // Found afresh at each call: the file follows the working directory.
  const std::filesystem::path directory = WorkingDirectory();
  return directory.empty() ? std::filesystem::path() : SettingsFilePath(directory);
}

int MaskSettings::Load() {
  LoadFrom(SettingsFileInUse());  // no file to name: nothing to read, so the defaults
  return 1;
}

int MaskSettings::Save() const {
  const std::filesystem::path file = SettingsFileInUse();
  return !file.empty() && SaveTo(file) ? 1 : 0;
}

std::uint32_t ElfHash(const char* text) {
  std::uint32_t h = 0;
  for (const char c : SlotText(text)) {
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
  return static_cast<std::uint32_t>(DecimalToLong(SlotText(settings.color)));
}
