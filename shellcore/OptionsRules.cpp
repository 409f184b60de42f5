#include "shellcore/OptionsRules.h"

#include <cwctype>

namespace {

constexpr int kTimeouts[] = {10, 20, 30, 60, 120, 0, 300};
constexpr int kIntervals[] = {1, 2, 4, 7, 14};

template <size_t N>
int PositionOf(const int (&values)[N], int value)
{
    for (size_t i = 0; i < N; ++i)
        if (values[i] == value && value != 0) return static_cast<int>(i);
    return -1;
}

template <size_t N>
int ValueAt(const int (&values)[N], int position, int previous)
{
    if (position < 0 || position >= static_cast<int>(N) || values[position] == 0) return previous;
    return values[position];
}

} // namespace

int InfoTimeoutPosition(int seconds)
{
    return PositionOf(kTimeouts, seconds);
}

int InfoTimeoutSeconds(int position, int previous)
{
    return ValueAt(kTimeouts, position, previous);
}

int UpdateIntervalPosition(int days)
{
    return PositionOf(kIntervals, days);
}

int UpdateIntervalDays(int position, int previous)
{
    return ValueAt(kIntervals, position, previous);
}

bool ProxyInUse(bool checked, const std::wstring& host, int port)
{
    return checked && !host.empty() && port != 0;
}

bool ParseNumberInRange(const std::wstring& text, int low, int high, int& value)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    size_t digits = i;
    long long number = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
        number = number * 10 + (text[i] - L'0');
        if (number > high) number = static_cast<long long>(high) + 1;
        ++i;
    }
    if (i == digits) return false;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    if (i != text.size() || number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

std::wstring IntegerRangeMessage(int low, int high)
{
    return L"Please enter an integer between " + std::to_wstring(low) + L" and " + std::to_wstring(high) + L".";
}
