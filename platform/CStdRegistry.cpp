#include "platform/CStdRegistry.h"

#include "base/StringList.h"
#include "base/Utf8.h"

bool CStdRegistry::Write(const std::wstring& name, const std::string& bytes)
{
    return WriteBinary(name, bytes.data(), bytes.size());
}

bool CStdRegistry::Write(const std::wstring& name, const std::wstring& text)
{
    return platform::RegistryKey::Write(name, text);
}

bool CStdRegistry::Read(const std::wstring& name, std::string& bytes)
{
    uint32_t type = platform::REG_NONE;
    std::string data;
    if (!QueryValue(name, type, data)) return false;
    SetLastInfo(platform::ERROR_SUCCESS, type, static_cast<uint32_t>(data.size()));
    bytes.swap(data);
    return true;
}

bool CStdRegistry::Read(const std::wstring& name, std::wstring& text)
{
    return platform::RegistryKey::Read(name, text);
}

bool CStdRegistry::ReadSubKeys(StringList& names)
{
    std::vector<std::wstring> found;
    if (!platform::RegistryKey::ReadSubKeys(found) || found.empty()) return false;
    for (const std::wstring& n : found) names.Add(WideToUtf8Text(n));
    return true;
}

bool CStdRegistry::ReadSubKeys(std::list<std::wstring>& names)
{
    std::vector<std::wstring> found;
    if (!platform::RegistryKey::ReadSubKeys(found) || found.empty()) return false;
    names.insert(names.end(), found.begin(), found.end());
    return true;
}

bool CStdRegistry::ReadSubKeys(std::vector<std::wstring>& names)
{
    std::vector<std::wstring> found;
    if (!platform::RegistryKey::ReadSubKeys(found) || found.empty()) return false;
    names.insert(names.end(), found.begin(), found.end());
    return true;
}
