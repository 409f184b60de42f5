#pragma once
// User-visible texts of the model, from the resource library's string table.

#include <initializer_list>
#include <string>

// The string with that id as wide text; empty when the library has none.
std::wstring LoadResourceText(unsigned id);

// The string with that id, each "%s" in it replaced by the next argument in
// order (a "%s" beyond the arguments stays as it is).
std::wstring FormatResourceText(unsigned id, std::initializer_list<std::wstring> arguments);
