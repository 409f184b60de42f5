#pragma once
// GUIDs: profile and host identifiers. The text and stored forms are the
// usual registry ones so that stored profiles keep their names; new ones come
// from platform/GuidGen.h.

#include <cstdint>
#include <string>

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};

bool operator==(const GUID& a, const GUID& b);
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
bool operator<(const GUID& a, const GUID& b);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex.
std::wstring GuidToString(const GUID& guid);

// Reads the braced form (braces optional, hex digits in either case).
// False, with guid untouched, for anything else.
bool GuidFromString(const std::wstring& text, GUID& guid);

// The 16 bytes of the stored form: Data1, Data2, Data3 little-endian, then Data4.
void GuidToBytes(const GUID& guid, unsigned char out[16]);
GUID GuidFromBytes(const unsigned char in[16]);

