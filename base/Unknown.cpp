#include "base/Unknown.h"

HRESULT QueryInterfaceTable(std::initializer_list<InterfaceEntry> table, const IID& iid, void** object)
{
    if (!object) return E_POINTER;
    for (const InterfaceEntry& entry : table)
        if (entry.iid == iid) {
            *object = entry.object;
            entry.object->AddRef();
            return S_OK;
        }
    *object = nullptr;
    return E_NOINTERFACE;
}
