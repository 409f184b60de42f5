#pragma once
// Stream-in callback over a std::string, for controls that pull their text in chunks.

#include <string>

// Moves up to count bytes from the front of *cookie into buffer. Always returns 0.
unsigned long StringStreamInCallback(std::string* cookie, unsigned char* buffer, long count, long* written);
