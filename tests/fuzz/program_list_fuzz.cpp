// The list of programs to stay away from, on arbitrary bytes: every name
// read is a trimmed, non-empty piece of the list between semicolons, each
// matches itself in any case of its letters, and a list written back from
// the names reads as the same names.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/program_list.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view list(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string_view> names = ListedPrograms(list);
  std::string joined;
  for (std::string_view name : names) {
    FUZZ_CHECK(!name.empty() && name.find(';') == std::string_view::npos);
    FUZZ_CHECK(name.front() != ' ' && name.front() != '\t' && name.back() != ' ' && name.back() != '\t');
    FUZZ_CHECK(name.data() >= list.data() && name.data() + name.size() <= list.data() + list.size());
    std::string swapped(name);
    for (char& c : swapped) {
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) c = static_cast<char>(c ^ 0x20);
    }
    FUZZ_CHECK(ProgramListed(list, name) && ProgramListed(list, swapped));
    joined += std::string(name) + ";";
  }
  FUZZ_CHECK(ListedPrograms(joined) == names);
  FUZZ_CHECK(!ProgramListed(list, ""));
  return 0;
}
