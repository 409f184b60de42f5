#pragma once
// The options pages' choices as the record stores them: the information
// nodes' timeout list, the update interval list, the proxy rule and the
// ranges the pages accept.

#include <string>

// Timeout list positions 0-6: 10, 20, 30, 60, 120, (none), 300 seconds.
// -1: a stored value the list does not hold.
int InfoTimeoutPosition(int seconds);
// A position without a value of its own keeps the previous seconds.
int InfoTimeoutSeconds(int position, int previous);

// Interval list positions 0-4: 1, 2, 4, 7, 14 days; -1 for any other value.
int UpdateIntervalPosition(int days);
// No selection keeps the previous interval.
int UpdateIntervalDays(int position, int previous);

// The proxy is used only with a host and a port.
bool ProxyInUse(bool checked, const std::wstring& host, int port);

constexpr int kMinProxyPort = 80;
constexpr int kMaxProxyPort = 65535;
// The whole text a decimal number within [low, high] (blanks around allowed).
bool ParseNumberInRange(const std::wstring& text, int low, int high, int& value);
// The message of a number outside [low, high].
std::wstring IntegerRangeMessage(int low, int high);
