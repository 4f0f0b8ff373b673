// DecimalToInt/DecimalToLong on arbitrary bytes against the C library's own
// reading of the same rules, and PlainDecimal (the strict reading of the
// later settings keys) against them.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "settings/decimal.h"
#include "settings/text_slot.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// strtoll in base 10 takes exactly our rules (C-locale white space, one sign,
// digits up to the first other byte, nothing read gives 0) and saturates at
// 64 bits; clamping that to 32 bits gives the saturated 32-bit result. The
// copy ends at the first NUL, where our conversions stop too.
std::int32_t Reference(std::string_view text) {
  const std::string copy(text.substr(0, text.find('\0')));
  errno = 0;
  const long long wide = std::strtoll(copy.c_str(), nullptr, 10);
  if (wide > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (wide < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(wide);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A heap copy of exactly `size` bytes without a terminating zero, so a
  // read past the view is caught.
  char* bytes = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(data[i]);
  const std::string_view text(bytes, size);

  const std::int32_t expected = Reference(text);
  FUZZ_CHECK(DecimalToInt(text) == expected);
  FUZZ_CHECK(DecimalToLong(text) == expected);

  // The same text read from a 50-byte slot, as the colour is read.
  const std::string_view slotted = SlotText(bytes, size < 50 ? size : 50);
  FUZZ_CHECK(slotted.size() <= 50 && slotted.find('\0') == std::string_view::npos);
  FUZZ_CHECK(DecimalToLong(slotted) == Reference(slotted));

  // A plain decimal is a sign and at most ten digits and nothing else, and
  // reads as the lenient conversions read it; anything else is refused.
  const std::optional<std::int32_t> plain = PlainDecimal(text);
  const std::size_t digitsFrom = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  const bool allDigits = text.size() > digitsFrom && text.size() - digitsFrom <= 10 &&
                         text.substr(digitsFrom).find_first_not_of("0123456789") == std::string_view::npos;
  if (plain) {
    FUZZ_CHECK(allDigits);
    FUZZ_CHECK(*plain == expected);
  } else if (allDigits) {
    // Ten digits past the 32-bit range.
    FUZZ_CHECK(expected == std::numeric_limits<std::int32_t>::max() || expected == std::numeric_limits<std::int32_t>::min());
  }

  std::free(bytes);
  return 0;
}
