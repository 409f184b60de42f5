#include "installer/msi/Handles.h"

#include <map>

#include "installer/msi/HandleObjects.h"

namespace msi {
namespace {

struct HandleTable {
    std::map<MSIHANDLE, std::shared_ptr<HandleObject>> entries;
    MSIHANDLE next = 1;
};

HandleTable& Handles()
{
    static HandleTable table;
    return table;
}

} // namespace

std::recursive_mutex& LayerMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

MSIHANDLE AddHandle(std::shared_ptr<HandleObject> object)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    HandleTable& t = Handles();
    while (t.next == 0 || t.entries.count(t.next)) ++t.next;
    MSIHANDLE h = t.next++;
    t.entries[h] = std::move(object);
    return h;
}

bool CloseHandle(MSIHANDLE handle)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    return Handles().entries.erase(handle) > 0;
}

std::shared_ptr<HandleObject> FindHandle(MSIHANDLE handle)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto& entries = Handles().entries;
    auto it = entries.find(handle);
    return it == entries.end() ? nullptr : it->second;
}

size_t OpenHandleCount()
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    size_t n = 0;
    for (const auto& [h, object] : Handles().entries)
        if (!dynamic_cast<SessionObject*>(object.get())) ++n;
    return n;
}

} // namespace msi

extern "C" UINT MsiCloseHandle(MSIHANDLE hAny)
{
    if (hAny == 0) return ERROR_SUCCESS;
    return msi::CloseHandle(hAny) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
