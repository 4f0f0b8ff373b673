// The settings file on arbitrary bytes, in memory the way LoadFrom and
// SaveTo use it: load, save a record, load again, save again. ini_file_fuzz
// takes the same bytes through a real file.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ascii_text.h"
#include "settings/guide_style.h"
#include "settings/ini_store.h"
#include "settings/mask_settings.h"
#include "settings/program_list.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

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

// Trims every control byte and blank, more than the store trims, so a name
// the store would take for one of ours is never taken for a foreign one.
std::string_view TrimWide(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

bool IsOwned(std::string_view section, std::string_view key) {
  if (!SameAsciiText(TrimWide(section), kSettingsSection)) return false;
  for (const SettingsKey& owned : SettingsKeys()) {
    if (SameAsciiText(TrimWide(key), owned.name)) return true;
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

// A text that reads differently once written may lose the lines before
// one that starts with the UTF-8 mark, which then starts the file, and
// "\xEF\xBB\xBF[settings]" becomes a header that hides the one after it.
bool MarkMayLead(const IniDocument& doc) {
  return !doc.ReadsAsWritten() && doc.Bytes().find("\xEF\xBB\xBF", 1) != std::string::npos;
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
      for (const std::string& earlier : seen) shadowed = shadowed || SameAsciiText(earlier, TrimStore(section));
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

void CheckForeignKeysKept(const IniDocument& oldDoc, const IniDocument& newDoc) {
  for (const KeyName& name : ForeignKeys(oldDoc.Bytes())) {
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

std::uint32_t Fnv1a(const std::uint8_t* data, std::size_t size) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const IniDocument doc(std::string(reinterpret_cast<const char*>(data), size));
  MaskSettings record;
  record.ReadFrom(doc);
  CheckSlotsTerminated(record);
  CheckGuideVisible(record);
  CheckProgramList(record.exclude);
  if (!IsEditableIniText(doc.Bytes())) return 0;

  // The record as loaded, with integers of every size and sign the dialogs
  // may set (chosen by a hash of the bytes, so a saved input replays the
  // same way): it loads back after one save, a second save writes the same
  // bytes, and the keys we do not own keep their values.
  const std::uint32_t hash = Fnv1a(data, size);
  record.height = static_cast<int>(hash % (2 * kMaxSettingsLength + 1)) - kMaxSettingsLength;
  record.transparence = static_cast<int>(hash);
  record.horizontal = static_cast<int>(hash % 3) - 1;
  IniDocument saved = doc;
  record.WriteTo(saved);
  IniDocument again(saved.Bytes());
  MaskSettings reloaded;
  reloaded.ReadFrom(again);
  CheckReloaded(record, reloaded);
  if (!MarkMayLead(doc)) CheckForeignKeysKept(doc, again);
  record.WriteTo(again);
  FUZZ_CHECK(again.Bytes() == saved.Bytes());
  return 0;
}
