#pragma once
// The registry hives of the installer layer's machine: keys with sub-keys
// and typed values, names compared ignoring ASCII case, paths separated by
// '\\'. Tests fill and inspect it; the Reg* functions of WinReg.h work on it.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/msi/WinReg.h"

namespace msi {

class RegistryStore {
public:
    struct Value {
        std::string name;
        DWORD type = REG_NONE;
        std::vector<unsigned char> data;
    };
    struct Key {
        std::string name;
        std::map<std::string, std::unique_ptr<Key>> keys;  // by folded name
        std::map<std::string, Value> values;              // by folded name
    };

    RegistryStore();

    // The key below a hive (or an open key), made when create is set; null
    // when it is missing or the handle is unknown.
    Key* Resolve(HKEY root, const std::string& path, bool create, bool* created = nullptr);

    // Texts are stored with their terminating zero, as RegSetValueExA does.
    void SetString(HKEY hive, const std::string& path, const std::string& name, const std::string& text,
                   DWORD type = REG_SZ);
    void SetValue(HKEY hive, const std::string& path, const std::string& name, DWORD type,
                  std::vector<unsigned char> data);
    void CreateKey(HKEY hive, const std::string& path);
    bool HasKey(HKEY hive, const std::string& path);
    const Value* FindValue(HKEY hive, const std::string& path, const std::string& name);
    // A text value without its terminating zero; nothing when missing.
    std::optional<std::string> GetString(HKEY hive, const std::string& path, const std::string& name);
    std::vector<std::string> ValueNames(HKEY hive, const std::string& path);

    // Open keys: handles the Reg* functions gave out and nobody closed.
    HKEY Open(Key* key, REGSAM access);
    Key* OpenKey(HKEY handle, REGSAM* access = nullptr);
    bool Close(HKEY handle);
    size_t OpenKeyCount() const { return open_.size(); }

    void Clear();

    static std::string Fold(const std::string& name);

private:
    struct OpenEntry {
        Key* key;
        REGSAM access;
    };
    std::map<uintptr_t, Key> hives_;
    std::map<uintptr_t, OpenEntry> open_;
    uintptr_t nextHandle_ = 1;
};

} // namespace msi
