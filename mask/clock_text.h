// The reading clock's text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// `pattern` (the clock's text from the string table, "%1小时%2分%3秒" or
// "%1 h %2 min %3 s") with the hours, minutes and seconds of the elapsed
// seconds, truncated toward zero, as plain decimal numbers.
std::wstring ClockText(std::wstring_view pattern, std::int64_t elapsedSeconds);

// The seconds since 1970-01-01 00:00 UTC that time() gives, from the
// system's count of 100 ns intervals since 1601-01-01 00:00 UTC.
std::int64_t UnixSecondsOfFileTime(std::uint64_t fileTime);
