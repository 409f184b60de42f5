#include "installer/msi/RegistryStore.h"

#include <mutex>

#include "installer/msi/Handles.h"

namespace msi {
namespace {

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool IsHive(uintptr_t h)
{
    return h >= 0x80000000u && h <= 0x80000003u;
}

} // namespace

RegistryStore::RegistryStore()
{
    Clear();
}

std::string RegistryStore::Fold(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void RegistryStore::Clear()
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    hives_.clear();
    open_.clear();
    for (uintptr_t h = 0x80000000u; h <= 0x80000003u; ++h) hives_[h];
}

RegistryStore::Key* RegistryStore::Resolve(HKEY root, const std::string& path, bool create, bool* created)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    uintptr_t h = reinterpret_cast<uintptr_t>(root);
    Key* key = IsHive(h) ? &hives_[h] : OpenKey(root);
    if (created) *created = false;
    for (const auto& part : SplitPath(path)) {
        if (!key) return nullptr;
        auto& slot = key->keys[Fold(part)];
        if (!slot) {
            if (!create) {
                key->keys.erase(Fold(part));
                return nullptr;
            }
            slot = std::make_unique<Key>();
            slot->name = part;
            if (created) *created = true;
        }
        key = slot.get();
    }
    return key;
}

void RegistryStore::SetValue(HKEY hive, const std::string& path, const std::string& name, DWORD type,
                             std::vector<unsigned char> data)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Key* key = Resolve(hive, path, true);
    if (key) key->values[Fold(name)] = Value{name, type, std::move(data)};
}

void RegistryStore::SetString(HKEY hive, const std::string& path, const std::string& name, const std::string& text,
                              DWORD type)
{
    std::vector<unsigned char> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(hive, path, name, type, std::move(data));
}

void RegistryStore::CreateKey(HKEY hive, const std::string& path)
{
    Resolve(hive, path, true);
}

bool RegistryStore::HasKey(HKEY hive, const std::string& path)
{
    return Resolve(hive, path, false) != nullptr;
}

const RegistryStore::Value* RegistryStore::FindValue(HKEY hive, const std::string& path, const std::string& name)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Key* key = Resolve(hive, path, false);
    if (!key) return nullptr;
    auto it = key->values.find(Fold(name));
    return it == key->values.end() ? nullptr : &it->second;
}

std::optional<std::string> RegistryStore::GetString(HKEY hive, const std::string& path, const std::string& name)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    const Value* v = FindValue(hive, path, name);
    if (!v) return std::nullopt;
    std::string text(v->data.begin(), v->data.end());
    if (!text.empty() && text.back() == 0) text.pop_back();
    return text;
}

std::vector<std::string> RegistryStore::ValueNames(HKEY hive, const std::string& path)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    std::vector<std::string> names;
    if (Key* key = Resolve(hive, path, false))
        for (const auto& [folded, v] : key->values) names.push_back(v.name);
    return names;
}

HKEY RegistryStore::Open(Key* key, REGSAM access)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    uintptr_t h = nextHandle_++;
    open_[h] = {key, access};
    return reinterpret_cast<HKEY>(h);
}

RegistryStore::Key* RegistryStore::OpenKey(HKEY handle, REGSAM* access)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    if (IsHive(h)) {
        if (access) *access = KEY_ALL_ACCESS;
        return &hives_[h];
    }
    auto it = open_.find(h);
    if (it == open_.end()) return nullptr;
    if (access) *access = it->second.access;
    return it->second.key;
}

bool RegistryStore::Close(HKEY handle)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    return IsHive(h) || open_.erase(h) > 0;
}

} // namespace msi
