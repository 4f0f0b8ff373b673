#include "settings/ini_store.h"

#include <cstdint>

#include "settings/file_system.h"

// The reading and writing rules below follow what Wine's profile functions
// were seen to do, so that a file edited by either reads and writes the same.

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The profile functions also count the old end-of-file byte 0x1A as space.
bool IsIniSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsIniSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsIniSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimFront(std::string_view text) {
  while (!text.empty() && IsIniSpace(text.front())) text.remove_prefix(1);
  return text;
}

// Names and values are zero-terminated strings inside the profile
// functions, so whatever follows a NUL byte is never seen and never written.
std::string UpToNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// The next line of `text` from `pos`, newline characters included; a run of
// CR and LF bytes ends one line, which is why blank lines disappear.
std::string_view NextLine(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
  while (pos < text.size() && (text[pos] == '\n' || text[pos] == '\r')) ++pos;
  return text.substr(start, pos - start);
}

}  // namespace

IniDocument::IniDocument(std::string bytes) : bytes_(std::move(bytes)) { Parse(); }

void IniDocument::Parse() {
  std::string_view text = bytes_;
  utf8Mark_ = false;
  sections_.clear();
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    utf8Mark_ = true;
    text.remove_prefix(kUtf8Mark.size());
  }
  sections_.push_back(Section{});
  bool previousUnnamed = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::string_view line = Trim(NextLine(text, pos));
    if (line.empty()) continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']', 1);
      if (close != std::string_view::npos) {
        sections_.push_back(Section{UpToNul(line.substr(1, close - 1)), {}});
        previousUnnamed = false;
        continue;
      }
    }
    std::string_view name = line;
    std::optional<std::string> value;
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      name = Trim(line.substr(0, equals));
      value = UpToNul(TrimFront(line.substr(equals + 1)));
    }
    // A run of lines with nothing before '=' keeps only its first line.
    if (name.empty() && previousUnnamed) continue;
    sections_.back().entries.push_back(Entry{UpToNul(name), std::move(value)});
    previousUnnamed = sections_.back().entries.back().name.empty();
  }
}

std::size_t IniDocument::FindSection(std::string_view name) const {
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (SameName(sections_[i].name, name)) return i;
  }
  return kNotFound;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  // Only the first section of that name is looked at, as the profile
  // functions do; a second section of the same name is never read.
  const std::size_t found = FindSection(Trim(section));
  if (found == kNotFound) return std::nullopt;
  key = Trim(key);
  for (const Entry& entry : sections_[found].entries) {
    if (SameName(entry.name, key)) return entry.value;
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  value = TrimFront(value);
  std::size_t found = FindSection(Trim(section));
  if (found == kNotFound) {
    // A new name keeps its trailing white space, as the profile functions keep it.
    sections_.push_back(Section{UpToNul(TrimFront(section)), {}});
    found = sections_.size() - 1;
  }
  Section* target = &sections_[found];
  Entry* entry = nullptr;
  for (Entry& candidate : target->entries) {
    if (SameName(candidate.name, Trim(key))) {
      entry = &candidate;
      break;
    }
  }
  if (entry == nullptr) {
    target->entries.push_back(Entry{UpToNul(TrimFront(key)), std::nullopt});
    entry = &target->entries.back();
  }
  const std::string newValue = UpToNul(value);
  if (entry->value == newValue) return;
  entry->value = newValue;
  bytes_ = Serialize();
  // The profile functions read the file afresh for every call, so the next
  // lookup must find what a reader of the new text finds: a line "HEIGHT \0"
  // held as the name "HEIGHT " (which no query finds) is written as
  // "HEIGHT " and from then on read as "HEIGHT".
  Parse();
}

std::string IniDocument::Serialize() const {
  std::string out;
  if (utf8Mark_) out += kUtf8Mark;
  for (const Section& section : sections_) {
    if (!section.name.empty()) out += "[" + section.name + "]\r\n";
    for (const Entry& entry : section.entries) {
      out += entry.name;
      if (entry.value) out += "=" + *entry.value;
      out += "\r\n";
    }
  }
  return out;
}

std::string ProfileString(const IniDocument& doc, std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  // Trailing blanks of the default go, but never its first character.
  while (defaultValue.size() > 1 && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  const std::optional<std::string> found = doc.Get(section, key);
  std::string_view value = found ? std::string_view(*found) : defaultValue;

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
  temporary += ".tmp";
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
