#include "settings/file_swap.h"

#include <system_error>

bool SwapInFile(const std::filesystem::path& written, const std::filesystem::path& target) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status old = fs::status(target, ec);
  if (fs::exists(old)) fs::permissions(written, old.permissions(), ec);
  fs::rename(written, target, ec);
  return !ec;
}
