#pragma once
// The registry functions custom actions use, over the hives of the installer
// layer's machine. Key names are compared ignoring ASCII case.

#include <stdint.h>

#include "installer/msi/Msi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HKEY__* HKEY;
typedef int32_t LONG;
typedef DWORD REGSAM;

#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define HKEY_USERS ((HKEY)(uintptr_t)0x80000003u)

#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_READ 0x20019u
#define KEY_WRITE 0x20006u
#define KEY_ALL_ACCESS 0xF003Fu

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u

#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u

LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult);
LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD Reserved, char* lpClass, DWORD dwOptions,
                     REGSAM samDesired, void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition);
// A null or empty name is the key's default value.
LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD* lpReserved, DWORD* lpType, unsigned char* lpData,
                      DWORD* lpcbData);
LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD Reserved, DWORD dwType, const unsigned char* lpData,
                    DWORD cbData);
LONG RegDeleteValueA(HKEY hKey, const char* lpValueName);
LONG RegCloseKey(HKEY hKey);

#ifdef __cplusplus
}
#endif
