#pragma once
// The file extension of an image or sound value, told by its first bytes.
// A value is recognised only when it is longer than the signature.

#include <cstddef>
#include <string>

// True when the value holds at least size bytes and its first size - 1
// bytes equal magic's (size is the signature's sizeof, terminator counted).
bool HasMagic(const std::string& value, const char* magic, size_t size);

// "tiff", "png", "gif", "bmp", "jpg" or "pcx"; empty when none fits.
std::string DetectImageExtension(const std::string& value);
// "wav", "rm", "aif" or "mid"; empty when none fits.
std::string DetectSoundExtension(const std::string& value);
