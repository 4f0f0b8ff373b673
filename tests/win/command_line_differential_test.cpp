// Our command-line split and full-path rules against the system's own
// CommandLineToArgvW and GetFullPathNameW, on hand-picked and on random input.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/command_line.h"

namespace {

std::vector<std::wstring> SystemSplit(const std::wstring& line) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
  std::vector<std::wstring> args;
  if (!argv) return args;
  for (int i = 0; i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

// Lines built from the characters the rules are about; the system gives
// the program's own path for an empty line, so none is empty.
std::wstring RandomLine(std::mt19937& random) {
  static const wchar_t kAlphabet[] = {L'a', L' ', L'\t', L'"', L'\\', L'中', L'/', L'x'};
  std::uniform_int_distribution<int> length(1, 14);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(kAlphabet)) - 1);
  std::wstring line;
  for (int n = length(random); n > 0; --n) line += kAlphabet[pick(random)];
  return line;
}

TEST(CommandLineDifferential, SplitsLikeCommandLineToArgvW) {
  const std::wstring lines[] = {
      LR"("C:\Program Files\softveil\softveil.exe" --settings "C:\Users\李明\softveil.ini")",
      LR"(x "a""b c")", LR"(x """a""")", LR"(x a\\\"b)", LR"(x "a\\")", LR"("C:\a\"b c)", LR"( a b)",
      LR"(x "" "")", LR"(x a"b c"d)", LR"(x "open to the end)",
  };
  for (const std::wstring& line : lines) {
    EXPECT_EQ(SplitCommandLine(line), SystemSplit(line)) << testing::PrintToString(line);
  }
  std::mt19937 random(14);
  for (int i = 0; i < 20000; ++i) {
    const std::wstring line = RandomLine(random);
    ASSERT_EQ(SplitCommandLine(line), SystemSplit(line)) << testing::PrintToString(line);
  }
}

TEST(CommandLineDifferential, QuotedArgumentsComeBackFromCommandLineToArgvW) {
  std::mt19937 random(41);
  for (int i = 0; i < 5000; ++i) {
    const std::wstring arg = RandomLine(random);
    const std::vector<std::wstring> split = SystemSplit(L"softveil.exe " + QuoteArgument(arg) + L" end");
    ASSERT_EQ(split.size(), 3u) << testing::PrintToString(arg);
    EXPECT_EQ(split[1], arg);
  }
}

std::wstring SystemFullPath(const std::wstring& path) {
  wchar_t full[1024] = {};
  const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
  return std::wstring(full, length);
}

TEST(CommandLineDifferential, ResolvesPathsLikeGetFullPathNameW) {
  wchar_t here[1024] = {};
  GetCurrentDirectoryW(static_cast<DWORD>(std::size(here)), here);
  const std::wstring paths[] = {
      L"softveil.ini", LR"(设置\my.ini)", LR"(..\其他\softveil.ini)", LR"(.\a\.\b.ini)", LR"(..\..\..\..\..\x.ini)",
      LR"(D:\cfg\softveil.ini)", L"d:/cfg//x.ini", LR"(\cfg\x.ini)", LR"(\\server\share\dir\..\x.ini)",
      LR"(\\server\share\..\..\x.ini)", LR"(a b\c d.ini)",
  };
  for (const std::wstring& path : paths) {
    EXPECT_EQ(FullWindowsPath(here, path), SystemFullPath(path)) << testing::PrintToString(path);
  }
}

}  // namespace
