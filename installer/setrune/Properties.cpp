#include "installer/setrune/Properties.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "installer/setrune/MsiHandle.h"

namespace setrune {

bool GetProperty(MSIHANDLE hInstall, const char* name, size_t size, std::string* value)
{
    std::vector<char> buffer(size, 0);
    DWORD count = static_cast<DWORD>(size);
    if (MsiGetPropertyA(hInstall, name, buffer.data(), &count) != ERROR_SUCCESS) return false;
    value->assign(buffer.data(), count);
    return true;
}

bool GetWholeProperty(MSIHANDLE hInstall, const char* name, std::string* value)
{
    DWORD count = 0;
    char empty = 0;
    UINT r = MsiGetPropertyA(hInstall, name, &empty, &count);
    if (r == ERROR_SUCCESS) {
        value->clear();
        return true;
    }
    if (r != ERROR_MORE_DATA) return false;
    return GetProperty(hInstall, name, static_cast<size_t>(count) + 1, value);
}

bool PropertyHoldsValue(MSIHANDLE hInstall, const char* name, size_t size)
{
    std::vector<char> buffer(size, 0);
    DWORD count = static_cast<DWORD>(size);
    UINT r = MsiGetPropertyA(hInstall, name, buffer.data(), &count);
    return r == ERROR_MORE_DATA || (r == ERROR_SUCCESS && count > 0);
}

bool GetFieldText(MSIHANDLE record, UINT field, size_t size, std::string* value)
{
    std::vector<char> buffer(size, 0);
    DWORD count = static_cast<DWORD>(size);
    if (MsiRecordGetStringA(record, field, buffer.data(), &count) != ERROR_SUCCESS) return false;
    value->assign(buffer.data(), count);
    return true;
}

bool FormatText(MSIHANDLE hInstall, const std::string& text, size_t size, std::string* value)
{
    MsiHandle record(MsiCreateRecord(0));
    if (!record || MsiRecordSetStringA(record, 0, text.c_str()) != ERROR_SUCCESS) return false;
    std::vector<char> buffer(size, 0);
    DWORD count = static_cast<DWORD>(size);
    if (MsiFormatRecordA(hInstall, record, buffer.data(), &count) != ERROR_SUCCESS) return false;
    value->assign(buffer.data(), count);
    return true;
}

bool IsDeferred(MSIHANDLE hInstall)
{
    return MsiGetMode(hInstall, MSIRUNMODE_SCHEDULED) != FALSE;
}

long ToLong(const std::string& text)
{
    errno = 0;
    return std::strtol(text.c_str(), nullptr, 10);
}

} // namespace setrune
