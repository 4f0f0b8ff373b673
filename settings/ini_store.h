// An INI store of our own that gives the results the Windows profile
// functions give for the files this program reads and writes.
#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text of one INI file, edited in memory the way the profile functions
// edit it: the file is read into sections of entries, and after a change the
// whole text is written out again in their shape — every line ends in CRLF,
// white space around names and values and blank lines are gone, comments and
// lines without '=' stay as entries, a header keeps only "[name]". Until
// something changes, Bytes() is the text exactly as given.
class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string bytes);

  // The value of `key` in `section` (names compared case-insensitively,
  // white space around the value trimmed), or nothing when the section or
  // key is missing or the key's line has no '='. When a section or key
  // occurs twice, the first counts.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Replaces the value of the key in place, or adds the key at the end of
  // its section, or adds the section at the end of the text. Setting the
  // value a key already has changes nothing, not even the line ends.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  const std::string& Bytes() const { return bytes_; }

 private:
  struct Entry {
    std::string name;
    std::optional<std::string> value;  // nothing: a line without '='
  };
  struct Section {
    std::string name;  // empty for the lines before the first header
    std::vector<Entry> entries;
  };

  static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);
  // Reads bytes_ into the sections.
  void Parse();
  std::size_t FindSection(std::string_view name) const;
  std::string Serialize() const;

  std::string bytes_;
  bool utf8Mark_ = false;
  std::vector<Section> sections_;
};

// Profile-function equivalents on a document.
// GetPrivateProfileStringA with a buffer of `bufferSize` bytes: the value is
// cut to bufferSize - 1 characters; a value in matching quotes loses them.
std::string ProfileString(const IniDocument& doc, std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize);
// GetPrivateProfileIntA: an optionally signed number (decimal, or with the
// prefixes 0x, 0o, 0b), wrapping to 32 bits, or the default when the value
// is missing or empty.
int ProfileInt(const IniDocument& doc, std::string_view section, std::string_view key, int defaultValue);

// False for text we cannot edit without damaging it (a UTF-16 file).
bool IsEditableIniText(std::string_view bytes);

// Reads the whole file. A missing or unreadable file, or a directory, gives
// nothing (and loading never creates a file).
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// The document of an INI file; a missing or unreadable file gives an empty one.
IniDocument LoadIniFile(const std::filesystem::path& path);

// Reads the file (missing: empty), lets `edit` change the document and, when
// the text changed, replaces the file with the new text. Like the profile
// functions it leaves the file untouched when nothing changed. Returns false
// and changes nothing when the file exists but cannot be read (or is UTF-16),
// or cannot be replaced.
bool EditIniFile(const std::filesystem::path& path, const std::function<void(IniDocument&)>& edit);

// Writes a complete new file beside `path` and replaces `path` with it in one
// step, so a failure never leaves a half-written file. Returns false when the
// file could not be written or replaced; the old file is then unchanged and
// no temporary file is left behind.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);
