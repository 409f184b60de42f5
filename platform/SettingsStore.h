#pragma once
// The settings store: a tree of keys holding typed values, kept in one SQLite
// file. Two process-wide roots stand in for the registry's HKEY_CURRENT_USER
// (writable, "settings.db" in the user's config folder) and HKEY_LOCAL_MACHINE
// (read-only, "settings.db" in the machine config folder).
//
// Paths are written with '\' between key names; empty parts (a leading or
// trailing '\') are ignored, so "" is the root itself. Key and value names
// compare ignoring ASCII case only and keep the case they were created with.
// A value name may hold any character, '\' and '/' included; "" is the
// default value. Names here are UTF-8; RegistryKey offers the wide-text API.
//
// Every write is one transaction. All calls are thread-safe.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/SqliteStatement.h"

namespace platform {

// Results of the settings calls, with the registry's numbers.
constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;       // no such key or value
constexpr long ERROR_ACCESS_DENIED = 5;        // read-only root or key
constexpr long ERROR_INVALID_HANDLE = 6;       // the key object is not open
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_REGISTRY_IO_FAILED = 1016;
constexpr long ERROR_KEY_DELETED = 1018;       // the open key was deleted meanwhile
constexpr long ERROR_UNSUPPORTED_TYPE = 1630;  // the value has another type

// Value types; these numbers are what the file stores.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;      // text, stored as UTF-8 without terminator
constexpr uint32_t REG_BINARY = 3;  // bytes
constexpr uint32_t REG_DWORD = 4;   // 32 bits, stored as 4 little-endian bytes

enum class RegRoot { CurrentUser, LocalMachine };

class SettingsStore {
public:
    typedef int64_t KeyId;
    static constexpr KeyId kRootKey = 1;

    // Opens the store file; never null. Writable: the file is created with mode
    // 0600 when missing, and a file that is not a store is renamed to
    // path + ".bad" and a new store started. Read-only: a missing or bad file
    // is an empty root. When the file cannot be used at all the store is an
    // empty root whose writes fail.
    static std::shared_ptr<SettingsStore> Open(const std::string& path, bool writable);

    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    const std::string& GetPath() const { return m_path; }
    // True when a store file is open for writing.
    bool IsWritable() const { return m_writable; }

    long OpenKey(const std::string& path, KeyId& id);
    // Creates the missing keys along the path (one transaction).
    long CreateKey(const std::string& path, KeyId& id);
    // Removes the key with everything below it; the root cannot be deleted.
    long DeleteKey(const std::string& path);
    // ERROR_SUCCESS while the key exists, else ERROR_KEY_DELETED.
    long CheckKey(KeyId id);

    long SetValue(KeyId key, const std::string& name, uint32_t type, const std::string& data);
    // In one transaction: creates the key when missing, removes everything
    // below it and writes the texts as its values (REG_SZ), in order. On a
    // failure the key is left as it was.
    long ReplaceKeyTexts(const std::string& path, const std::vector<std::pair<std::string, std::string>>& texts);
    long GetValue(KeyId key, const std::string& name, uint32_t& type, std::string& data);
    long DeleteValue(KeyId key, const std::string& name);

    // Names sorted ignoring ASCII case (as upper case, the registry's order).
    long ListSubKeys(KeyId key, std::vector<std::string>& names);
    long ListValueNames(KeyId key, std::vector<std::string>& names);

private:
    explicit SettingsStore(std::string path);
    void Connect(bool writable);
    long Resolve(const std::string& path, bool create, KeyId& id);
    long KeyExists(KeyId id);
    enum class KeyItself { Delete, Keep };
    // Inside a write transaction.
    long DeleteBelow(KeyId id, KeyItself itself);
    long PutValue(KeyId key, const std::string& name, uint32_t type, const std::string& data);
    long ListNames(const char* sql, KeyId key, std::vector<std::string>& names);

    std::string m_path;
    bool m_writable = false;
    std::mutex m_mutex;
    SqliteDb m_db;
};

// The process-wide roots, opened on first use and kept until reset.
std::shared_ptr<SettingsStore> GetSettingsRoot(RegRoot root);
// Points the machine root at another file; "" restores the default file.
void SetMachineRootFile(const std::string& path);
// Forgets the opened user root: the next use opens it again from the user's
// config folder (after ARBOLITE_HOME changed, in tests).
void ResetUserRoot();

} // namespace platform
