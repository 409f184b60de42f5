#pragma once
// The stored form of a profile's password: its UTF-8 bytes XORed with four
// bytes of the profile's GUID, then base64. Only obscures the password from a
// casual look; the settings file itself is readable by its owner alone.

#include <string>

#include "base/Guid.h"

// The stored text of a clear password; "" for "".
std::string EncodeStoredPassword(const std::string& password, const GUID& id);
// The clear password of a stored text; "" for "" and for a text that is not
// base64.
std::string DecodeStoredPassword(const std::string& stored, const GUID& id);
