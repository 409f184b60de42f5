#include "platform/TimeStamps.h"

namespace platform {

std::wstring FormatTimeStamp(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    wchar_t buffer[32];
    std::wcsftime(buffer, sizeof buffer / sizeof buffer[0], L"%Y%m%d%H%M%S", &local);
    return buffer;
}

bool ParseTimeStamp(const std::wstring& text, std::time_t& time)
{
    if (text.size() != 14 && text.size() != 8) return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    auto field = [&](size_t at, size_t length) { return std::stoi(text.substr(at, length)); };
    std::tm local{};
    local.tm_year = field(0, 4) - 1900;
    local.tm_mon = field(4, 2) - 1;
    local.tm_mday = field(6, 2);
    if (text.size() == 14) {
        local.tm_hour = field(8, 2);
        local.tm_min = field(10, 2);
        local.tm_sec = field(12, 2);
    }
    local.tm_isdst = -1;
    time = std::mktime(&local);
    return true;
}

} // namespace platform
