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
  IniDocument() : IniDocument(std::string()) {}
  explicit IniDocument(std::string bytes);

  // The value of `key` in `section` (names compared case-insensitively,
  // white space around the value trimmed), or nothing when the section or
  // key is missing or the key's line has no '='. When a section or key
  // occurs twice, the first counts. The text is the document's own, good
  // until the next change.
  std::optional<std::string_view> Get(std::string_view section, std::string_view key) const;

  // Replaces the value of the key in place, or adds the key at the end of
  // its section, or adds the section at the end of the text. Setting the
  // value a key already has changes nothing, not even the line ends. Like
  // the profile functions, which read the file afresh for every call, the
  // next call sees what a reader of the new text sees.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  const std::string& Bytes() const;

  // False when the text, written out again, would read differently: a name
  // cut at a NUL byte ("HEIGHT \0" is the name "HEIGHT ", which no query
  // finds) loses its trailing blanks, a section "[]" its header, and a first
  // line that starts with the UTF-8 mark gives the file that mark. The first
  // change settles it.
  bool ReadsAsWritten() const { return settled_; }

 private:
  // A piece of the text read (bytes_), or of the names and values set since
  // (added_), by position, so that a copied document holds its own.
  struct Piece {
    std::size_t at = 0;
    std::size_t size = 0;
    bool added = false;
  };
  struct Entry {
    Piece name;
    std::optional<Piece> value;  // nothing: a line without '='
  };
  struct Section {
    Piece name;  // empty for the lines before the first header
    std::size_t firstEntry = 0;  // its entries are entries_[firstEntry, endEntry)
    std::size_t endEntry = 0;
  };

  static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);
  // Reads bytes_ into the sections and entries.
  void Parse();
  std::size_t FindSection(std::string_view name) const;
  std::size_t FindEntry(std::size_t section, std::string_view key) const;
  std::string_view Text(Piece piece) const;
  Piece Add(std::string_view text);
  std::string Serialize() const;

  std::string bytes_;
  std::string added_;
  bool utf8Mark_ = false;
  // Written out and read again, the text gives these very sections and
  // entries, so a change of plain names and values needs no new reading.
  bool settled_ = false;
  std::vector<Section> sections_;
  std::vector<Entry> entries_;
  mutable std::size_t lastFound_ = kNotFound;  // the section FindSection found last
  // Set since the text was read: Bytes() is the text written out again,
  // made when first asked for.
  bool edited_ = false;
  mutable std::optional<std::string> written_;
};

// A value as a reader of the file will see it once written: without the
// white space at its ends, and up to a NUL byte.
std::string_view ValueAsRead(std::string_view value);

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
