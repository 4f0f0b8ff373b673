// Decimal text to number, as the C library's atoi/atol read it: leading white
// space, an optional sign, then digits up to the first other character; text
// without leading digits gives 0. Results are 32-bit on every platform; a
// value beyond the 32-bit range saturates to INT32_MIN / INT32_MAX, as the
// Windows C library's atol does.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

std::int32_t DecimalToInt(std::string_view text);   // atoi semantics
std::int32_t DecimalToLong(std::string_view text);  // atol semantics

// The whole text as one decimal number: an optional sign and digits, within
// the 32-bit range, nothing else. Nothing for any other text.
std::optional<std::int32_t> PlainDecimal(std::string_view text);
