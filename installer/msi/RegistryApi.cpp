// The registry functions over the machine's hives.

#include <cstring>
#include <mutex>

#include "installer/msi/Handles.h"
#include "installer/msi/Machine.h"

using namespace msi;

namespace {

RegistryStore& Store()
{
    return Machine::Get().Registry();
}

} // namespace

extern "C" {

LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD, REGSAM samDesired, HKEY* phkResult)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    if (!Store().OpenKey(hKey)) return ERROR_INVALID_HANDLE;
    RegistryStore::Key* key = Store().Resolve(hKey, lpSubKey ? lpSubKey : "", false);
    if (!key) return ERROR_FILE_NOT_FOUND;
    *phkResult = Store().Open(key, samDesired);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD, char*, DWORD, REGSAM samDesired, void*,
                     HKEY* phkResult, DWORD* lpdwDisposition)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
    REGSAM access = 0;
    if (!Store().OpenKey(hKey, &access)) return ERROR_INVALID_HANDLE;
    bool created = false;
    if (!Store().Resolve(hKey, lpSubKey, false) && !(access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    RegistryStore::Key* key = Store().Resolve(hKey, lpSubKey, true, &created);
    if (!key) return ERROR_FILE_NOT_FOUND;
    *phkResult = Store().Open(key, samDesired);
    if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD*, DWORD* lpType, unsigned char* lpData,
                      DWORD* lpcbData)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    REGSAM access = 0;
    RegistryStore::Key* key = Store().OpenKey(hKey, &access);
    if (!key) return ERROR_INVALID_HANDLE;
    if (!(access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
    auto it = key->values.find(RegistryStore::Fold(lpValueName ? lpValueName : ""));
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    const auto& data = it->second.data;
    if (lpType) *lpType = it->second.type;
    if (!lpcbData) return ERROR_SUCCESS;
    DWORD room = *lpcbData;
    *lpcbData = static_cast<DWORD>(data.size());
    if (!lpData) return ERROR_SUCCESS;
    if (room < data.size()) return ERROR_MORE_DATA;
    if (!data.empty()) std::memcpy(lpData, data.data(), data.size());
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD, DWORD dwType, const unsigned char* lpData,
                    DWORD cbData)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    REGSAM access = 0;
    RegistryStore::Key* key = Store().OpenKey(hKey, &access);
    if (!key) return ERROR_INVALID_HANDLE;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
    std::string name = lpValueName ? lpValueName : "";
    std::vector<unsigned char> data(lpData, lpData + cbData);
    key->values[RegistryStore::Fold(name)] = RegistryStore::Value{name, dwType, std::move(data)};
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY hKey, const char* lpValueName)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    REGSAM access = 0;
    RegistryStore::Key* key = Store().OpenKey(hKey, &access);
    if (!key) return ERROR_INVALID_HANDLE;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return key->values.erase(RegistryStore::Fold(lpValueName ? lpValueName : "")) ? ERROR_SUCCESS
                                                                                  : ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY hKey)
{
    return Store().Close(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // extern "C"
