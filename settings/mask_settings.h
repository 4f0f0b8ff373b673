// The one settings record and its INI file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

constexpr std::size_t kSettingsTextSize = 50;  // 49 characters and the zero
constexpr const char* kSettingsFileName = "softveil.ini";
constexpr const char* kSettingsSection = "settings";

struct MaskSettings {
  int height = 0;        // band thickness in pixels
  int transparence = 0;  // mask alpha; the mask uses the low 8 bits
  int horizontal = 0;    // non-zero: horizontal band
  char hotkey_mask_open[kSettingsTextSize] = {};
  char hotkey_lock_open[kSettingsTextSize] = {};
  char color[kSettingsTextSize] = {};  // decimal text of a COLORREF 0x00BBGGRR

  // Fills every field from softveil.ini in the working directory, with the
  // defaults for whatever is missing. Always returns 1; never creates the file.
  int Load();
  // Writes the six keys; returns 1 on success and 0 when the file could not
  // be written (the old file is then left exactly as it was).
  int Save() const;
  // -1 when the hotkeys are all different, else the index of the last entry
  // of the check table that has an equal partner.
  int FindDuplicateHotkey() const;

  // The same for a given file. SaveTo writes a complete new file beside the
  // old one and swaps it in, or returns false and leaves the old one as it was.
  void LoadFrom(const std::filesystem::path& file);
  bool SaveTo(const std::filesystem::path& file) const;
};

// Puts `text` into a 50-byte slot: cut to 49 characters, the rest zeros.
void SetSettingsText(char (&slot)[kSettingsTextSize], std::string_view text);

// The settings file in `directory`.
std::filesystem::path SettingsFilePath(const std::filesystem::path& directory);

// The ELF (PJW) hash of a zero-terminated text, bytes taken as signed.
std::uint32_t ElfHash(const char* text);

// The colour text as a number (atol semantics): a COLORREF.
std::uint32_t SettingsColor(const MaskSettings& settings);
