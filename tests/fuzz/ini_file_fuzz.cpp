// The settings file on arbitrary bytes through a real file: LoadFrom and
// SaveTo must do on disk what the document does in memory (which ini_fuzz
// checks), and a file they refuse is left exactly as it was.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "settings/ini_store.h"
#include "settings/mask_settings.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// A file of this process's own, removed at exit.
struct ScratchFile {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("softveil-ini-fuzz." + std::to_string(getpid()));
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFile scratch;
  const std::filesystem::path& file = scratch.path;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

  IniDocument doc(bytes);
  MaskSettings expected;
  expected.ReadFrom(doc);
  MaskSettings loaded;
  loaded.LoadFrom(file);
  FUZZ_CHECK(loaded == expected);

  const bool editable = IsEditableIniText(bytes);
  FUZZ_CHECK(loaded.SaveTo(file) == editable);
  if (editable) loaded.WriteTo(doc);
  FUZZ_CHECK(ReadFileBytes(file) == doc.Bytes());
  return 0;
}
