#pragma once
// String resources of the current resource library.

#include <string>

// The string resource id as UTF-8; false, with out emptied, when missing.
bool LoadStringResource(unsigned int id, std::string& out);
// The same as wide text; false, with out emptied, when missing.
bool LoadStringResource(unsigned int id, std::wstring& out);
