#pragma once
// Reference-counted objects in the shape of IUnknown (schema models, host
// storages): the interface, its count and its interface table. base/RefPtr.h
// holds references to them.

#include <atomic>
#include <cstdint>
#include <initializer_list>

#include "base/Guid.h"
#include "base/HResult.h"

typedef GUID IID;

constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

// {00000000-0000-0000-C000-000000000046}
inline const IID IID_IUnknown = {0x00000000u, 0x0000u, 0x0000u, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
public:
    // S_OK with *object set and one more reference, else E_NOINTERFACE
    // (E_POINTER without object) and *object null.
    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    // The new count.
    virtual uint32_t AddRef() = 0;
    // The new count; the object is gone when it is 0.
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

// The count behind AddRef and Release: every counted class holds one and
// answers both through it.
class CRefCount {
public:
    uint32_t AddRef() { return static_cast<uint32_t>(++m_refs); }
    // The new count; at 0 the owner is deleted.
    template <typename T>
    uint32_t Release(T* owner)
    {
        int32_t n = --m_refs;
        if (n == 0) delete owner;
        return static_cast<uint32_t>(n);
    }

private:
    std::atomic<int32_t> m_refs{0};
};

// One interface a class answers in QueryInterface, and the pointer it gives.
struct InterfaceEntry {
    const IID& iid;
    IUnknown* object;
};

// QueryInterface over the class's table: the entry for iid, with one more
// reference, or E_NOINTERFACE and a null *object (E_POINTER without object).
HRESULT QueryInterfaceTable(std::initializer_list<InterfaceEntry> table, const IID& iid, void** object);
