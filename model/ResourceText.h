#pragma once
// User-visible texts of the model, from the resource library's string table.

#include <string>

// The string with that id as wide text; empty when the library has none.
std::wstring LoadResourceText(unsigned id);
