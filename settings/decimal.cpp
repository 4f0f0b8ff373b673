#include "settings/decimal.h"

#include <limits>
#include <string>

namespace {

// isspace in the C locale; deliberately not std::isspace, whose answer for
// bytes above 127 depends on the locale and differs between C libraries.
bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::int32_t ParseSaturated(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate the magnitude in 64 bits and stop growing it once it is past
  // the 32-bit range, so any number of digits saturates instead of wrapping.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);  // -kLimit is exactly INT32_MIN
}

}  // namespace

std::int32_t DecimalToInt(std::string_view text) { return ParseSaturated(text); }

std::int32_t DecimalToLong(std::string_view text) { return ParseSaturated(text); }

std::optional<std::int32_t> PlainDecimal(std::string_view text) {
  std::size_t i = 0;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) i = 1;
  if (i == text.size()) return std::nullopt;
  for (std::size_t j = i; j < text.size(); ++j) {
    if (text[j] < '0' || text[j] > '9') return std::nullopt;
  }
  // Past the range it would saturate; a number that large is not plain.
  if (text.size() - i > 10) return std::nullopt;
  const std::int64_t magnitude = std::stoll(std::string(text.substr(i)));
  const std::int64_t value = text[0] == '-' ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}
