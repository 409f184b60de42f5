#pragma once
// One open key of a settings root: made for a root as read-only or writable,
// opened (Open) or made (CreateKey) by its path from the root, then values are
// read and written by name.
//
// Paths run from the root with '\' separators ("Software\Vellumar\Arbolite\");
// names compare ignoring ASCII case. After every call GetLastResult() holds the
// result code (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ...); after a read that
// found the value, GetLastType() and GetLastSize() hold its stored type and
// byte size (a string's UTF-8 bytes, 4 for a DWORD).
//
// A key whose path is deleted while it is open stays open but every further
// call on it fails with ERROR_KEY_DELETED. One object belongs to one thread at
// a time; the store underneath is shared safely.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/SettingsStore.h"

namespace platform {

class RegistryKey {
public:
    // The process-wide root, looked up when a key is opened.
    RegistryKey(RegRoot root, bool readOnly);
    // A given store (tests, or a file opened with SettingsStore::Open).
    RegistryKey(std::shared_ptr<SettingsStore> store, bool readOnly);
    ~RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens the key, creating what is missing; fails on a read-only object.
    bool CreateKey(const std::wstring& path);
    // Opens an existing key. A writable object fails on a read-only root.
    bool Open(const std::wstring& path);
    void Close();
    bool IsOpen() const { return m_open != nullptr; }
    bool IsReadOnly() const { return m_readOnly; }
    // The path the key was opened with.
    const std::wstring& GetPath() const { return m_path; }

    bool Write(const std::wstring& name, const std::wstring& text);     // REG_SZ
    bool Write(const std::wstring& name, uint32_t value);               // REG_DWORD
    bool Write(const std::wstring& name, const std::vector<uint8_t>& bytes);  // REG_BINARY
    bool WriteBinary(const std::wstring& name, const void* data, size_t size);

    // A REG_SZ value's text.
    bool Read(const std::wstring& name, std::wstring& text);
    // A REG_DWORD value.
    bool Read(const std::wstring& name, uint32_t& value);
    bool Read(const std::wstring& name, int32_t& value);
    // The stored bytes of a value of any type.
    bool Read(const std::wstring& name, std::vector<uint8_t>& bytes);

    // Names sorted ignoring case; true (possibly with none) when the key is open.
    bool ReadSubKeys(std::vector<std::wstring>& names);
    bool ReadValueNames(std::vector<std::wstring>& names);

    bool ValueExists(const std::wstring& name);
    bool DeleteValue(const std::wstring& name);
    // A key path from the root, whether or not it is this object's key.
    bool KeyExists(const std::wstring& path);
    // Deletes the key at path (from the root) with everything below it.
    bool DeleteKey(const std::wstring& path);
    // The key at path (made when missing) emptied and given these texts as
    // its values, all or nothing.
    bool ReplaceKeyTexts(const std::wstring& path, const std::vector<std::pair<std::wstring, std::wstring>>& texts);

    long GetLastResult() const { return m_lastResult; }
    uint32_t GetLastType() const { return m_lastType; }
    uint32_t GetLastSize() const { return m_lastSize; }

protected:
    // Reads a value's type and stored bytes, recording result, type and size.
    bool QueryValue(const std::wstring& name, uint32_t& type, std::string& data);
    bool WriteValue(const std::wstring& name, uint32_t type, const std::string& data);
    void SetLastInfo(long result, uint32_t type, uint32_t size);
    bool Fail(long result);

private:
    std::shared_ptr<SettingsStore> RootStore() const;

    RegRoot m_root = RegRoot::CurrentUser;
    std::shared_ptr<SettingsStore> m_fixedStore;  // set when made for a given store
    bool m_readOnly;
    std::shared_ptr<SettingsStore> m_open;  // the store of the open key
    SettingsStore::KeyId m_key = 0;
    std::wstring m_path;
    long m_lastResult = ERROR_SUCCESS;
    uint32_t m_lastType = REG_NONE;
    uint32_t m_lastSize = 0;
};

} // namespace platform
