#include "installer/setrune/RegKey.h"

#include <vector>

namespace setrune {

RegKey::~RegKey()
{
    if (key_) RegCloseKey(key_);
}

bool RegKey::Open(HKEY root, const std::string& path, REGSAM access)
{
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
    return RegOpenKeyExA(root, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
}

bool RegKey::Create(HKEY root, const std::string& path, REGSAM access)
{
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
    return RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key_, nullptr) == ERROR_SUCCESS;
}

bool RegKey::QueryText(const char* name, size_t size, std::string* value, bool onlySz) const
{
    if (!key_) return false;
    std::vector<unsigned char> buffer(size, 0);
    DWORD type = REG_NONE, count = static_cast<DWORD>(size);
    if (RegQueryValueExA(key_, name, nullptr, &type, buffer.data(), &count) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && (onlySz || type != REG_EXPAND_SZ)) return false;
    // Up to the first zero: the stored value need not carry one.
    size_t n = 0;
    while (n < count && buffer[n]) ++n;
    value->assign(reinterpret_cast<const char*>(buffer.data()), n);
    return true;
}

bool RegKey::SetText(const std::string& name, const std::string& value, DWORD type)
{
    return RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const unsigned char*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::string& path)
{
    RegKey key;
    return key.Open(root, path, KEY_READ);
}

bool CommonFilesDir(size_t size, std::string* folder)
{
    RegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_QUERY_VALUE) &&
           key.QueryText("CommonFilesDir", size, folder);
}

} // namespace setrune
