#include "settings/mask_settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "settings/ini_store.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() /
           ("softveil_settings_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
            "_" + std::to_string(stamp));
    fs::create_directories(dir_);
    file_ = dir_ / "softveil.ini";
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ec)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(dir_, ec);
  }
  void WriteRaw(const std::string& bytes) const { std::ofstream(file_, std::ios::binary) << bytes; }
  std::string FileBytes() const { return ReadFileBytes(file_).value_or("<none>"); }
  std::size_t FileCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  static MaskSettings Sample() {
    MaskSettings s;
    s.height = 37;
    s.transparence = 300;
    s.horizontal = 0;
    SetSettingsText(s.hotkey_mask_open, "ALT|SHIFT|M");
    SetSettingsText(s.hotkey_lock_open, "CTRL|K");
    SetSettingsText(s.color, "65280");
    return s;
  }
  fs::path dir_;
  fs::path file_;
};

// Works in `dir` until it goes out of scope, whatever the test's outcome.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const fs::path& dir) : previous_(fs::current_path()) { fs::current_path(dir); }
  ~WorkingDirectory() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

void ExpectFields(const MaskSettings& s, int height, int transparence, int horizontal, const char* mask,
                  const char* lock, const char* color) {
  EXPECT_EQ(s.height, height);
  EXPECT_EQ(s.transparence, transparence);
  EXPECT_EQ(s.horizontal, horizontal);
  EXPECT_STREQ(s.hotkey_mask_open, mask);
  EXPECT_STREQ(s.hotkey_lock_open, lock);
  EXPECT_STREQ(s.color, color);
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsNotCreated) {
  MaskSettings s = Sample();
  s.LoadFrom(file_);
  ExpectFields(s, 200, 200, 1, "CTRL|ALT|O", "CTRL|ALT|L", "0");
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(SettingsFileTest, OnlyHeightSetLeavesTheRestAtDefaults) {
  WriteRaw("[settings]\nheight=-20\n");
  MaskSettings s;
  s.LoadFrom(file_);
  ExpectFields(s, -20, 200, 1, "CTRL|ALT|O", "CTRL|ALT|L", "0");
}

TEST_F(SettingsFileTest, LongValueIsCutTo49Characters) {
  const std::string sixty = "CTRL|" + std::string(55, 'X');
  WriteRaw("[settings]\r\nhotkey_mask_open=" + sixty + "\r\ncolor=" + std::string(70, '7') + "\r\n");
  MaskSettings s;
  s.LoadFrom(file_);
  EXPECT_EQ(std::string(s.hotkey_mask_open), sixty.substr(0, 49));
  EXPECT_EQ(std::string(s.color), std::string(49, '7'));
  EXPECT_EQ(s.hotkey_mask_open[49], '\0');
}

TEST_F(SettingsFileTest, FirstSaveWritesSectionAndKeysInSaveOrder) {
  ASSERT_TRUE(Sample().SaveTo(file_));
  EXPECT_EQ(FileBytes(),
            "[settings]\r\nheight=37\r\nhorizontal=0\r\ntransparence=300\r\n"
            "hotkey_mask_open=ALT|SHIFT|M\r\nhotkey_lock_open=CTRL|K\r\ncolor=65280\r\n");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(SettingsFileTest, SaveKeepsForeignKeysSectionsAndOrder) {
  WriteRaw(
      "; my settings\n[other]\nheight=1\n[settings]\ncolor=5\nzoom=3\nheight=9\n"
      "horizontal=1\n[tail]\nx=y\n");
  ASSERT_TRUE(Sample().SaveTo(file_));
  EXPECT_EQ(FileBytes(),
            "; my settings\r\n[other]\r\nheight=1\r\n[settings]\r\ncolor=65280\r\nzoom=3\r\nheight=37\r\n"
            "horizontal=0\r\ntransparence=300\r\nhotkey_mask_open=ALT|SHIFT|M\r\nhotkey_lock_open=CTRL|K\r\n"
            "[tail]\r\nx=y\r\n");
}

TEST_F(SettingsFileTest, LanguageKeyIsWrittenOnlyOnceChosenOrAlreadyThere) {
  const std::string six =
      "[settings]\r\nheight=37\r\nhorizontal=0\r\ntransparence=300\r\n"
      "hotkey_mask_open=ALT|SHIFT|M\r\nhotkey_lock_open=CTRL|K\r\ncolor=65280\r\n";
  MaskSettings s = Sample();
  s.LoadFrom(file_);  // no file: the language is left to the system
  EXPECT_STREQ(s.language, "auto");
  s = Sample();
  ASSERT_TRUE(s.SaveTo(file_));
  EXPECT_EQ(FileBytes(), six) << "the system's language is the default and adds nothing";

  SetSettingsText(s.language, "en");
  ASSERT_TRUE(s.SaveTo(file_));
  EXPECT_EQ(FileBytes(), six + "language=en\r\n");
  MaskSettings back;
  back.LoadFrom(file_);
  EXPECT_STREQ(back.language, "en");

  // Back to the system's language: the key is there now, so it stays.
  SetSettingsText(s.language, "auto");
  ASSERT_TRUE(s.SaveTo(file_));
  EXPECT_EQ(FileBytes(), six + "language=auto\r\n");

  WriteRaw("[settings]\nlanguage=ZH-cn\n");
  back.LoadFrom(file_);
  EXPECT_STREQ(back.language, "ZH-cn") << "read as written";
}

TEST_F(SettingsFileTest, ExtremeIntegersReadBackUnchanged) {
  MaskSettings s = Sample();
  s.height = -10000;
  s.transparence = INT_MAX;
  s.horizontal = -1;
  ASSERT_TRUE(s.SaveTo(file_));
  MaskSettings back;
  back.LoadFrom(file_);
  ExpectFields(back, -10000, INT_MAX, -1, "ALT|SHIFT|M", "CTRL|K", "65280");
  // A height no band can have is brought within reach of the arithmetic.
  for (const auto& [text, height] : {std::pair{"2147483647", 10000}, {"-2147483648", -10000}}) {
    WriteRaw("[settings]\nheight="s + text);
    back.LoadFrom(file_);
    EXPECT_EQ(back.height, height);
  }
}

TEST_F(SettingsFileTest, SavingUnchangedValuesLeavesTheFileAlone) {
  const std::string lf =
      "[settings]\nheight=37\nhorizontal=0\ntransparence=300\n"
      "hotkey_mask_open=ALT|SHIFT|M\nhotkey_lock_open=CTRL|K\ncolor=65280\n";
  WriteRaw(lf);
  EXPECT_TRUE(Sample().SaveTo(file_));
  EXPECT_EQ(FileBytes(), lf);
}

TEST_F(SettingsFileTest, FailedSaveLeavesTheOldFileAndNoTemporary) {
  const std::string old = "[settings]\nheight=1\n";
  WriteRaw(old);
  fs::permissions(file_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_FALSE(Sample().SaveTo(file_));
  EXPECT_EQ(FileBytes(), old);
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(SettingsFileTest, DirectoryWhereTheFileShouldBe) {
  fs::create_directory(file_);
  MaskSettings s = Sample();
  s.LoadFrom(file_);
  ExpectFields(s, 200, 200, 1, "CTRL|ALT|O", "CTRL|ALT|L", "0");
  EXPECT_FALSE(s.SaveTo(file_));
  EXPECT_TRUE(fs::is_directory(file_));
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(SettingsFileTest, Utf16FileIsReadAsDefaultsAndNeverOverwritten) {
  const std::string utf16 = "\xFF\xFE[\0s\0]\0\r\0\n\0"s;
  WriteRaw(utf16);
  MaskSettings s;
  s.LoadFrom(file_);
  EXPECT_EQ(s.height, 200);
  EXPECT_FALSE(Sample().SaveTo(file_));
  EXPECT_EQ(FileBytes(), utf16);
}

TEST_F(SettingsFileTest, GarbageFileLoadsAndSaves) {
  std::string garbage = "\x01\x02\0\xFF\xFE\n=\n[\n]]]\n\0\0\0"s;
  for (int i = 0; i < 2000; ++i) garbage += static_cast<char>(i * 7919 % 256);
  garbage += "\r\n[settings]\r\ntransparence=77 \r\ncolor=\0 255\r\nheight"s;  // no final newline
  WriteRaw(garbage);
  MaskSettings s;
  s.LoadFrom(file_);
  EXPECT_EQ(s.transparence, 77);
  EXPECT_STREQ(s.color, "");    // the value ends at its NUL byte
  EXPECT_EQ(s.height, 200);     // a line without '=' has no value
  ASSERT_TRUE(Sample().SaveTo(file_));
  MaskSettings back;
  back.LoadFrom(file_);
  ExpectFields(back, 37, 300, 0, "ALT|SHIFT|M", "CTRL|K", "65280");

  // "HEIGHT " is no query's name until a save trims it; then it comes first.
  WriteRaw("[settings]\nHEIGHT \0\nheight=5\n"s);
  ASSERT_TRUE(Sample().SaveTo(file_));
  back.LoadFrom(file_);
  EXPECT_EQ(back.height, 37);
}

TEST_F(SettingsFileTest, LoadAndSaveUseTheWorkingDirectory) {
  MaskSettings s;
  {
    WorkingDirectory here(dir_);
    ASSERT_EQ(Sample().Save(), 1);
    EXPECT_EQ(s.Load(), 1);
  }
  ExpectFields(s, 37, 300, 0, "ALT|SHIFT|M", "CTRL|K", "65280");
  EXPECT_TRUE(fs::exists(file_));
}

TEST_F(SettingsFileTest, SaveReportsFailureThroughTheWorkingDirectory) {
  fs::create_directory(file_);
  WorkingDirectory here(dir_);
  EXPECT_EQ(Sample().Save(), 0);
  MaskSettings s = Sample();
  EXPECT_EQ(s.Load(), 1);
  EXPECT_EQ(s.height, 200);
}

TEST(SettingsFilePath, OneSeparatorBeforeTheName) {
#ifdef _WIN32
  EXPECT_EQ(SettingsFilePath("C:\\").string(), "C:\\softveil.ini");
  EXPECT_EQ(SettingsFilePath("C:\\games\\").string(), "C:\\games\\softveil.ini");
  EXPECT_EQ(SettingsFilePath("C:\\games").string(), "C:\\games\\softveil.ini");
#else
  EXPECT_EQ(SettingsFilePath("/").string(), "/softveil.ini");
  EXPECT_EQ(SettingsFilePath("/home/me/").string(), "/home/me/softveil.ini");
  EXPECT_EQ(SettingsFilePath("/home/me").string(), "/home/me/softveil.ini");
#endif
}

TEST(SetSettingsText, CutsTo49AndZeroFills) {
  char slot[kSettingsTextSize];
  SetSettingsText(slot, std::string(80, 'a'));
  SetSettingsText(slot, "xy");
  EXPECT_STREQ(slot, "xy");
  for (std::size_t i = 2; i < kSettingsTextSize; ++i) EXPECT_EQ(slot[i], '\0') << i;
  SetSettingsText(slot, std::string(50, 'b'));
  EXPECT_EQ(std::string(slot), std::string(49, 'b'));
}

TEST(ElfHash, KnownValues) {
  EXPECT_EQ(ElfHash(""), 0u);
  EXPECT_EQ(ElfHash("abc"), 26499u);
  EXPECT_EQ(ElfHash("mask_close"), 23014965u);
  EXPECT_EQ(ElfHash("lock_close"), 23012149u);
  // 0x80 adds -128: 0xFFFFFF80, whose top nibble folds into bits 4-7 and is cleared.
  EXPECT_EQ(ElfHash("\x80"), 0x0FFFFF70u);
}

TEST(ElfHash, StaysInsideAnUnterminatedHeapSlot) {
  // 50 bytes and no zero: the hash covers the 49 a slot can hold, and a
  // sanitizer build reports any read past the 50.
  const std::unique_ptr<char[]> slot(new char[50]);
  std::memset(slot.get(), 'a', 50);
  const std::string fortyNine(49, 'a');
  EXPECT_EQ(ElfHash(slot.get()), ElfHash(fortyNine.c_str()));
}

TEST(FindDuplicateHotkey, ReportsTheLastEntryWithAPartner) {
  struct Case {
    const char* mask;
    const char* lock;
    int expected;
  };
  const Case cases[] = {
      {"ALT|CTRL|O", "ALT|CTRL|O", 2},
      {"ALT|CTRL|O", "ALT|CTRL|L", -1},
      {"", "", 2},
      {"CTRL|ALT|O", "ALT|CTRL|O", -1},  // same hotkey, different text
      {"ALT|CTRL|O", "ALT|CTRL|SHIFT|O", -1},
      {"mask_close", "ALT|CTRL|L", 1},
      {"ALT|CTRL|O", "lock_close", 3},
      {"lock_close", "ALT|CTRL|L", 3},
  };
  for (const Case& c : cases) {
    MaskSettings s;
    SetSettingsText(s.hotkey_mask_open, c.mask);
    SetSettingsText(s.hotkey_lock_open, c.lock);
    EXPECT_EQ(s.FindDuplicateHotkey(), c.expected) << c.mask << " / " << c.lock;
  }
}

TEST(SettingsColor, ReadsTheTextAsALongColour) {
  struct Case {
    const char* text;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"255", 0x0000FFu}, {"65280", 0x00FF00u}, {"16711680", 0xFF0000u}, {"-1", 0xFFFFFFFFu},
      {"red", 0u},        {"0x00FF00", 0u},     {" 12 ", 12u},
  };
  for (const Case& c : cases) {
    MaskSettings s;
    SetSettingsText(s.color, c.text);
    EXPECT_EQ(SettingsColor(s), c.expected) << c.text;
  }
}

}  // namespace

namespace {

// Names `file` for Load and Save until it goes out of scope.
class NamedFile {
 public:
  explicit NamedFile(const fs::path& file) { UseSettingsFile(file); }
  ~NamedFile() { UseSettingsFile({}); }
};

}  // namespace

TEST_F(SettingsFileTest, ANamedFileIsUsedWhateverTheWorkingDirectory) {
  const fs::path elsewhere = dir_ / "work";
  fs::create_directory(elsewhere);
  const fs::path named = dir_ / "我的 设置" / "reading.ini";
  fs::create_directory(named.parent_path());
  WorkingDirectory here(elsewhere);
  NamedFile use(named);
  EXPECT_EQ(SettingsFileInUse(), named);
  ASSERT_EQ(Sample().Save(), 1);
  MaskSettings s;
  EXPECT_EQ(s.Load(), 1);
  ExpectFields(s, 37, 300, 0, "ALT|SHIFT|M", "CTRL|K", "65280");
  EXPECT_TRUE(fs::exists(named));
  EXPECT_TRUE(fs::is_empty(elsewhere));
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(SettingsFileTest, ANamedFileInAMissingFolderLoadsDefaultsAndFailsToSave) {
  WorkingDirectory here(dir_);
  NamedFile use(dir_ / "missing" / "softveil.ini");
  MaskSettings s = Sample();
  EXPECT_EQ(s.Load(), 1);
  ExpectFields(s, 200, 200, 1, "CTRL|ALT|O", "CTRL|ALT|L", "0");
  EXPECT_EQ(Sample().Save(), 0);
  EXPECT_EQ(FileCount(), 0u);  // nothing in the working directory either
}

TEST_F(SettingsFileTest, WithoutANamedFileTheWorkingDirectoryIsFollowed) {
  const fs::path other = dir_ / "other";
  fs::create_directory(other);
  {
    WorkingDirectory here(dir_);
    EXPECT_EQ(SettingsFileInUse(), fs::current_path() / "softveil.ini");
  }
  {
    WorkingDirectory here(other);
    EXPECT_EQ(SettingsFileInUse(), fs::current_path() / "softveil.ini");
    {
      NamedFile use(file_);
      EXPECT_EQ(SettingsFileInUse(), file_);
    }
    EXPECT_EQ(SettingsFileInUse(), fs::current_path() / "softveil.ini");
  }
}
