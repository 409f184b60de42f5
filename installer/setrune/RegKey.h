#pragma once
// Owns one open registry key.

#include <cstddef>
#include <string>

#include "installer/msi/WinReg.h"

namespace setrune {

class RegKey {
public:
    RegKey() = default;
    ~RegKey();
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    bool Open(HKEY root, const std::string& path, REGSAM access);
    bool Create(HKEY root, const std::string& path, REGSAM access);
    HKEY Get() const { return key_; }

    // A text value read into size bytes: false when it is missing, not a
    // text (REG_SZ, or REG_EXPAND_SZ unless onlySz) or larger.
    bool QueryText(const char* name, size_t size, std::string* value, bool onlySz = false) const;
    bool SetText(const std::string& name, const std::string& value, DWORD type);

private:
    HKEY key_ = nullptr;
};

// True when the key exists.
bool KeyExists(HKEY root, const std::string& path);

// "SOFTWARE\Microsoft\Windows\CurrentVersion" "CommonFilesDir" of HKLM.
bool CommonFilesDir(size_t size, std::string* folder);

} // namespace setrune
