#pragma once
// Percent-encoding of bytes for URLs (query values, mailto fields).

#include <string>
#include <string_view>

// The unreserved characters of a URL: letters, digits and "-._~".
bool IsUrlUnreserved(unsigned char c);

// Appends c as "%XX" with upper-case hex digits.
void AppendPercentEncoded(std::string& out, unsigned char c);

// Every byte but the unreserved ones percent-encoded.
std::string PercentEncode(std::string_view bytes);
