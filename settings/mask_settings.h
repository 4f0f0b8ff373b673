// The one settings record and its INI file.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/text_slot.h"

class IniDocument;

// A list setting (the programs to stay away from) is read as into a profile
// buffer of this size: up to 1023 characters.
constexpr std::size_t kSettingsListSize = 1024;

constexpr const char* kSettingsFileName = "softveil.ini";
constexpr const char* kSettingsSection = "settings";

// The defaults of the guide's styles other than the mask: a grey bar and a
// pale warm-yellow tint at about a quarter of full opacity, a black
// underline fully opaque, 3 px thick at 96 DPI.
constexpr int kUnderlineWidthDefault = 3;
constexpr int kBarColorDefault = 0x808080;
constexpr int kBarOpacityDefault = 64;
constexpr int kUnderlineColorDefault = 0x000000;
constexpr int kUnderlineOpacityDefault = 255;
constexpr int kTintColorDefault = 0x64DCFF;  // red 255, green 220, blue 100
constexpr int kTintOpacityDefault = 64;

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

  // The reading guide's style (settings/guide_style.h): "mask", "bar",
  // "underline" or "tint"; the key that cycles it, empty for the default
  // (Ctrl+Alt+S); the underline's thickness at 96 DPI. Then each style but
  // the mask has its own colour (a COLORREF) and opacity (an alpha); the
  // mask keeps `color` and `transparence`.
  char style[kSettingsTextSize] = "mask";
  char hotkey_style[kSettingsTextSize] = {};
  int underline_width = kUnderlineWidthDefault;
  int bar_color = kBarColorDefault;
  int bar_transparence = kBarOpacityDefault;
  int underline_color = kUnderlineColorDefault;
  int underline_transparence = kUnderlineOpacityDefault;
  int tint_color = kTintColorDefault;
  int tint_transparence = kTintOpacityDefault;
  // What the band follows (settings/follow.h): "drag", "pointer" or
  // "caret"; and where the followed point sits in the band, in pixels at 96
  // DPI from its start, -1 for the thickness less a quarter of it.
  char follow[kSettingsTextSize] = "drag";
  int pointer_offset = -1;
  // The programs the mask never covers, names separated by ';'.
  std::string exclude;

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
// `textField`, a list `listField` (up to kSettingsListSize - 1 characters);
// the others stay null.
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
  std::string MaskSettings::*listField = nullptr;
};

// Every key, in the order a new file lists them.
std::span<const SettingsKey> SettingsKeys();

// The record as a missing file gives it.
MaskSettings DefaultSettings();

// The settings in `file` (the defaults for what it lacks, all of them when
// there is none), or nothing while the file may be there but cannot be read:
// held open by another program, on a share or drive not connected yet.
std::optional<MaskSettings> ReadSettingsFile(const std::filesystem::path& file);

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
