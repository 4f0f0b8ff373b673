// The settings file on arbitrary bytes: load, save, load again.
//
// Every input goes through the document in memory, the way LoadFrom and
// SaveTo use it; a quarter of them (chosen by a hash of the bytes, so a saved
// input replays the same way) also go through a real file in a temporary
// directory, which must give the very same record and bytes.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "settings/decimal.h"
#include "settings/guide_style.h"
#include "settings/ini_store.h"
#include "settings/mask_settings.h"
#include "settings/program_list.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

namespace fs = std::filesystem;

MaskSettings ReadRecord(const IniDocument& doc) {
  MaskSettings s;
  s.ReadFrom(doc);
  return s;
}

std::string SavedBytes(const std::string& bytes, const MaskSettings& s) {
  IniDocument doc(bytes);
  s.WriteTo(doc);
  return doc.Bytes();
}

void CheckSlotsTerminated(const MaskSettings& s) {
  for (const SettingsKey& key : SettingsKeys()) {
    if (key.textField) FUZZ_CHECK((s.*key.textField)[kSettingsTextSize - 1] == '\0');
  }
}

// Whatever the file holds, every style but the mask is visible and the
// underline has a width.
void CheckGuideVisible(const MaskSettings& s) {
  for (GuideStyle style : {GuideStyle::Bar, GuideStyle::Underline, GuideStyle::Tint}) {
    const GuideLook look = LookInForce(s, style);
    FUZZ_CHECK(look.opacity >= 10 && look.opacity <= 255 && look.color <= 0xFFFFFFu);
  }
  FUZZ_CHECK(UnderlineWidthOf(s) >= 1 && UnderlineWidthOf(s) <= kUnderlineWidthMax);
}

// Trims every control byte and blank, more than the store trims, so a name
// the store would take for one of ours is never taken for a foreign one.
std::string_view TrimWide(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool IsOwned(std::string_view section, std::string_view key) {
  if (!SameAscii(TrimWide(section), kSettingsSection)) return false;
  for (const SettingsKey& owned : SettingsKeys()) {
    if (SameAscii(TrimWide(key), owned.name)) return true;
  }
  return false;
}

struct KeyName {
  std::string section;
  std::string key;
  std::size_t sectionIndex = 0;  // which header of the file, 0 before the first
};

// The white space the store trims from lines, names and values.
bool IsStoreSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A'; }

std::string_view TrimStore(std::string_view text) {
  while (!text.empty() && IsStoreSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsStoreSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Three kinds of text read differently once the store (or the platform's
// profile functions, which it follows) has written them again:
// - Text with a NUL byte. The store keeps a name or value only up to the
//   NUL and writes back just that; white space left before the NUL, or a
//   line empty before it, is trimmed away when the written text is read.
// - Text whose first line, once its leading blanks are trimmed, begins with
//   the UTF-8 mark: written again it starts the file, where the mark is
//   taken for the file's own, and "\xEF\xBB\xBF[settings]" becomes a header.
bool StartsWithMarkOnceTrimmed(std::string_view text) {
  const std::string_view mark = "\xEF\xBB\xBF";
  return text.substr(0, mark.size()) != mark && TrimStore(text).substr(0, mark.size()) == mark;
}

// - Text with a header "[]": written again the header goes and its keys
//   join the section before it, where a key of ours left unwritten at its
//   default is then read.
bool HasNamelessHeader(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    if (TrimStore(text.substr(pos, end - pos)).substr(0, 2) == "[]") return true;
    pos = end + 1;
  }
  return false;
}

bool ReadsDifferentlyOnceRewritten(std::string_view text) {
  return text.find('\0') != std::string_view::npos || StartsWithMarkOnceTrimmed(text) || HasNamelessHeader(text);
}

// The section and key names a reader of the file can see, worked out from
// the lines as the store splits them; names are cut at a NUL as the store
// cuts them. Left out are the keys of two kinds of section:
// - A section that repeats an earlier name, which is never read since the
//   first one counts. That includes "[]", which repeats the nameless lines
//   before the first header; it also loses its header when written again
//   (the platform's profile functions drop it too), so its keys join the
//   section before it.
// - A section with a line holding a NUL byte, which reads differently once
//   rewritten: "k \0x=1" turns into a key k that hides a later "k=2".
std::vector<KeyName> ForeignKeys(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<KeyName> keys;
  std::vector<std::string> seen{""};
  std::vector<bool> blurred{false};
  bool shadowed = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    const std::string_view line = TrimStore(text.substr(pos, end == std::string_view::npos ? end : end - pos));
    pos = end == std::string_view::npos ? text.size() : end + 1;
    const std::size_t close = line.find(']');
    if (!line.empty() && line.front() == '[' && close != std::string_view::npos) {
      const std::string_view name = line.substr(1, close - 1);
      const std::string section(name.substr(0, name.find('\0')));
      shadowed = false;
      for (const std::string& earlier : seen) shadowed = shadowed || SameAscii(earlier, TrimStore(section));
      shadowed = shadowed || section != TrimStore(section);  // a query never finds it
      seen.push_back(section);
      blurred.push_back(false);
      continue;
    }
    if (line.find('\0') != std::string_view::npos) blurred.back() = true;
    const std::size_t equals = line.find('=');
    if (shadowed || equals == std::string_view::npos) continue;
    const std::string_view name = TrimStore(line.substr(0, equals));
    KeyName key{seen.back(), std::string(name), seen.size() - 1};
    if (!IsOwned(key.section, key.key)) keys.push_back(std::move(key));
  }
  std::erase_if(keys, [&](const KeyName& key) { return blurred[key.sectionIndex]; });
  return keys;
}

void CheckForeignKeysKept(const std::string& before, const std::string& after) {
  const IniDocument oldDoc(before);
  const IniDocument newDoc(after);
  for (const KeyName& name : ForeignKeys(before)) {
    FUZZ_CHECK(oldDoc.Get(name.section, name.key) == newDoc.Get(name.section, name.key));
  }
}

// A text that reads back exactly as written: nothing the reader trims at
// either end, and no pair of quotes around it that the reader removes.
bool ReadsBackUnchanged(std::string_view text) {
  if (text != TrimWide(text)) return false;
  const bool quoted = text.size() >= 2 && (text.front() == '\'' || text.front() == '"') && text.back() == text.front();
  return !quoted;
}

void CheckReloaded(const MaskSettings& saved, const MaskSettings& reloaded) {
  CheckSlotsTerminated(reloaded);
  for (const SettingsKey& key : SettingsKeys()) {
    if (key.intField) {
      // Integers are written as plain decimals, so they always come back.
      FUZZ_CHECK(reloaded.*key.intField == saved.*key.intField);
      continue;
    }
    if (key.listField) {
      const std::string& list = saved.*key.listField;
      if (ReadsBackUnchanged(list) && list.size() < kSettingsListSize) FUZZ_CHECK(reloaded.*key.listField == list);
      continue;
    }
    const std::string_view before = SlotText(saved.*key.textField, kSettingsTextSize);
    if (ReadsBackUnchanged(before)) FUZZ_CHECK(SlotText(reloaded.*key.textField, kSettingsTextSize) == before);
  }
}

// One run of the program on a text and the next one: save the record it
// loaded, load it back, save it again.
struct Round {
  std::string saved;
  MaskSettings reloaded;
  std::string savedAgain;
};

Round RunRound(const std::string& text, const MaskSettings& record) {
  Round round;
  round.saved = SavedBytes(text, record);
  round.reloaded = ReadRecord(IniDocument(round.saved));
  round.savedAgain = SavedBytes(round.saved, record);
  return round;
}

// On a text that reads as it is written: the record comes back, the second
// save writes the same bytes as the first, and the keys we do not own keep
// their values.
void CheckRound(const std::string& text, const MaskSettings& record, const Round& round) {
  CheckReloaded(record, round.reloaded);
  FUZZ_CHECK(round.savedAgain == round.saved);
  CheckForeignKeysKept(text, round.saved);
}

std::uint32_t Fnv1a(const std::uint8_t* data, std::size_t size) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

// What one input gives in memory, for the file to match.
struct InMemory {
  MaskSettings loaded;
  bool editable = false;
  Round round;
};

// The programs to stay away from, as read: trimmed names without ';', each
// matching itself with its letters' case swapped; joined again, the same.
void CheckProgramList(const std::string& list) {
  std::string joined;
  for (const std::string_view name : ListedPrograms(list)) {
    FUZZ_CHECK(!name.empty() && name.find(';') == std::string_view::npos && !std::isspace(static_cast<unsigned char>(name.front())) &&
               !std::isspace(static_cast<unsigned char>(name.back())));
    std::string swapped(name);
    for (char& c : swapped) c = (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? static_cast<char>(c ^ 0x20) : c;
    FUZZ_CHECK(ProgramListed(list, swapped));
    joined += std::string(name) + ";";
  }
  FUZZ_CHECK(ListedPrograms(joined) == ListedPrograms(list));
}

InMemory CheckDocument(const std::string& bytes, std::uint32_t hash) {
  InMemory result;
  result.loaded = ReadRecord(IniDocument(bytes));
  CheckSlotsTerminated(result.loaded);
  CheckGuideVisible(result.loaded);
  CheckProgramList(result.loaded.exclude);
  result.editable = IsEditableIniText(bytes);
  if (!result.editable) return result;

  result.round = RunRound(bytes, result.loaded);
  if (!ReadsDifferentlyOnceRewritten(bytes) || result.round.saved == bytes) {
    CheckRound(bytes, result.loaded, result.round);
    // Integers of every size and sign, as the settings dialog may set them,
    // come back too, whatever the file held before.
    MaskSettings varied = result.loaded;
    varied.height = static_cast<int>(hash);
    varied.transparence = -static_cast<int>(hash >> 20);
    varied.horizontal = static_cast<int>(hash % 3) - 1;
    CheckReloaded(varied, ReadRecord(IniDocument(SavedBytes(bytes, varied))));
    return result;
  }
  // Such a file may hide the values just written (a name "HEIGHT \0" that
  // no query finds becomes a height ahead of the one just added). Sections
  // untouched by it keep their keys. What the store writes holds no NUL, and
  // a second rewrite puts a mark that a NUL line hid at the start, so after
  // at most two runs of the program (load, save) all holds.
  if (!StartsWithMarkOnceTrimmed(bytes)) CheckForeignKeysKept(bytes, result.round.saved);
  std::string text = result.round.saved;
  MaskSettings record = result.round.reloaded;
  for (int rewrites = 1; ReadsDifferentlyOnceRewritten(text); ++rewrites) {
    const std::string next = SavedBytes(text, record);
    if (next == text) break;  // not rewritten, so read as before
    FUZZ_CHECK(rewrites < 2);
    text = next;
    record = ReadRecord(IniDocument(text));
  }
  CheckRound(text, record, RunRound(text, record));
  return result;
}

// A directory of this process's own for the file, removed at exit.
struct ScratchDirectory {
  fs::path path = fs::temp_directory_path() / ("softveil-ini-fuzz." + std::to_string(getpid()));
  ScratchDirectory() { fs::create_directories(path); }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

fs::path ScratchFile() {
  static const ScratchDirectory directory;
  return directory.path / kSettingsFileName;
}

std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The real LoadFrom and SaveTo must do on disk what the document did.
void CheckFile(const std::string& bytes, const InMemory& expected) {
  const fs::path file = ScratchFile();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  MaskSettings loaded;
  loaded.LoadFrom(file);
  FUZZ_CHECK(loaded == expected.loaded);

  const bool written = loaded.SaveTo(file);
  FUZZ_CHECK(written == expected.editable);
  if (!written) {
    FUZZ_CHECK(FileBytes(file) == bytes);  // a file we refuse is left exactly as it was
    return;
  }
  FUZZ_CHECK(FileBytes(file) == expected.round.saved);

  MaskSettings reloaded;
  reloaded.LoadFrom(file);
  FUZZ_CHECK(reloaded == expected.round.reloaded);
  // A first line that began with blanks and then the bytes of a UTF-16 mark
  // starts the written file with that mark; a later save then refuses the
  // file, as it refuses any UTF-16 file, and leaves it as it is.
  const bool writtenAgain = loaded.SaveTo(file);
  FUZZ_CHECK(writtenAgain == IsEditableIniText(expected.round.saved));
  FUZZ_CHECK(FileBytes(file) == (writtenAgain ? expected.round.savedAgain : expected.round.saved));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::uint32_t hash = Fnv1a(data, size);
  const InMemory expected = CheckDocument(bytes, hash);
  if (hash % 4 == 0) CheckFile(bytes, expected);
  return 0;
}
