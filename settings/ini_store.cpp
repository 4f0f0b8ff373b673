#include "settings/ini_store.h"

#include <algorithm>
#include <cstdint>

#include "settings/ascii_text.h"
#include "settings/file_system.h"

// The reading and writing rules below follow what Wine's profile functions
// were seen to do, so that a file edited by either reads and writes the same.

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The profile functions also count the old end-of-file byte 0x1A as space.
// (Most bytes are above the space and take a single comparison.)
bool IsIniSpace(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u <= ' ' && (u == ' ' || (u >= '\t' && u <= '\r') || u == 0x1A);
}

std::string_view Trim(std::string_view text) { return ::Trim(text, IsIniSpace); }
std::string_view TrimFront(std::string_view text) { return ::TrimFront(text, IsIniSpace); }

// Names and values are zero-terminated strings inside the profile
// functions, so whatever follows a NUL byte is never seen and never written.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// The lines of a text as the profile functions split it: a line ends at a
// CR or LF byte, and a run of them ends one line, so blank lines disappear.
// The ends are found with find rather than byte by byte: every save reads
// the text again after each change.
class LineSplitter {
 public:
  explicit LineSplitter(std::string_view text) : text_(text), cr_(text.find('\r')), lf_(text.find('\n')) {}

  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    if (cr_ < pos_) cr_ = text_.find('\r', pos_);
    if (lf_ < pos_) lf_ = text_.find('\n', pos_);
    const std::size_t end = std::min({cr_, lf_, text_.size()});
    line = text_.substr(pos_, end - pos_);
    pos_ = end;
    while (pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n')) ++pos_;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t cr_;  // the next CR at or after pos_, or npos
  std::size_t lf_;  // the same for LF
};

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Names and values that read back exactly as written, wherever they go.
bool IsPlainValue(std::string_view value) {
  return !HasLineBreak(value) && (value.empty() || !IsIniSpace(value.back()));
}
bool IsPlainKey(std::string_view key) {
  // A key starting with '[' may read as a header, and one with a byte above
  // 127 as the UTF-8 mark when it is the text's first line.
  return !key.empty() && IsPlainValue(key) && key.find('=') == std::string_view::npos && key.front() != '[' &&
         static_cast<unsigned char>(key.front()) < 0x80;
}
bool IsPlainSection(std::string_view name) {
  return !name.empty() && !HasLineBreak(name) && name.find(']') == std::string_view::npos;
}

void AppendLine(std::string& out, std::string_view name, std::optional<std::string_view> value) {
  out += name;
  if (value) {
    out += '=';
    out += *value;
  }
  out += "\r\n";
}

}  // namespace

IniDocument::IniDocument(std::string bytes) : bytes_(std::move(bytes)) { Parse(); }

void IniDocument::Parse() {
  sections_.clear();
  entries_.clear();
  lastFound_ = kNotFound;
  added_.clear();
  edited_ = false;
  written_.reset();
  const std::string_view all = bytes_;
  const auto piece = [&all](std::string_view part) {
    return Piece{static_cast<std::size_t>(part.data() - all.data()), part.size()};
  };
  utf8Mark_ = all.starts_with(kUtf8Mark);
  settled_ = all.find('\0') == std::string_view::npos;
  sections_.push_back(Section{});
  bool previousUnnamed = false;
  LineSplitter lines(all.substr(utf8Mark_ ? kUtf8Mark.size() : 0));
  for (std::string_view line; lines.Next(line);) {
    line = Trim(line);
    if (line.empty()) continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']', 1);
      if (close != std::string_view::npos) {
        const std::string_view name = UpToNul(line.substr(1, close - 1));
        settled_ = settled_ && !name.empty();
        sections_.push_back(Section{piece(name), entries_.size(), entries_.size()});
        previousUnnamed = false;
        continue;
      }
    }
    std::string_view name = line;
    std::optional<Piece> value;
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      name = Trim(line.substr(0, equals));
      value = piece(UpToNul(TrimFront(line.substr(equals + 1))));
    }
    // A run of lines with nothing before '=' keeps only its first line.
    if (name.empty() && previousUnnamed) continue;
    name = UpToNul(name);
    if (entries_.empty() && !utf8Mark_ && name.starts_with(kUtf8Mark)) settled_ = false;
    entries_.push_back(Entry{piece(name), value});
    sections_.back().endEntry = entries_.size();
    previousUnnamed = name.empty();
  }
}

std::string_view IniDocument::Text(Piece piece) const {
  return std::string_view((piece.added ? added_ : bytes_).data() + piece.at, piece.size);
}

IniDocument::Piece IniDocument::Add(std::string_view text) {
  const Piece piece{added_.size(), text.size(), true};
  added_ += text;
  return piece;
}

std::size_t IniDocument::FindSection(std::string_view name) const {
  // A load or save asks for the same section key after key. The section
  // found last is the first of its name, so of any name it matches.
  if (lastFound_ < sections_.size() && SameAsciiText(Text(sections_[lastFound_].name), name)) return lastFound_;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (SameAsciiText(Text(sections_[i].name), name)) return lastFound_ = i;
  }
  return kNotFound;
}

std::size_t IniDocument::FindEntry(std::size_t section, std::string_view key) const {
  for (std::size_t i = sections_[section].firstEntry; i < sections_[section].endEntry; ++i) {
    if (entries_[i].name.size == key.size() && SameAsciiText(Text(entries_[i].name), key)) return i;
  }
  return kNotFound;
}

std::optional<std::string_view> IniDocument::Get(std::string_view section, std::string_view key) const {
  // Only the first section of that name is looked at, as the profile
  // functions do; a second section of the same name is never read.
  const std::size_t found = FindSection(Trim(section));
  if (found == kNotFound) return std::nullopt;
  const std::size_t entry = FindEntry(found, Trim(key));
  if (entry == kNotFound || !entries_[entry].value) return std::nullopt;
  return Text(*entries_[entry].value);
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view newValue = UpToNul(TrimFront(value));
  std::size_t found = FindSection(Trim(section));
  std::size_t entry = found == kNotFound ? kNotFound : FindEntry(found, Trim(key));
  if (entry != kNotFound && entries_[entry].value && Text(*entries_[entry].value) == newValue) return;

  bool plain = settled_ && IsPlainValue(newValue);
  if (found == kNotFound) {
    // A new name keeps its trailing white space, as the profile functions keep it.
    const std::string_view name = UpToNul(TrimFront(section));
    plain = plain && IsPlainSection(name);
    sections_.push_back(Section{Add(name), entries_.size(), entries_.size()});
    found = sections_.size() - 1;
  }
  if (entry == kNotFound) {
    const std::string_view name = UpToNul(TrimFront(key));
    plain = plain && IsPlainKey(name);
    entry = sections_[found].endEntry;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(entry), Entry{Add(name), std::nullopt});
    ++sections_[found].endEntry;
    for (std::size_t s = found + 1; s < sections_.size(); ++s) {
      ++sections_[s].firstEntry;
      ++sections_[s].endEntry;
    }
  }
  entries_[entry].value = Add(newValue);
  edited_ = true;
  written_.reset();
  if (plain) return;
  // Read afresh: a line "HEIGHT \0" held as the name "HEIGHT " (which no
  // query finds) is written as "HEIGHT " and from then on read as "HEIGHT".
  bytes_ = Serialize();
  Parse();
}

const std::string& IniDocument::Bytes() const {
  if (!edited_) return bytes_;
  if (!written_) written_ = Serialize();
  return *written_;
}

std::string IniDocument::Serialize() const {
  std::string out;
  out.reserve(bytes_.size() + added_.size() + 16);
  if (utf8Mark_) out += kUtf8Mark;
  for (const Section& section : sections_) {
    if (section.name.size > 0) {
      out += '[';
      out += Text(section.name);
      out += "]\r\n";
    }
    for (std::size_t e = section.firstEntry; e < section.endEntry; ++e) {
      std::optional<std::string_view> value;
      if (entries_[e].value) value = Text(*entries_[e].value);
      AppendLine(out, Text(entries_[e].name), value);
    }
  }
  return out;
}

std::string_view ValueAsRead(std::string_view value) { return UpToNul(Trim(value)); }

std::string ProfileString(const IniDocument& doc, std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  // Trailing blanks of the default go, but never its first character.
  while (defaultValue.size() > 1 && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  std::string_view value = doc.Get(section, key).value_or(defaultValue);

  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') && value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string result(value.substr(0, bufferSize - 1));
  // The closing quote is dropped by position: when the value was cut, the
  // last character kept goes instead, exactly as the profile functions do.
  if (quoted && bufferSize >= value.size() && !result.empty()) result.pop_back();
  return result;
}

int ProfileInt(const IniDocument& doc, std::string_view section, std::string_view key, int defaultValue) {
  // The profile functions read the value into a 30-character buffer first.
  const std::string text = ProfileString(doc, section, key, "", 30);
  if (text.empty()) return defaultValue;

  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char prefix = text[i + 1];
    base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  std::uint32_t total = 0;  // wraps around, as the profile functions' sum does
  for (; i < text.size(); ++i) {
    const char c = text[i];
    unsigned digit = 99;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'z') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'Z') digit = static_cast<unsigned>(c - 'A' + 10);
    if (digit >= base) break;
    total = total * base + digit;
  }
  if (negative) total = 0u - total;
  return static_cast<int>(total);
}

bool IsEditableIniText(std::string_view bytes) {
  const std::string_view mark = bytes.substr(0, 2);
  return mark != "\xFF\xFE" && mark != "\xFE\xFF";
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
  if (KindOf(path) == FileKind::Directory) return std::nullopt;
  const UniqueFile in(OpenBinaryFile(path, FileMode::Read));
  if (!in) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, in.get())) > 0) bytes.append(chunk, got);
  if (std::ferror(in.get())) return std::nullopt;
  return bytes;
}

namespace {

// Writes the whole file, or removes what it began (a full disk, say).
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::FILE* out = OpenBinaryFile(path, FileMode::Write);
  if (!out) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  // fclose flushes: a full disk may only show there.
  if (std::fclose(out) == 0 && written) return true;
  RemoveFileQuietly(path);
  return false;
}

}  // namespace

bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  const FileKind old = KindOf(path);
  // A read-only file cannot be replaced on Windows; elsewhere a rename would
  // still go through, so refuse here and behave the same everywhere.
  if (old == FileKind::Directory || old == FileKind::ReadOnlyFile) return false;

  std::filesystem::path temporary = path;
  temporary += PathFromAscii(".tmp");
  if (!WriteWholeFile(temporary, bytes)) return false;
  if (!SwapInFile(temporary, path)) {
    RemoveFileQuietly(temporary);
    return false;
  }
  return true;
}

IniDocument LoadIniFile(const std::filesystem::path& path) {
  return IniDocument(ReadFileBytes(path).value_or(std::string()));
}

bool EditIniFile(const std::filesystem::path& path, const std::function<void(IniDocument&)>& edit) {
  const FileKind kind = KindOf(path);
  if (kind == FileKind::Unknown) return false;
  const bool exists = kind != FileKind::Missing;
  std::string old;
  if (exists) {
    // Never write over a file we could not read: its other keys would be lost.
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes || !IsEditableIniText(*bytes)) return false;
    old = std::move(*bytes);
  }
  IniDocument doc(old);
  edit(doc);
  // An unchanged file is not written at all (a read-only one included).
  if (exists && doc.Bytes() == old) return true;
  return ReplaceFileAtomically(path, doc.Bytes());
}
