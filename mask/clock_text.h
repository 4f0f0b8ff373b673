// The reading clock's text.
#pragma once
#include <cstdint>
#include <string>

// "%d小时%d分%d秒" of the elapsed seconds, truncated toward zero.
std::wstring ClockText(std::int64_t elapsedSeconds);
