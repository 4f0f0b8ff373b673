// An INI store of our own that gives the results the Windows profile
// functions give for the files this program reads and writes.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The text of one INI file, edited in memory. Lines are kept byte for byte;
// an edit touches only the line of the value it changes (or appends one).
class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string bytes);

  // The value of `key` in `section` (names compared case-insensitively,
  // white space around the value trimmed), or nothing when the section or
  // key is missing. When a section or key occurs twice, the first counts.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Replaces the value of the key in place, or adds the key at the end of
  // its section, or adds the section at the end of the text.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Profile-function equivalents on a document.
// GetPrivateProfileStringA with a buffer of `bufferSize` bytes: the value is
// cut to bufferSize - 1 characters.
std::string ProfileString(const IniDocument& doc, std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize);
// GetPrivateProfileIntA: an optionally signed decimal number, or the default.
int ProfileInt(const IniDocument& doc, std::string_view section, std::string_view key, int defaultValue);

// Reads the whole file. A missing or unreadable file, or a directory, gives
// nothing (and loading never creates a file).
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Writes a complete new file beside `path` and replaces `path` with it in one
// step, so a failure never leaves a half-written file. Returns false when the
// file could not be written or replaced; the old file is then unchanged.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);
