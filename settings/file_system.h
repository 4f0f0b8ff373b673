// The few file operations the settings need, each platform in its own way:
// what is at a path, opening a file for its bytes, removing one, swapping a
// complete new file into an old one's place, and the working directory.
// On Windows they are the system's own calls: the program then carries
// neither the iostream nor the std::filesystem operations code (copy_file
// and friends pull in the whole iostream library), which keeps it small.
#pragma once
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

enum class FileKind {
  Missing,       // nothing there (nor, it may be, the folder)
  File,          // a file we may replace
  ReadOnlyFile,  // a file marked read-only
  Directory,
  Unknown,       // the system could not tell (no access to the folder, say)
};

FileKind KindOf(const std::filesystem::path& path);

// A path from an ASCII name. A path made from a char text is converted by
// the locale where paths are wide (Windows), which brings the whole C++
// locale library into the program; an ASCII name needs no conversion.
inline std::filesystem::path PathFromAscii(std::string_view ascii) {
  return std::filesystem::path::string_type(ascii.begin(), ascii.end());
}

// Puts `written` (a complete file beside `target`) in `target`'s place. An
// existing `target` keeps its attributes and permissions. False, with
// `target` unchanged, when the swap failed; `written` may then remain.
bool SwapInFile(const std::filesystem::path& written, const std::filesystem::path& target);

enum class FileMode { Read, Write };

// The file opened for reading, or created (or emptied) for writing, in
// binary mode; null when that failed.
std::FILE* OpenBinaryFile(const std::filesystem::path& path, FileMode mode);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Removes a file if it can; what remains is not an error here.
void RemoveFileQuietly(const std::filesystem::path& path);

// The working directory, or an empty path when there is none.
std::filesystem::path WorkingDirectory();
