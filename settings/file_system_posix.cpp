#include "settings/file_system.h"

#include <system_error>

namespace fs = std::filesystem;

FileKind KindOf(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) return FileKind::Missing;
  if (ec) return FileKind::Unknown;
  if (fs::is_directory(status)) return FileKind::Directory;
  // A file nobody may write is what a read-only file is on Windows.
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none ? FileKind::ReadOnlyFile
                                                                              : FileKind::File;
}

bool SwapInFile(const fs::path& written, const fs::path& target) {
  std::error_code ec;
  const fs::file_status old = fs::status(target, ec);
  if (fs::exists(old)) fs::permissions(written, old.permissions(), ec);
  fs::rename(written, target, ec);
  return !ec;
}

std::FILE* OpenBinaryFile(const fs::path& path, FileMode mode) {
  return std::fopen(path.c_str(), mode == FileMode::Read ? "rb" : "wb");
}

void RemoveFileQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

fs::path WorkingDirectory() {
  std::error_code ec;
  fs::path dir = fs::current_path(ec);
  return ec ? fs::path() : dir;
}
