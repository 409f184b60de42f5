#include "platform/RegistryKey.h"

#include "base/Utf8.h"

namespace platform {

RegistryKey::RegistryKey(RegRoot root, bool readOnly) : m_root(root), m_readOnly(readOnly) {}

RegistryKey::RegistryKey(std::shared_ptr<SettingsStore> store, bool readOnly)
    : m_fixedStore(std::move(store)), m_readOnly(readOnly)
{
}

std::shared_ptr<SettingsStore> RegistryKey::RootStore() const
{
    return m_fixedStore ? m_fixedStore : GetSettingsRoot(m_root);
}

void RegistryKey::SetLastInfo(long result, uint32_t type, uint32_t size)
{
    m_lastResult = result;
    m_lastType = type;
    m_lastSize = size;
}

bool RegistryKey::Fail(long result)
{
    m_lastResult = result;
    return false;
}

bool RegistryKey::CreateKey(const std::wstring& path)
{
    Close();
    if (m_readOnly) return Fail(ERROR_ACCESS_DENIED);
    std::shared_ptr<SettingsStore> store = RootStore();
    SettingsStore::KeyId id = 0;
    long r = store->CreateKey(WideToUtf8Text(path), id);
    if (r != ERROR_SUCCESS) return Fail(r);
    m_open = std::move(store);
    m_key = id;
    m_path = path;
    m_lastResult = ERROR_SUCCESS;
    return true;
}

bool RegistryKey::Open(const std::wstring& path)
{
    Close();
    std::shared_ptr<SettingsStore> store = RootStore();
    if (!m_readOnly && !store->IsWritable()) return Fail(ERROR_ACCESS_DENIED);
    SettingsStore::KeyId id = 0;
    long r = store->OpenKey(WideToUtf8Text(path), id);
    if (r != ERROR_SUCCESS) return Fail(r);
    m_open = std::move(store);
    m_key = id;
    m_path = path;
    m_lastResult = ERROR_SUCCESS;
    return true;
}

void RegistryKey::Close()
{
    m_open.reset();
    m_key = 0;
    m_path.clear();
}

bool RegistryKey::WriteValue(const std::wstring& name, uint32_t type, const std::string& data)
{
    if (!m_open) return Fail(ERROR_INVALID_HANDLE);
    if (m_readOnly) return Fail(ERROR_ACCESS_DENIED);
    m_lastResult = m_open->SetValue(m_key, WideToUtf8Text(name), type, data);
    return m_lastResult == ERROR_SUCCESS;
}

bool RegistryKey::Write(const std::wstring& name, const std::wstring& text)
{
    return WriteValue(name, REG_SZ, WideToUtf8Text(text));
}

bool RegistryKey::Write(const std::wstring& name, uint32_t value)
{
    const char le[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                        static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF)};
    return WriteValue(name, REG_DWORD, std::string(le, 4));
}

bool RegistryKey::Write(const std::wstring& name, const std::vector<uint8_t>& bytes)
{
    return WriteBinary(name, bytes.data(), bytes.size());
}

bool RegistryKey::WriteBinary(const std::wstring& name, const void* data, size_t size)
{
    if (!data && size) return Fail(ERROR_INVALID_PARAMETER);
    return WriteValue(name, REG_BINARY, size ? std::string(static_cast<const char*>(data), size) : std::string());
}

bool RegistryKey::QueryValue(const std::wstring& name, uint32_t& type, std::string& data)
{
    if (!m_open) {
        SetLastInfo(ERROR_INVALID_HANDLE, REG_NONE, 0);
        return false;
    }
    long r = m_open->GetValue(m_key, WideToUtf8Text(name), type, data);
    if (r != ERROR_SUCCESS) {
        SetLastInfo(r, REG_NONE, 0);
        return false;
    }
    SetLastInfo(ERROR_SUCCESS, type, static_cast<uint32_t>(data.size()));
    return true;
}

bool RegistryKey::Read(const std::wstring& name, std::wstring& text)
{
    uint32_t type = REG_NONE;
    std::string data;
    if (!QueryValue(name, type, data)) return false;
    if (type != REG_SZ) return Fail(ERROR_UNSUPPORTED_TYPE);
    text = Utf8ToWideString(data);
    return true;
}

bool RegistryKey::Read(const std::wstring& name, uint32_t& value)
{
    uint32_t type = REG_NONE;
    std::string data;
    if (!QueryValue(name, type, data)) return false;
    if (type != REG_DWORD || data.size() != 4) return Fail(ERROR_UNSUPPORTED_TYPE);
    const auto* b = reinterpret_cast<const unsigned char*>(data.data());
    value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool RegistryKey::Read(const std::wstring& name, int32_t& value)
{
    uint32_t u = 0;
    if (!Read(name, u)) return false;
    value = static_cast<int32_t>(u);
    return true;
}

bool RegistryKey::Read(const std::wstring& name, std::vector<uint8_t>& bytes)
{
    uint32_t type = REG_NONE;
    std::string data;
    if (!QueryValue(name, type, data)) return false;
    bytes.assign(data.begin(), data.end());
    return true;
}

bool RegistryKey::ReadSubKeys(std::vector<std::wstring>& names)
{
    names.clear();
    if (!m_open) return Fail(ERROR_INVALID_HANDLE);
    std::vector<std::string> raw;
    m_lastResult = m_open->ListSubKeys(m_key, raw);
    for (const std::string& n : raw) names.push_back(Utf8ToWideString(n));
    return m_lastResult == ERROR_SUCCESS;
}

bool RegistryKey::ReadValueNames(std::vector<std::wstring>& names)
{
    names.clear();
    if (!m_open) return Fail(ERROR_INVALID_HANDLE);
    std::vector<std::string> raw;
    m_lastResult = m_open->ListValueNames(m_key, raw);
    for (const std::string& n : raw) names.push_back(Utf8ToWideString(n));
    return m_lastResult == ERROR_SUCCESS;
}

bool RegistryKey::ValueExists(const std::wstring& name)
{
    uint32_t type = REG_NONE;
    std::string data;
    return QueryValue(name, type, data);
}

bool RegistryKey::DeleteValue(const std::wstring& name)
{
    if (!m_open) return Fail(ERROR_INVALID_HANDLE);
    if (m_readOnly) return Fail(ERROR_ACCESS_DENIED);
    m_lastResult = m_open->DeleteValue(m_key, WideToUtf8Text(name));
    return m_lastResult == ERROR_SUCCESS;
}

bool RegistryKey::KeyExists(const std::wstring& path)
{
    SettingsStore::KeyId id = 0;
    m_lastResult = RootStore()->OpenKey(WideToUtf8Text(path), id);
    return m_lastResult == ERROR_SUCCESS;
}

bool RegistryKey::DeleteKey(const std::wstring& path)
{
    if (m_readOnly) return Fail(ERROR_ACCESS_DENIED);
    m_lastResult = RootStore()->DeleteKey(WideToUtf8Text(path));
    return m_lastResult == ERROR_SUCCESS;
}

bool RegistryKey::ReplaceKeyTexts(const std::wstring& path,
                                  const std::vector<std::pair<std::wstring, std::wstring>>& texts)
{
    if (m_readOnly) return Fail(ERROR_ACCESS_DENIED);
    std::vector<std::pair<std::string, std::string>> utf8;
    utf8.reserve(texts.size());
    for (const auto& text : texts) utf8.emplace_back(WideToUtf8Text(text.first), WideToUtf8Text(text.second));
    m_lastResult = RootStore()->ReplaceKeyTexts(WideToUtf8Text(path), utf8);
    return m_lastResult == ERROR_SUCCESS;
}

} // namespace platform
