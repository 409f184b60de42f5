#pragma once
// Links made from attribute values for the desktop to open.

#include <string>

// "mailto:" and the address, percent-escaped so that nothing in it can add
// header fields, further recipients or a body to the link.
std::string MakeMailtoLink(const std::string& address);

// The link of a labeled URI value: its text up to the first blank (the
// label follows it), the whole text when it has none.
std::string GetLabeledUriLink(const std::string& value);
