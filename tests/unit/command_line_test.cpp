#include "common/command_line.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::wstring>;

struct SplitCase {
  const wchar_t* line;
  Args args;
};

// Worked out from the rules: the program name up to the next quote (or
// blank); then 2n backslashes + quote give n backslashes and open or close
// the quotes, 2n+1 give n and a quote, other backslashes are plain, and in a
// run of quotes every third is a character.
const SplitCase kSplitCases[] = {
    {LR"("C:\Program Files\softveil\softveil.exe" --settings "C:\Users\李明\AppData\Roaming\softveil\softveil.ini")",
     {LR"(C:\Program Files\softveil\softveil.exe)", L"--settings", LR"(C:\Users\李明\AppData\Roaming\softveil\softveil.ini)"}},
    {L"softveil.exe", {L"softveil.exe"}},
    {L"", {L""}},
    {L"softveil.exe   a\tb  ", {L"softveil.exe", L"a", L"b"}},
    {L" a b", {L"", L"a", L"b"}},  // a leading blank ends an empty program name
    {LR"("C:\a\"b c)", {LR"(C:\a\)", L"b", L"c"}},  // no escapes in the program name
    {LR"("C:\a b"x y)", {LR"(C:\a b)", L"x", L"y"}},
    {LR"(x a\\b)", {L"x", LR"(a\\b)"}},
    {LR"(x "a\\")", {L"x", LR"(a\)"}},
    {LR"(x a\"b)", {L"x", LR"(a"b)"}},
    {LR"(x a\\\"b)", {L"x", LR"(a\"b)"}},
    {LR"(x "")", {L"x", L""}},
    {LR"(x "" "")", {L"x", L"", L""}},
    {LR"(x "a b" c)", {L"x", L"a b", L"c"}},
    {LR"(x "a""b c")", {L"x", LR"(a"b)", L"c"}},
    {LR"(x """a""")", {L"x", LR"("a")"}},
    {LR"(x a"b c"d)", {L"x", L"ab cd"}},
    {LR"(x "open to the end)", {L"x", L"open to the end"}},
    {LR"("D:\电子书\softveil.exe" --settings=设置\我的.ini)", {LR"(D:\电子书\softveil.exe)", LR"(--settings=设置\我的.ini)"}},
};

TEST(SplitCommandLine, FollowsTheSystemsRules) {
  for (const SplitCase& c : kSplitCases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.args) << testing::PrintToString(std::wstring(c.line));
  }
}

TEST(QuoteArgument, EscapesQuotesAndTheBackslashesBeforeThem) {
  EXPECT_EQ(QuoteArgument(LR"(C:\a b\c.ini)"), LR"("C:\a b\c.ini")");
  EXPECT_EQ(QuoteArgument(LR"(C:\a b\)"), LR"("C:\a b\\")");
  EXPECT_EQ(QuoteArgument(LR"(a"b)"), LR"("a\"b")");
  EXPECT_EQ(QuoteArgument(LR"(a\"b)"), LR"("a\\\"b")");
  EXPECT_EQ(QuoteArgument(L""), LR"("")");
}

TEST(QuoteArgument, EveryArgumentSurvivesTheSplit) {
  const std::wstring args[] = {L"", L" ", LR"(\)", LR"(\\)", LR"(")", LR"(\")", LR"(a\\"b)", LR"(C:\中文 路径\设置.ini)",
                               L"tab\there", LR"(trailing\\\)", LR"("""")", L"--settings"};
  for (const std::wstring& arg : args) {
    const Args split = SplitCommandLine(L"softveil.exe " + QuoteArgument(arg) + L" next");
    ASSERT_EQ(split.size(), 3u) << testing::PrintToString(arg);
    EXPECT_EQ(split[1], arg);
    EXPECT_EQ(split[2], L"next");
  }
}

TEST(QuoteProgramName, ComesBackAsTheProgramName) {
  const std::wstring path = LR"(C:\Program Files\电子书 工具\softveil.exe)";
  EXPECT_EQ(QuoteProgramName(path), L"\"" + path + L"\"");
  EXPECT_EQ(SplitCommandLine(QuoteProgramName(path) + L" --settings x").front(), path);
}

struct PathCase {
  const wchar_t* workingDir;
  const wchar_t* path;
  const wchar_t* full;
};

const PathCase kPathCases[] = {
    {LR"(C:\Users\李明\书)", L"softveil.ini", LR"(C:\Users\李明\书\softveil.ini)"},
    {LR"(C:\Users\李明\书)", LR"(设置\my.ini)", LR"(C:\Users\李明\书\设置\my.ini)"},
    {LR"(C:\Users\李明\书)", LR"(..\其他\softveil.ini)", LR"(C:\Users\李明\其他\softveil.ini)"},
    {LR"(C:\Users\李明\书)", LR"(.\a\.\b.ini)", LR"(C:\Users\李明\书\a\b.ini)"},
    {LR"(C:\Users\李明\书)", LR"(..\..\..\..\x.ini)", LR"(C:\x.ini)"},
    {LR"(C:\Users\李明\书)", LR"(D:\cfg\softveil.ini)", LR"(D:\cfg\softveil.ini)"},
    {LR"(C:\Users\李明\书)", L"d:/cfg//x.ini", LR"(d:\cfg\x.ini)"},
    {LR"(C:\Users\李明\书)", LR"(\cfg\x.ini)", LR"(C:\cfg\x.ini)"},
    {LR"(C:\Users\李明\书)", L"C:x.ini", LR"(C:\Users\李明\书\x.ini)"},
    {LR"(C:\Users\李明\书)", L"c:x.ini", LR"(C:\Users\李明\书\x.ini)"},
    {LR"(C:\Users\李明\书)", L"D:x.ini", LR"(D:\x.ini)"},
    {LR"(C:\Users\李明\书)", LR"(\\server\share\dir\..\x.ini)", LR"(\\server\share\x.ini)"},
    {LR"(C:\Users\李明\书)", LR"(\\server\share\..\..\x.ini)", LR"(\\server\share\x.ini)"},
    {LR"(C:\Users\李明\书)", L"", L""},
    {LR"(C:\)", L"softveil.ini", LR"(C:\softveil.ini)"},
    {LR"(C:\书\)", L"a.ini", LR"(C:\书\a.ini)"},
    {LR"(\\srv\sh\dir)", LR"(\x.ini)", LR"(\\srv\sh\x.ini)"},
    {LR"(\\srv\sh\dir)", LR"(..\..\x.ini)", LR"(\\srv\sh\x.ini)"},
    {LR"(Z:\tmp\a b)", LR"(c d\e.ini)", LR"(Z:\tmp\a b\c d\e.ini)"},
    {LR"(C:\Windows\System32)", LR"(C:\Users\me\softveil.ini)", LR"(C:\Users\me\softveil.ini)"},
};

TEST(FullWindowsPath, ResolvesFromTheWorkingDirectory) {
  for (const PathCase& c : kPathCases) {
    EXPECT_EQ(FullWindowsPath(c.workingDir, c.path), c.full)
        << testing::PrintToString(std::wstring(c.workingDir)) << " + " << testing::PrintToString(std::wstring(c.path));
  }
}

TEST(SameWindowsPath, IgnoresLetterCaseAndSlashKind) {
  EXPECT_TRUE(SameWindowsPath(LR"(C:\Program Files\X.exe)", L"c:/program files/x.EXE"));
  EXPECT_TRUE(SameWindowsPath(LR"(C:\书\设置.ini)", LR"(c:\书\设置.ini)"));
  EXPECT_FALSE(SameWindowsPath(LR"(C:\书\a)", LR"(C:\书\b)"));
  EXPECT_FALSE(SameWindowsPath(LR"(C:\a)", LR"(C:\a\)"));
  EXPECT_FALSE(SameWindowsPath(L"C:a", LR"(C:\a)"));
}

}  // namespace
