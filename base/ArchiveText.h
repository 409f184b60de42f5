#pragma once
// Strings and GUIDs in the byte archive, and a GUID's text on a wide stream.

#include <iosfwd>
#include <string>

#include "base/Archive.h"
#include "base/Guid.h"

void ReadStdString(CArchive& ar, std::string& s);
void WriteStdString(CArchive& ar, const std::string& s);
void ReadGuid(CArchive& ar, GUID& guid);
void WriteGuid(CArchive& ar, const GUID& guid);
std::wostream& WriteGuidText(std::wostream& os, const GUID& guid);
