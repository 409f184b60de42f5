#pragma once
// Small text functions shared across the shell: numbers as text, splitting
// at a separator, file-name-safe names and wide lists as UTF-8.

#include <string>
#include <vector>

#include "base/StringList.h"

// Decimal text of a signed integer.
std::wstring IntToString(int value);
// The value of the leading decimal digits (after blanks and a sign); 0 when none.
int StringToInt(const std::wstring& text);

// Empties list; every separator ends a piece (empty pieces stay); the piece
// after the last separator is kept only when a piece came before it, so a
// text without the separator gives nothing. A null text gives nothing.
void SplitString(const char* text, StringList& list, char separator);

// The text with each of . \ / : * ? " < > | replaced by '_'.
std::wstring MakeSafeFileName(const std::wstring& text);

// Appends every text, as UTF-8.
void ToUtf8StringList(const std::vector<std::wstring>& texts, StringList& list);
