// Runs the same reads and writes through our INI store and through the
// platform's own profile functions, each on its own copy of a file, and
// compares the values returned and the bytes left on disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "settings/file_system_win32.h"
#include "settings/ini_store.h"
#include "settings/mask_settings.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

enum class OpKind { ReadString, ReadInt, Write };

struct Op {
  OpKind kind;
  std::string section;
  std::string key;
  std::string text;  // the default of a string read, or the value to write
  int intDefault = 0;
  DWORD bufferSize = 50;
};

Op ReadStr(std::string section, std::string key, std::string defaultValue = "DEF", DWORD bufferSize = 50) {
  return {OpKind::ReadString, std::move(section), std::move(key), std::move(defaultValue), 0, bufferSize};
}
Op ReadInt(std::string section, std::string key, int defaultValue = -7) {
  return {OpKind::ReadInt, std::move(section), std::move(key), "", defaultValue, 0};
}
Op Write(std::string section, std::string key, std::string value) {
  return {OpKind::Write, std::move(section), std::move(key), std::move(value), 0, 0};
}

std::string Visible(const std::string& bytes) {
  std::string out;
  for (const unsigned char c : bytes) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c < 32 || c > 126) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else out += static_cast<char>(c);
  }
  return out;
}

std::string FileState(const fs::path& path) {
  const std::optional<std::string> bytes = ReadFileBytes(path);
  return bytes ? "file: " + Visible(*bytes) : "no file";
}

// One line per operation: what it returned, and after a write the file.
std::vector<std::string> RunPlatform(const fs::path& path, const std::vector<Op>& ops) {
  const std::string file = path.string();
  std::vector<std::string> log;
  for (const Op& op : ops) {
    switch (op.kind) {
      case OpKind::ReadString: {
        std::vector<char> buffer(op.bufferSize + 1, '#');
        const DWORD n = GetPrivateProfileStringA(op.section.c_str(), op.key.c_str(), op.text.c_str(), buffer.data(),
                                                 op.bufferSize, file.c_str());
        log.push_back("string " + std::to_string(n) + " '" + Visible(std::string(buffer.data(), n)) + "'");
        break;
      }
      case OpKind::ReadInt: {
        const UINT v = GetPrivateProfileIntA(op.section.c_str(), op.key.c_str(), op.intDefault, file.c_str());
        log.push_back("int " + std::to_string(static_cast<int>(v)));
        break;
      }
      case OpKind::Write: {
        const BOOL ok = WritePrivateProfileStringA(op.section.c_str(), op.key.c_str(), op.text.c_str(), file.c_str());
        log.push_back("write " + std::to_string(ok ? 1 : 0) + " " + FileState(path));
        break;
      }
    }
  }
  return log;
}

std::vector<std::string> RunOurs(const fs::path& path, const std::vector<Op>& ops) {
  std::vector<std::string> log;
  for (const Op& op : ops) {
    switch (op.kind) {
      case OpKind::ReadString: {
        const std::string v = ProfileString(LoadIniFile(path), op.section, op.key, op.text, op.bufferSize);
        log.push_back("string " + std::to_string(v.size()) + " '" + Visible(v) + "'");
        break;
      }
      case OpKind::ReadInt:
        log.push_back("int " + std::to_string(ProfileInt(LoadIniFile(path), op.section, op.key, op.intDefault)));
        break;
      case OpKind::Write: {
        const bool ok = EditIniFile(path, [&op](IniDocument& doc) { doc.Set(op.section, op.key, op.text); });
        log.push_back("write " + std::to_string(ok ? 1 : 0) + " " + FileState(path));
        break;
      }
    }
  }
  return log;
}

class IniDifferentialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = fs::temp_directory_path() / ("softveil_diff_" + std::to_string(stamp));
    fs::create_directories(root_);
    ASSERT_TRUE(root_.is_absolute());
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // A fresh directory for every run: the platform functions cache files by
  // name and would not notice a file rewritten within the same clock tick.
  fs::path FreshFile(const std::string& side) {
    const fs::path dir = root_ / (side + std::to_string(++runs_));
    fs::create_directories(dir);
    return dir / "softveil.ini";
  }

  static void Place(const fs::path& path, const std::optional<std::string>& bytes) {
    if (bytes) std::ofstream(path, std::ios::binary) << *bytes;
  }

  void ExpectSame(const std::optional<std::string>& initial, const std::vector<Op>& ops) {
    const fs::path platform = FreshFile("platform");
    const fs::path ours = FreshFile("ours");
    Place(platform, initial);
    Place(ours, initial);
    const std::vector<std::string> expected = RunPlatform(platform, ops);
    const std::vector<std::string> actual = RunOurs(ours, ops);
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "operation " << i;
    EXPECT_EQ(FileState(ours), FileState(platform));
  }

  fs::path root_;
  int runs_ = 0;
};

const char* const kSixKeys[] = {"height", "horizontal", "transparence", "hotkey_mask_open", "hotkey_lock_open",
                                "color"};

std::vector<Op> ReadAllSix() {
  std::vector<Op> ops;
  for (const char* key : kSixKeys) {
    ops.push_back(ReadStr("settings", key));
    ops.push_back(ReadInt("settings", key));
  }
  return ops;
}

TEST_F(IniDifferentialTest, MissingFile) {
  std::vector<Op> ops = ReadAllSix();
  ops.push_back(ReadStr("settings", "height", "CTRL|ALT|O  "));  // trailing blanks of a default
  ExpectSame(std::nullopt, ops);
  EXPECT_EQ(FileState(root_ / "ours2" / "softveil.ini"), "no file");  // reading created nothing
}

TEST_F(IniDifferentialTest, FileWithOnlyHeight) {
  ExpectSame("[settings]\r\nheight=150\r\n", ReadAllSix());
  ExpectSame("[settings]\nheight=150", ReadAllSix());
}

TEST_F(IniDifferentialTest, SixKeysSavedInSaveOrderIntoANewFile) {
  std::vector<Op> ops = {Write("settings", "height", "200"),
                         Write("settings", "horizontal", "1"),
                         Write("settings", "transparence", "200"),
                         Write("settings", "hotkey_mask_open", "ALT|CTRL|O"),
                         Write("settings", "hotkey_lock_open", "ALT|CTRL|L"),
                         Write("settings", "color", "0")};
  for (const Op& read : ReadAllSix()) ops.push_back(read);
  ExpectSame(std::nullopt, ops);
}

TEST_F(IniDifferentialTest, OtherOrderForeignKeysAndSections) {
  const std::vector<Op> ops = {ReadStr("settings", "color"), Write("settings", "height", "37"),
                               Write("settings", "horizontal", "0"), Write("settings", "transparence", "300"),
                               Write("settings", "color", "255"), Write("Extra", "new", "v"),
                               ReadStr("other", "height"), ReadInt("settings", "zoom")};
  const std::string crlf =
      "; mine\r\n[other]\r\nheight=1\r\n[settings]\r\ncolor=5\r\nzoom=3\r\nheight=9\r\n[extra]\r\nold=1\r\n";
  ExpectSame(crlf, ops);
  std::string lf = crlf;
  for (std::size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
  ExpectSame(lf, ops);
}

TEST_F(IniDifferentialTest, SixtyCharacterValue) {
  const std::string sixty = "CTRL|ALT|" + std::string(51, 'Q');
  ExpectSame("[settings]\r\nhotkey_mask_open=" + sixty + "\r\n",
             {ReadStr("settings", "hotkey_mask_open"), ReadStr("settings", "hotkey_mask_open", "", 10),
              ReadStr("settings", "hotkey_mask_open", "", 1), Write("settings", "hotkey_lock_open", sixty),
              ReadStr("settings", "hotkey_lock_open")});
  ExpectSame("[s]\r\nq='" + std::string(49, 'y') + "'\r\nr='" + std::string(60, 'y') + "'\r\n",
             {ReadStr("s", "q"), ReadStr("s", "r")});
}

TEST_F(IniDifferentialTest, NegativeAndLargeIntegers) {
  std::vector<Op> ops;
  const char* values[] = {"-20",  "-2147483648", "2147483647", "4294967297", "-2147483649", "0",     "+7",
                          "12px", "abc",         "",           "0x10",       "-0x10",       "0X10",  "0b101",
                          "0o17", "'42'",        "  5",        "000000000000000000000000000001234"};
  for (const char* v : values) {
    ops.push_back(Write("settings", "height", v));
    ops.push_back(ReadInt("settings", "height"));
    ops.push_back(ReadStr("settings", "height"));
  }
  ExpectSame(std::nullopt, ops);
}

TEST_F(IniDifferentialTest, LineEndsSpacingCommentsAndCase) {
  const std::vector<Op> ops = {ReadStr("SETTINGS", "Height"), Write("settings", "HEIGHT", "5"),
                               Write("settings", "color", "9"), ReadStr("settings", "foo")};
  const std::string shapes[] = {
      "[settings]\r\nheight=1\r\nfoo=bar\r\n",
      "[settings]\nheight=1\nfoo=bar\n",
      "[settings]\rheight=1\rfoo=bar\r",
      "[settings]\r\nheight=1\nfoo=bar",
      "\r\n\r\n[Settings]  \r\n  height  =  1  \r\n\r\n; note = x\r\n  foo =bar baz \r\n\r\n[x]\r\nA=1\r\n\r\n",
      "[settings] trailing\nheight\nfoo=\n[settings\n",
      "\xEF\xBB\xBF[settings]\nheight=1\n",
      "[settings]\nheight=1\n",  // written back unchanged: no rewrite at all
  };
  for (const std::string& shape : shapes) {
    SCOPED_TRACE(Visible(shape));
    ExpectSame(shape, ops);
  }
  ExpectSame("[settings]\nheight=5\n", {Write("settings", "height", "5")});
}

TEST_F(IniDifferentialTest, DuplicateSectionsAndKeys) {
  const std::vector<Op> ops = {ReadStr("settings", "height"), ReadStr("settings", "width"), ReadStr("a", "k"),
                               Write("settings", "height", "3"), Write("settings", "width", "4"),
                               Write("a", "k", "5")};
  ExpectSame("[a]\nk=1\n[settings]\nheight=1\n[a]\nk=2\n[settings]\nheight=2\nwidth=7\n", ops);
  ExpectSame("[settings]\nheight=1\nheight=2\nHEIGHT=3\n", ops);
}

TEST_F(IniDifferentialTest, OddLines) {
  const std::vector<Op> ops = {ReadStr("s", ""), ReadStr("s", "k"), ReadStr("s", "n"), ReadStr("t", "z"),
                               Write("s", "k", "w"), Write("  s  ", "  K  ", "  lead trail  "),
                               ReadStr("s", "k"), Write(" t ", " new ", "2")};
  ExpectSame("x=1\n[s]\n=x\n=y\nk=v\n=z\n[]\nm=1\n", ops);
  ExpectSame("[s]\nk=a\0b\nn\0x=1\n[t\0u]\nz=2\n\0\n"s, ops);
  ExpectSame("[s]\nk=\x1Av\x1A\nn=\x0Bq\x0C\nz\x1C=\x1F" "1\n", ops);
}

TEST_F(IniDifferentialTest, BinaryGarbage) {
  std::vector<Op> ops = ReadAllSix();
  ops.push_back(Write("settings", "height", "43"));
  ops.push_back(Write("new", "k", "1"));
  ops.push_back(ReadInt("settings", "height"));
  // Bytes 1 to 127 mean the same in every code page.
  std::string ascii;
  for (int i = 0; i < 3000; ++i) ascii += static_cast<char>(1 + (i * 37 + i / 256) % 127);
  ExpectSame(ascii + "\n[settings]\nheight=42\n", ops);
  // Every byte value, NUL included; bytes above 127 pass the platform's
  // code page unchanged only in the single-byte Western one.
  if (GetACP() == 1252) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
      std::string noise = "[settings]\nheight=1\n";
      unsigned x = seed;
      for (int i = 0; i < 3000; ++i) {
        x = x * 1103515245u + 12345u;
        noise += static_cast<char>((x >> 16) & 0xFF);
      }
      ExpectSame(noise + "\n[settings]\nheight=42", ops);
    }
  }
  ExpectSame("[settings]\nk=" + std::string(100000, 'z') + "\nheight=1\n",
             {ReadStr("settings", "k"), Write("settings", "height", "2")});
}

TEST_F(IniDifferentialTest, DirectoryWhereTheFileShouldBe) {
  const fs::path platform = FreshFile("platform");
  const fs::path ours = FreshFile("ours");
  fs::create_directory(platform);
  fs::create_directory(ours);
  const std::vector<Op> ops = {ReadStr("settings", "height"), ReadInt("settings", "height"),
                               Write("settings", "height", "1")};
  EXPECT_EQ(RunOurs(ours, ops), RunPlatform(platform, ops));
  EXPECT_TRUE(fs::is_directory(ours));
}

TEST_F(IniDifferentialTest, FileHeldOpenByAnotherProgram) {
  const std::string old = "[settings]\nheight=9\n";
  const std::vector<Op> ops = {ReadStr("settings", "height"), ReadInt("settings", "height"),
                               Write("settings", "height", "1")};
  // Without sharing nobody else may even read the file; with read sharing
  // it can be read but neither written nor replaced (our rename fails).
  for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    SCOPED_TRACE(share);
    std::vector<std::string> logs[2];
    for (int side = 0; side < 2; ++side) {
      const fs::path path = FreshFile(side == 0 ? "platform" : "ours");
      Place(path, old);
      const HANDLE held = CreateFileW(path.wstring().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
      logs[side] = side == 0 ? RunPlatform(path, ops) : RunOurs(path, ops);
      CloseHandle(held);
      EXPECT_EQ(ReadFileBytes(path), old);
      EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);
    }
    EXPECT_EQ(logs[1], logs[0]);
  }
}

// The record's own load and save against the same calls made the way the
// program made them with the platform functions.
std::string ValueOf(const SettingsKey& key, const MaskSettings& s) {
  if (key.intField) return std::to_string(s.*key.intField);
  return key.listField ? s.*key.listField : std::string(s.*key.textField);
}

void PlatformLoad(const fs::path& path, MaskSettings& s) {
  const std::string file = path.string();
  for (const SettingsKey& key : SettingsKeys()) {
    const std::string name(key.name);
    if (key.intField) {
      s.*key.intField = static_cast<int>(GetPrivateProfileIntA("settings", name.c_str(), key.intDefault, file.c_str()));
    } else if (key.listField) {
      std::string list(kSettingsListSize, '\0');
      GetPrivateProfileStringA("settings", name.c_str(), "", list.data(), kSettingsListSize, file.c_str());
      s.*key.listField = list.c_str();
    } else {
      const std::string byDefault(key.textDefault);
      GetPrivateProfileStringA("settings", name.c_str(), byDefault.c_str(), s.*key.textField, 50, file.c_str());
    }
  }
}

bool PlatformWriteKeys(const fs::path& path, const MaskSettings& s) {
  const std::string file = path.string();
  bool ok = true;
  for (const SettingsKey& key : SettingsKeys()) {
    const std::string name(key.name);
    const std::string value = ValueOf(key, s);
    if (key.optional) {
      // A later key is written once the file has it or it is not the default.
      char probe[4] = {};
      GetPrivateProfileStringA("settings", name.c_str(), "\x01", probe, sizeof probe, file.c_str());
      const std::string byDefault = key.intField ? std::to_string(key.intDefault) : std::string(key.textDefault);
      if (std::string(probe) == "\x01" && value == byDefault) continue;
    }
    ok = WritePrivateProfileStringA("settings", name.c_str(), value.c_str(), file.c_str()) && ok;
  }
  return ok;
}

// Twice: a line that the first write brings to light takes the value then.
bool PlatformSave(const fs::path& path, const MaskSettings& s) {
  return PlatformWriteKeys(path, s) & PlatformWriteKeys(path, s);
}

std::string Describe(const MaskSettings& s) {
  std::string text;
  for (const SettingsKey& key : SettingsKeys()) {
    text += ValueOf(key, s);
    text += ",";
  }
  return text;
}

// Every file with every record.
template <std::size_t N>
std::vector<std::pair<std::optional<std::string>, MaskSettings>> Combinations(
    const std::optional<std::string> (&files)[N], std::initializer_list<MaskSettings> records) {
  std::vector<std::pair<std::optional<std::string>, MaskSettings>> all;
  for (const auto& file : files) {
    for (const MaskSettings& record : records) all.emplace_back(file, record);
  }
  return all;
}

TEST_F(IniDifferentialTest, RecordLoadAndSave) {
  MaskSettings edited{};
  edited.height = -kMaxSettingsLength;
  edited.transparence = 300;
  edited.horizontal = 0;
  SetSettingsText(edited.hotkey_mask_open, "ALT|SHIFT|M");
  SetSettingsText(edited.hotkey_lock_open, "ALT|CTRL|L");
  SetSettingsText(edited.color, "-16711936");
  // The same with the reading keys in use: the later keys are written too.
  MaskSettings reading = edited;
  SetSettingsText(reading.hotkey_next, "CTRL|ALT|J");
  SetSettingsText(reading.hotkey_thinner, "SHIFT|F3");
  reading.step = 120;
  reading.overlap = 0;
  reading.thickness_step = -4;
  SetSettingsText(reading.follow, "caret");
  reading.exclude = "vlc.exe; " + std::string(70, 'g') + ".exe";

  const std::optional<std::string> files[] = {
      std::nullopt,
      "[settings]\r\nheight=150\r\n",
      "[settings]\nhotkey_mask_open=" + std::string(60, 'W') + "\ncolor=16711680\nzoom=2\n[other]\nx=1\n",
      "[other]\nheight=1\n[settings]\ncolor=0x10\ntransparence=-5\nhorizontal=7\n",
      "[settings]\r\nheight=-10000\r\nhorizontal=0\r\ntransparence=300\r\n"
      "hotkey_mask_open=ALT|SHIFT|M\r\nhotkey_lock_open=ALT|CTRL|L\r\ncolor=-16711936\r\n",
      "[settings]\r\nlanguage=en\r\ncolor=1\r\n",  // a key added later, already in the file
      "[settings]\r\nheight=90\r\nfine_step=7\r\nhotkey_previous=CTRL|ALT|K\r\noverlap=-1\r\n[other]\r\nstep=3\r\n",
      "[settings]\r\nexclude= a.exe ;b.exe " + std::string(1100, 'x') + "\r\nfollow=pointer\r\n",
      // "HEIGHT " is no height until a rewrite trims it; then it hides the next line.
      "[Settings]\nHEIGHT \0\nheight=2\nhorizontal=1\nhotkey_mask_open=\rcolor="s,
  };
  for (const auto& [initial, record] : Combinations(files, {edited, reading})) {
    SCOPED_TRACE(initial ? Visible(*initial) : "no file");
    SCOPED_TRACE(Describe(record));
    const fs::path platform = FreshFile("platform");
    const fs::path ours = FreshFile("ours");
    Place(platform, initial);
    Place(ours, initial);

    MaskSettings fromPlatform{};
    MaskSettings fromOurs{};
    PlatformLoad(platform, fromPlatform);
    fromOurs.LoadFrom(ours);
    EXPECT_EQ(Describe(fromOurs), Describe(fromPlatform));

    EXPECT_EQ(record.SaveTo(ours), PlatformSave(platform, record));
    EXPECT_EQ(FileState(ours), FileState(platform));
    EXPECT_EQ(std::distance(fs::directory_iterator(ours.parent_path()), fs::directory_iterator()), 1);

    PlatformLoad(platform, fromPlatform);
    fromOurs.LoadFrom(ours);
    EXPECT_EQ(Describe(fromOurs), Describe(fromPlatform));
    EXPECT_EQ(Describe(fromOurs), Describe(record));
  }
}

// A save replaces the file with a new one; what belongs to the file rather
// than to its bytes stays: here its hidden and system attributes.
TEST_F(IniDifferentialTest, SaveKeepsTheFileAttributes) {
  const fs::path file = FreshFile("ours");
  Place(file, "[settings]\r\nheight=150\r\n");
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), kKept));
  ASSERT_EQ(GetFileAttributesW(file.c_str()) & kKept, kKept);

  MaskSettings edited = DefaultSettings();
  edited.height = 90;
  ASSERT_TRUE(edited.SaveTo(file));

  EXPECT_EQ(GetFileAttributesW(file.c_str()) & kKept, kKept);
  MaskSettings reloaded{};
  reloaded.LoadFrom(file);
  EXPECT_EQ(reloaded.height, 90);
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}

// A replace failing as ReplaceFileW documents: with 1177 the old file has
// already taken the backup's name; with 1175 and 1176 both keep their names.
DWORD g_replaceError = 0;
BOOL WINAPI FailingReplace(LPCWSTR replaced, LPCWSTR, LPCWSTR backup, DWORD, LPVOID, LPVOID) {
  if (g_replaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) MoveFileW(replaced, backup);
  SetLastError(g_replaceError);
  return FALSE;
}

TEST_F(IniDifferentialTest, FailedReplaceLeavesTheOldFile) {
  for (const DWORD error : {1175, 1176, 1177}) {
    const fs::path file = FreshFile("ours"), written = file.wstring() + L".tmp";
    Place(file, "old");
    Place(written, "new");
    g_replaceError = error;
    EXPECT_FALSE(SwapInFileWith(FailingReplace, written, file)) << error;
    EXPECT_EQ(ReadFileBytes(file), "old") << error;
    EXPECT_FALSE(fs::exists(file.wstring() + L".old.tmp")) << error;
  }
}

}  // namespace
