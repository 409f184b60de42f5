#pragma once
// How attribute values are written in the list.

#include <string>

// The first 16 bytes of a binary value in hex, each as "%.2X" and two blanks;
// nothing marks a longer value as cut.
std::wstring FormatBinaryValueText(const std::string& value);

// A generalized time such as 20040115093012Z as "2004-01-15 09:30:12"; the
// characters after the seconds (fraction, zone) are dropped, no zone is
// applied. Empty: "N/A". A text that does not begin with fourteen digits
// is shown as it is.
std::wstring FormatGeneralizedTime(const std::string& text);
