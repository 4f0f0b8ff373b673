#include "settings/file_system.h"

#include <windows.h>

#include <string>

#include "settings/file_system_win32.h"

FileKind KindOf(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::Missing : FileKind::Unknown;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Directory;
  return attributes & FILE_ATTRIBUTE_READONLY ? FileKind::ReadOnlyFile : FileKind::File;
}

bool SwapInFile(const std::filesystem::path& written, const std::filesystem::path& target) {
  return SwapInFileWith(ReplaceFileW, written, target);
}

bool SwapInFileWith(ReplaceFileCall replace, const std::filesystem::path& written,
                    const std::filesystem::path& target) {
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
  backup += L".old.tmp";
  const bool replaced =
      replace(target.c_str(), written.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) !=
      FALSE;
  // A replace can fail half-way: with ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 the
  // old file already bears the backup's name and the new one still its own.
  // The reader's file must hold the old bytes or the new ones, so the old
  // file goes back (failing that, the new one in its place) before the
  // backup goes, and the backup goes only while it is not the last copy.
  if (!replaced && GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
      !MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    MoveFileExW(written.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
  }
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileW(backup.c_str());
  return replaced;
}

std::FILE* OpenBinaryFile(const std::filesystem::path& path, FileMode mode) {
  return _wfopen(path.c_str(), mode == FileMode::Read ? L"rb" : L"wb");
}

void RemoveFileQuietly(const std::filesystem::path& path) { DeleteFileW(path.c_str()); }

std::filesystem::path WorkingDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring dir(size, L'\0');
  dir.resize(GetCurrentDirectoryW(size, dir.data()));
  return dir;
}
