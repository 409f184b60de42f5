#pragma once
// Base64 on byte buffers, in malloc'ed buffers as the C callers expect.

#include <cstddef>

// Base64 of n bytes in a malloc'ed, zero-terminated buffer (caller frees).
char* Base64Encode(const unsigned char* data, size_t n, size_t* outLength = nullptr);
// Bytes of a base64 text in a malloc'ed buffer (caller frees); null on bad
// padding or allocation failure. Decoding stops at a zero byte, at '=' or at
// length, whichever comes first.
unsigned char* Base64Decode(const char* text, size_t length, size_t* outLength = nullptr);
