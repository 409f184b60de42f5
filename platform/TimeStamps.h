#pragma once
// Time stamps as the settings and the update check write them: "%Y%m%d%H%M%S"
// of a local time.

#include <ctime>
#include <string>

namespace platform {

std::wstring FormatTimeStamp(std::time_t time);
// Exactly 14 characters (date and time) or 8 (date, time 00:00:00), each
// field decimal; false for any other length or a non-digit.
bool ParseTimeStamp(const std::wstring& text, std::time_t& time);

} // namespace platform
