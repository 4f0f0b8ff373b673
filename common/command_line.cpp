#include "common/command_line.h"

#include <algorithm>

#include "settings/ascii_text.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool HasDrive(std::wstring_view path) { return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':'; }
bool IsUnc(std::wstring_view path) { return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]); }

// The length of the part no ".." may climb above: "C:\", or "\\server\share\".
std::size_t RootLength(std::wstring_view full) {
  if (HasDrive(full)) return full.size() >= 3 && IsSeparator(full[2]) ? 3 : 2;
  if (!IsUnc(full)) return 0;
  std::size_t at = 2;
  for (int part = 0; part < 2 && at < full.size(); ++part) {
    while (at < full.size() && !IsSeparator(full[at])) ++at;
    if (at < full.size()) ++at;
  }
  return at;
}

std::wstring WithBackslashes(std::wstring_view path) {
  std::wstring out(path);
  std::replace(out.begin(), out.end(), L'/', L'\\');
  return out;
}

// Folds "." and ".." and doubled separators after the root of a full path.
std::wstring Fold(const std::wstring& full) {
  const std::size_t rootLength = RootLength(full);
  std::wstring root = full.substr(0, rootLength);
  if (!root.empty() && root.back() != L'\\') root += L'\\';
  std::vector<std::wstring_view> segments;
  const std::wstring_view rest = std::wstring_view(full).substr(rootLength);
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find(L'\\', start);
    if (end == std::wstring_view::npos) end = rest.size();
    const std::wstring_view segment = rest.substr(start, end - start);
    if (segment == L"..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != L".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::wstring out = root;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) out += L'\\';
    out += segments[i];
  }
  return out;
}

std::wstring Joined(std::wstring_view directory, std::wstring_view relative) {
  std::wstring out(directory);
  if (!out.empty() && !IsSeparator(out.back())) out += L'\\';
  out += relative;
  return out;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
  std::vector<std::wstring> args;
  std::size_t i = 0;
  if (i < line.size() && line[i] == L'"') {
    const std::size_t close = std::min(line.find(L'"', 1), line.size());
    args.emplace_back(line.substr(1, close - 1));
    i = std::min(close + 1, line.size());
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
    args.emplace_back(line.substr(0, i));
  }

  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::wstring arg;
    int quotes = 0;       // 1 while inside quotes
    int backslashes = 0;  // the run of backslashes just copied
    while (i < line.size() && !(IsBlank(line[i]) && quotes == 0)) {
      const wchar_t c = line[i++];
      if (c == L'\\') {
        arg += c;
        ++backslashes;
        continue;
      }
      if (c != L'"') {
        arg += c;
        backslashes = 0;
        continue;
      }
      // 2n backslashes and a quote: n backslashes, and the quote opens or
      // closes; 2n+1 backslashes and a quote: n backslashes and a quote.
      arg.erase(arg.size() - backslashes / 2);
      if (backslashes % 2 == 0) {
        ++quotes;
      } else {
        arg.back() = L'"';
      }
      backslashes = 0;
      // In a run of quotes every third one is kept as a character, and the
      // run leaves the quotes closed unless it ends one short of that.
      for (; i < line.size() && line[i] == L'"'; ++i) {
        if (++quotes == 3) {
          arg += L'"';
          quotes = 0;
        }
      }
      if (quotes == 2) quotes = 0;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::wstring QuoteArgument(std::wstring_view arg) {
  std::wstring out = L"\"";
  out.reserve(2 * arg.size() + 2);
  int backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      out += c;
      continue;
    }
    // Backslashes before a quote escape it, so they are doubled, and the
    // quote gets one of its own.
    if (c == L'"') out.append(backslashes + 1, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes, L'\\');  // so the closing quote stays a quote
  out += L'"';
  return out;
}

std::wstring QuoteProgramName(std::wstring_view path) { return L"\"" + std::wstring(path) + L"\""; }

std::wstring FullWindowsPath(std::wstring_view workingDir, std::wstring_view path) {
  if (path.empty()) return {};
  const std::wstring given = WithBackslashes(path);
  const std::wstring base = WithBackslashes(workingDir);
  if (IsUnc(given)) return Fold(given);
  if (HasDrive(given)) {
    if (given.size() >= 3 && given[2] == L'\\') return Fold(given);
    // "D:notes.ini" is relative to the current directory of drive D:, which
    // is the working directory when that is on D:, else the drive's root.
    const bool sameDrive = HasDrive(base) && FoldAscii(base[0]) == FoldAscii(given[0]);
    return Fold(Joined(sameDrive ? base : given.substr(0, 2) + L"\\", given.substr(2)));
  }
  if (given[0] == L'\\') return Fold(base.substr(0, RootLength(base)) + given);
  return Fold(Joined(base, given));
}

bool SameWindowsPath(std::wstring_view a, std::wstring_view b) {
  const auto same = [](wchar_t x, wchar_t y) {
    return FoldAscii(x) == FoldAscii(y) || (IsSeparator(x) && IsSeparator(y));
  };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), same);
}
