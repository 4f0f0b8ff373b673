// The one settings record and its INI file.
#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "settings/text_slot.h"

class IniDocument;

constexpr const char* kSettingsFileName = "softveil.ini";
constexpr const char* kSettingsSection = "settings";

// The largest length a setting takes, in pixels at 96 DPI (the band's
// height, the reading keys' steps): wider than any screen, and small enough
// that sums and DPI-scaled lengths stay far inside an int.
constexpr int kMaxSettingsLength = 10000;

// A band height brought within kMaxSettingsLength either way. Load and the
// settings dialog keep the record's height in that range, so a hand-edited
// 2147483647 cannot overflow the band arithmetic; a height in range is kept
// as it is (0 and less: a band with no opening), and the file keeps its
// text until a save, which then writes the height in use.
int UsableBandHeight(int height);

struct MaskSettings {
  int height = 0;        // band thickness in pixels, within kMaxSettingsLength either way
  int transparence = 0;  // mask alpha; the mask uses the low 8 bits
  int horizontal = 0;    // non-zero: horizontal band
  char hotkey_mask_open[kSettingsTextSize] = {};
  char hotkey_lock_open[kSettingsTextSize] = {};
  char color[kSettingsTextSize] = {};  // decimal text of a COLORREF 0x00BBGGRR
  // "auto", "zh-CN" or "en" (settings/language.h). "auto" from the start, so
  // that a record saved without ever being loaded adds no language key.
  char language[kSettingsTextSize] = "auto";

  // The reading keys (settings/reading_keys.h) as the file writes them
  // ("CTRL|ALT|DOWN"); empty: the default, which for next and previous
  // follows the band's orientation.
  char hotkey_next[kSettingsTextSize] = {};
  char hotkey_previous[kSettingsTextSize] = {};
  char hotkey_thicker[kSettingsTextSize] = {};
  char hotkey_thinner[kSettingsTextSize] = {};
  // Their lengths, in pixels at 96 DPI like the band. The record starts
  // with the defaults, so a record built in code writes no key for them.
  int step = 0;             // 0: the band's thickness less the overlap
  int fine_step = 20;       // next and previous with Shift added
  int overlap = -1;         // -1: an eighth of the band's thickness
  int thickness_step = 10;  // thicker and thinner

  // Fills every field from the settings file in use (see SettingsFileInUse),
  // with the defaults for whatever is missing. Always returns 1; never
  // creates the file.
  int Load();
  // Writes every key; returns 1 on success and 0 when the file could not be
  // written (the old file is then left exactly as it was).
  int Save() const;
  // -1 when the hotkeys are all different, else the index of the last entry
  // of the check table that has an equal partner.
  int FindDuplicateHotkey() const;

  // The same for a given file. SaveTo writes a complete new file beside the
  // old one and swaps it in, or returns false and leaves the old one as it was.
  void LoadFrom(const std::filesystem::path& file);
  bool SaveTo(const std::filesystem::path& file) const;

  // The same on a document in memory.
  void ReadFrom(const IniDocument& doc);
  void WriteTo(IniDocument& doc) const;

  friend bool operator==(const MaskSettings&, const MaskSettings&) = default;
};

// One key of the settings file. An integer key names `intField`, a text key
// `textField`; the other stays null.
struct SettingsKey {
  std::string_view name;
  int MaskSettings::*intField = nullptr;
  char (MaskSettings::*textField)[kSettingsTextSize] = nullptr;
  int intDefault = 0;
  std::string_view textDefault;
  // The first six keys are always written. A key added later is written
  // only once the file has it or its value is not the default, so a reader
  // who never used that setting keeps the file of six keys they always had.
  // Such a key's number is read only from a plain decimal text (blanks
  // around it aside); anything else gives its default, where the profile
  // functions would read 0.
  bool optional = false;
};

// Every key, in the order a new file lists them.
std::span<const SettingsKey> SettingsKeys();

// The record as a missing file gives it.
MaskSettings DefaultSettings();

// The settings file in `directory`.
std::filesystem::path SettingsFilePath(const std::filesystem::path& directory);

// Makes Load and Save use `file` (a full path) for the rest of the run; an
// empty path goes back to softveil.ini in the working directory.
void UseSettingsFile(std::filesystem::path file);

// The file Load and Save use now: the one given to UseSettingsFile, else
// softveil.ini in the working directory as it is at this call. Empty when
// there is no working directory.
std::filesystem::path SettingsFileInUse();

// The ELF (PJW) hash of a zero-terminated text, bytes taken as signed.
std::uint32_t ElfHash(const char* text);

// The colour text as a number (atol semantics): a COLORREF.
std::uint32_t SettingsColor(const MaskSettings& settings);
