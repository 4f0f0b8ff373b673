// The command-line split and the full-path rules on arbitrary text: every
// argument comes back through QuoteArgument; a full path holds no forward
// slash and no "." or ".." segment (a network path's server and share are
// names, whatever they are), and resolving it again changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/command_line.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Two bytes a character, so any UTF-16 text (and quotes, blanks and
// backslashes in every order) can be reached.
std::wstring WideText(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (c != 0) text += c;
  }
  return text;
}

bool HasDotSegment(std::wstring_view path) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find(L'\\', start);
    const std::wstring_view segment = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (segment == L"." || segment == L"..") return true;
    if (end == std::wstring::npos) return false;
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring line = WideText(data, size);
  const std::vector<std::wstring> args = SplitCommandLine(line);
  FUZZ_CHECK(!args.empty());
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::vector<std::wstring> back = SplitCommandLine(L"x " + QuoteArgument(args[i]));
    FUZZ_CHECK(back.size() == 2 && back[1] == args[i]);
  }

  const std::wstring full = FullWindowsPath(LR"(C:\Users\李明\书)", line);
  FUZZ_CHECK(full.empty() == line.empty());
  FUZZ_CHECK(full.find(L'/') == std::wstring::npos);
  const bool network = full.starts_with(LR"(\\)");
  FUZZ_CHECK(network || !HasDotSegment(full));
  FUZZ_CHECK(FullWindowsPath(LR"(D:\other)", full) == full);
  return 0;
}
