// The settings file on arbitrary bytes through a real file: LoadFrom and
// SaveTo must do on disk what the document does in memory (which ini_fuzz
// checks), and a file they refuse is left exactly as it was.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "settings/ini_store.h"
#include "settings/mask_settings.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

namespace fs = std::filesystem;

// A directory of this process's own for the file, removed at exit.
struct ScratchDirectory {
  fs::path path = fs::temp_directory_path() / ("softveil-ini-fuzz." + std::to_string(getpid()));
  ScratchDirectory() { fs::create_directories(path); }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

fs::path ScratchFile() {
  static const ScratchDirectory directory;
  return directory.path / kSettingsFileName;
}

std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const fs::path file = ScratchFile();
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size));

  IniDocument doc(bytes);
  MaskSettings expected;
  expected.ReadFrom(doc);
  MaskSettings loaded;
  loaded.LoadFrom(file);
  FUZZ_CHECK(loaded == expected);

  const bool editable = IsEditableIniText(bytes);
  FUZZ_CHECK(loaded.SaveTo(file) == editable);
  if (editable) loaded.WriteTo(doc);
  FUZZ_CHECK(FileBytes(file) == doc.Bytes());
  return 0;
}
