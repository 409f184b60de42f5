#pragma once
// Settings-key helpers for the byte strings of the directory layers: a
// std::string value is stored as binary bytes, a std::wstring as text.

#include <list>
#include <string>
#include <vector>

#include "platform/RegistryKey.h"

class StringList;

class CStdRegistry : public platform::RegistryKey {
public:
    using platform::RegistryKey::RegistryKey;
    using platform::RegistryKey::Read;
    using platform::RegistryKey::Write;

    // The bytes as a binary value.
    bool Write(const std::wstring& name, const std::string& bytes);
    // The text as a string value.
    bool Write(const std::wstring& name, const std::wstring& text);

    // The value's stored bytes, whatever its type (a string value gives its
    // UTF-8 bytes). False, with bytes untouched, when it cannot be read; on
    // success the last result is 0 and the value's type and size are recorded.
    bool Read(const std::wstring& name, std::string& bytes);
    // A string value's text, exactly as written.
    bool Read(const std::wstring& name, std::wstring& text);

    // Appends the open key's sub-key names (UTF-8 or wide) in sorted order.
    // False when the key has no sub-key at all (or is not open); true otherwise.
    bool ReadSubKeys(StringList& names);
    bool ReadSubKeys(std::list<std::wstring>& names);
    bool ReadSubKeys(std::vector<std::wstring>& names);
};
