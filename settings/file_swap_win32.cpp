#include "settings/file_swap.h"

#include <windows.h>

bool SwapInFile(const std::filesystem::path& written, const std::filesystem::path& target) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return MoveFileExW(written.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
  }
  // ReplaceFileW keeps the old file's security settings and attributes (a
  // rename would give the file those of the new one). The attributes are
  // also set on the new file first, for systems whose ReplaceFileW drops them.
  SetFileAttributesW(written.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  // Without a backup name of ours, Wine's ReplaceFileW leaves a temporary
  // file of its own behind when the replace fails (the old file held open).
  std::filesystem::path backup = target;
  backup += ".old.tmp";
  const bool replaced = ReplaceFileW(target.c_str(), written.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                                     nullptr, nullptr) != FALSE;
  DeleteFileW(backup.c_str());
  return replaced;
}
