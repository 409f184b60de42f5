#pragma once
// Reading installer properties and record fields into fixed-size buffers: a
// value that does not fit counts as unreadable.

#include <cstddef>
#include <string>

#include "installer/msi/Msi.h"

namespace setrune {

bool GetProperty(MSIHANDLE hInstall, const char* name, size_t size, std::string* value);
// The whole value, however long; false when the property cannot be read.
bool GetWholeProperty(MSIHANDLE hInstall, const char* name, std::string* value);
// True when the property holds anything, also a value too long to read.
bool PropertyHoldsValue(MSIHANDLE hInstall, const char* name, size_t size);

bool GetFieldText(MSIHANDLE record, UINT field, size_t size, std::string* value);
// Field 0 of a new record formatted by the installer ([property] resolved).
bool FormatText(MSIHANDLE hInstall, const std::string& text, size_t size, std::string* value);

// Deferred actions must not do what an immediate action does.
bool IsDeferred(MSIHANDLE hInstall);

// The decimal number at the start of a text (blanks and a sign allowed),
// 0 when there is none; out-of-range values are held at the limit.
long ToLong(const std::string& text);

} // namespace setrune
