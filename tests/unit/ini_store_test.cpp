#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct ReadCase {
  std::string file;
  const char* section;
  const char* key;
  std::string expected;  // "DEF" when the default comes back
};

// Expected values follow what the platform's profile functions were seen
// to return for the same text.
TEST(ProfileString, ReadsValuesAsTheProfileFunctionsDo) {
  const ReadCase cases[] = {
      {"", "settings", "height", "DEF"},
      {"[settings]\r\nheight=5\r\n", "settings", "height", "5"},
      {"[settings]\nheight=5", "settings", "height", "5"},  // LF, no final newline
      {"[settings]\rheight=5\r", "settings", "height", "5"},  // bare CR
      {"[settings]\r\nheight=5\r\n", "other", "height", "DEF"},
      {"[settings]\r\nheight=5\r\n", "settings", "width", "DEF"},
      {"[Settings]\r\nHEIGHT=5\r\n", "settings", "height", "5"},
      {"  [settings]  \n  height  =  5 6  \n", "settings", "height", "5 6"},
      {"[settings] comment\nheight=5\n", "settings", "height", "5"},
      {"[settings]\nheight\n", "settings", "height", "DEF"},  // no '='
      {"[settings]\nheight=\n", "settings", "height", ""},
      {"[settings]\nheight=1\nheight=2\n", "settings", "height", "1"},
      {"[settings]\nheight=1\n[settings]\nheight=2\nwidth=3\n", "settings", "height", "1"},
      // Only the first section of a name is searched.
      {"[settings]\nheight=1\n[settings]\nheight=2\nwidth=3\n", "settings", "width", "DEF"},
      {"height=9\n[settings]\n", "settings", "height", "DEF"},
      {"[settings\nheight=5\n", "settings", "height", "DEF"},  // not a header
      {"[a]\nx=1\n\n\n[settings]\n; note\nheight=5\n", "settings", "height", "5"},
      {"[settings]\nk='abc'\n", "settings", "k", "abc"},
      {"[settings]\nk=\"abc\"\n", "settings", "k", "abc"},
      {"[settings]\nk='abc\n", "settings", "k", "'abc"},
      {"[settings]\nk='\n", "settings", "k", "'"},
      {"[settings]\nk=''\n", "settings", "k", ""},
      {"[settings]\nk=\x1Av\x1A\n", "settings", "k", "v"},  // 0x1A counts as space
      {"[settings]\nk=a\0b\n"s, "settings", "k", "a"},
      {"[settings]\nhe\0x=1\n"s, "settings", "he", "1"},
      {"\xEF\xBB\xBF[settings]\nk=v\n", "settings", "k", "v"},
      {"[settings]\n=x\n=y\n", "settings", "", "x"},
  };
  for (const ReadCase& c : cases) {
    const IniDocument doc(c.file);
    EXPECT_EQ(ProfileString(doc, c.section, c.key, "DEF", 50), c.expected) << "file: " << c.file;
  }
}

TEST(ProfileString, CutsToTheBuffer) {
  const std::string sixty(60, 'x');
  const IniDocument doc("[s]\nk=" + sixty + "\nq='" + std::string(60, 'y') + "'\nr='" + std::string(49, 'r') +
                        "'\n");
  EXPECT_EQ(ProfileString(doc, "s", "k", "", 50), std::string(49, 'x'));
  EXPECT_EQ(ProfileString(doc, "s", "k", "", 1), "");
  EXPECT_EQ(ProfileString(doc, "s", "k", "", 0), "");
  // Quotes go by position: a long quoted value loses only its opening quote,
  // and one that ends exactly at the buffer loses its last letter instead
  // of the closing quote.
  EXPECT_EQ(ProfileString(doc, "s", "q", "", 50), std::string(49, 'y'));
  EXPECT_EQ(ProfileString(doc, "s", "r", "", 50), std::string(48, 'r'));
  EXPECT_EQ(ProfileString(doc, "s", "missing", "abcdef", 4), "abc");
  EXPECT_EQ(ProfileString(doc, "s", "missing", "ab  ", 50), "ab");
}

TEST(ProfileInt, ReadsSignedNumbers) {
  struct Case {
    const char* value;
    int expected;
  };
  const Case cases[] = {
      {"200", 200},
      {"-20", -20},
      {"+7", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"4294967297", 1},            // wraps, as the profile functions' sum does
      {"-2147483649", 2147483647},
      {"abc", 0},                   // present but not a number
      {"12px", 12},
      {"0x10", 16},
      {"-0x10", -16},
      {"0b101", 5},
      {"0o17", 15},
      {"0X10", 0},                  // only lower-case prefixes
      {"'42'", 42},
      {"000000000000000000000000000001234", 0},  // cut to 29 characters first
  };
  for (const Case& c : cases) {
    const IniDocument doc(std::string("[s]\nk=") + c.value + "\n");
    EXPECT_EQ(ProfileInt(doc, "s", "k", -7), c.expected) << c.value;
  }
}

TEST(ProfileInt, DefaultWhenMissingOrEmpty) {
  EXPECT_EQ(ProfileInt(IniDocument(""), "s", "k", -7), -7);
  EXPECT_EQ(ProfileInt(IniDocument("[s]\nk=\n"), "s", "k", 33), 33);
  EXPECT_EQ(ProfileInt(IniDocument("[s]\nk\n"), "s", "k", 34), 34);
}

struct WriteCase {
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

TEST(IniDocumentSet, RewritesTheFileAsTheProfileFunctionsDo) {
  const WriteCase cases[] = {
      {"", "settings", "height", "200", "[settings]\r\nheight=200\r\n"},
      {"[settings]\r\nheight=5\r\nfoo=bar\r\n", "settings", "height", "7", "[settings]\r\nheight=7\r\nfoo=bar\r\n"},
      // An LF file comes back with CRLF throughout.
      {"[settings]\nheight=5\nfoo=bar\n", "settings", "height", "7", "[settings]\r\nheight=7\r\nfoo=bar\r\n"},
      {"[settings]\nheight=5\nfoo=bar\n", "settings", "color", "9",
       "[settings]\r\nheight=5\r\nfoo=bar\r\ncolor=9\r\n"},
      {"[settings]\nheight=5", "new", "k", "v", "[settings]\r\nheight=5\r\n[new]\r\nk=v\r\n"},
      // Blank lines and spacing go, comments stay, new keys follow them.
      {"[settings]\nheight = 5\n  foo  =  bar  \n; comment\n\n[x]\nA=1\n", "settings", "color", "9",
       "[settings]\r\nheight=5\r\nfoo=bar\r\n; comment\r\ncolor=9\r\n[x]\r\nA=1\r\n"},
      // The name as written in the file stays.
      {"[X]\nA=1\n", "x", "a", "2", "[X]\r\nA=2\r\n"},
      {"[s]\nk=1\nk=2\n", "s", "k", "3", "[s]\r\nk=3\r\nk=2\r\n"},
      {"[s]\nk=1\n[s]\nk=2\n", "s", "k", "3", "[s]\r\nk=3\r\n[s]\r\nk=2\r\n"},
      {"[s]\nk\n", "s", "k", "3", "[s]\r\nk=3\r\n"},
      {"lead=1\n[s] tail\n[s2\nk=v\n[]\nm=1\n", "s", "k", "w", "lead=1\r\n[s]\r\n[s2\r\nk=w\r\nm=1\r\n"},
      {"[s]\n=x\n=y\nk=v\n=z\n", "s", "k", "w", "[s]\r\n=x\r\nk=w\r\n=z\r\n"},
      {"[s]\nk=a\0b\nn\0x=1\n"s, "s", "k", "c", "[s]\r\nk=c\r\nn=1\r\n"},
      {"\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "w", "\xEF\xBB\xBF[s]\r\nk=w\r\n"},
      {"[s]\nk=v\n", "  s  ", "  K  ", "1", "[s]\r\nk=1\r\n"},
      // Leading blanks of a value go; trailing ones are written.
      {"[s]\nk=v\n", "s", "k", "  lead trail  ", "[s]\r\nk=lead trail  \r\n"},
      {"[s]\nk=v\n", " t ", " new ", "2", "[s]\r\nk=v\r\n[t ]\r\nnew =2\r\n"},
  };
  for (const WriteCase& c : cases) {
    IniDocument doc(c.before);
    doc.Set(c.section, c.key, c.value);
    EXPECT_EQ(doc.Bytes(), c.after) << "before: " << c.before;
  }
}

TEST(IniDocumentSet, SameValueLeavesTheTextUntouched) {
  const std::string lf = "[s]\n  k = v \n\n; c\n";
  IniDocument doc(lf);
  doc.Set("S", "K", "v");
  EXPECT_EQ(doc.Bytes(), lf);
  EXPECT_EQ(doc.Get("s", "k"), "v");
}

TEST(IniDocumentSet, WrittenFileReadsBackAndRewritesIdentically) {
  IniDocument doc("");
  doc.Set("settings", "height", "-2147483648");
  doc.Set("settings", "hotkey_mask_open", "ALT|CTRL|O");
  doc.Set("other", "x", "1");
  const std::string written = doc.Bytes();
  IniDocument reread(written);
  EXPECT_EQ(ProfileInt(reread, "settings", "height", 0), INT32_MIN);
  EXPECT_EQ(ProfileString(reread, "settings", "hotkey_mask_open", "", 50), "ALT|CTRL|O");
  reread.Set("settings", "height", "-2147483648");
  EXPECT_EQ(reread.Bytes(), written);
}

TEST(IniDocument, GarbageNeverBreaksReading) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
  garbage += "\n[settings]\nheight=42";  // still found after the noise
  IniDocument doc(garbage);
  EXPECT_EQ(ProfileInt(doc, "settings", "height", 0), 42);
  doc.Set("settings", "height", "43");
  EXPECT_EQ(ProfileInt(IniDocument(doc.Bytes()), "settings", "height", 0), 43);

  const std::string longLine = "[s]\nk=" + std::string(100000, 'z') + "\nnext=1\n";
  const IniDocument big(longLine);
  EXPECT_EQ(ProfileString(big, "s", "k", "", 50), std::string(49, 'z'));
  EXPECT_EQ(ProfileInt(big, "s", "next", 0), 1);
}

TEST(IsEditableIniText, RefusesUtf16) {
  EXPECT_TRUE(IsEditableIniText("[s]\r\n"));
  EXPECT_TRUE(IsEditableIniText(""));
  EXPECT_TRUE(IsEditableIniText("\xEF\xBB\xBF[s]"));
  EXPECT_FALSE(IsEditableIniText("\xFF\xFE[\0"s));
  EXPECT_FALSE(IsEditableIniText("\xFE\xFF"));
}

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() /
           ("softveil_ini_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
            std::to_string(stamp));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ec)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(dir_, ec);
  }
  static void WriteRaw(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::size_t FileCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

TEST_F(IniFileTest, ReadFileBytesGivesNothingForMissingFileOrDirectory) {
  EXPECT_FALSE(ReadFileBytes(dir_ / "missing.ini"));
  EXPECT_FALSE(ReadFileBytes(dir_));
  EXPECT_EQ(FileCount(), 0u);
}

TEST_F(IniFileTest, ReadFileBytesKeepsEveryByte) {
  const std::string bytes = "a\r\n\0b\x1A\xFFz"s;
  WriteRaw(dir_ / "x.ini", bytes);
  EXPECT_EQ(ReadFileBytes(dir_ / "x.ini"), bytes);
  WriteRaw(dir_ / "empty.ini", "");
  EXPECT_EQ(ReadFileBytes(dir_ / "empty.ini"), "");
}

TEST_F(IniFileTest, ReplaceCreatesAndReplacesLeavingNoTemporary) {
  const fs::path file = dir_ / "x.ini";
  ASSERT_TRUE(ReplaceFileAtomically(file, "first"));
  EXPECT_EQ(ReadFileBytes(file), "first");
  ASSERT_TRUE(ReplaceFileAtomically(file, "second, longer"));
  ASSERT_TRUE(ReplaceFileAtomically(file, "3"));
  EXPECT_EQ(ReadFileBytes(file), "3");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(IniFileTest, ReplaceFailsOnADirectoryAndLeavesItAlone) {
  const fs::path file = dir_ / "x.ini";
  fs::create_directory(file);
  EXPECT_FALSE(ReplaceFileAtomically(file, "bytes"));
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(IniFileTest, ReplaceFailsOnAReadOnlyFile) {
  const fs::path file = dir_ / "x.ini";
  WriteRaw(file, "old\n");
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_FALSE(ReplaceFileAtomically(file, "new"));
  EXPECT_EQ(ReadFileBytes(file), "old\n");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(IniFileTest, ReplaceFailsWhenTheTemporaryCannotBeWritten) {
  const fs::path file = dir_ / "x.ini";
  WriteRaw(file, "old\n");
  fs::create_directory(dir_ / "x.ini.tmp");  // stands where the new file would go
  EXPECT_FALSE(ReplaceFileAtomically(file, "new"));
  EXPECT_EQ(ReadFileBytes(file), "old\n");
}

TEST_F(IniFileTest, ReplaceFailsInAMissingDirectory) {
  EXPECT_FALSE(ReplaceFileAtomically(dir_ / "nowhere" / "x.ini", "new"));
  EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
}

}  // namespace
