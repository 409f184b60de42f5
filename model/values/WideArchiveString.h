#pragma once
// The archived form of a wide string that the options record keeps: the
// marker bytes FF FE FF, the length in UTF-16 units (one byte below 255; else
// FF and 16 bits below 0xFFFE; else FF FF FF and 32 bits), then the UTF-16LE
// units without a terminator.

#include <string>

#include "base/Archive.h"

void WriteWideArchiveString(CArchive& ar, const std::wstring& text);
// Throws CArchiveException for a damaged or short form (no marker, a length
// beyond the bytes that remain).
void ReadWideArchiveString(CArchive& ar, std::wstring& text);
