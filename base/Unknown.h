#pragma once
// Reference-counted objects in the shape of IUnknown (schema models, host
// storages) and an owning pointer for them.

#include <cstdint>
#include <utility>

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

// Holds one reference of a counted object.
template <typename T>
class CRefPtr {
public:
    CRefPtr() = default;
    // Takes a reference of its own.
    explicit CRefPtr(T* object) : m_object(object)
    {
        if (m_object) m_object->AddRef();
    }
    CRefPtr(const CRefPtr& other) : CRefPtr(other.m_object) {}
    CRefPtr(CRefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <typename U>
    CRefPtr(const CRefPtr<U>& other) : CRefPtr(other.Get()) {}
    ~CRefPtr() { Reset(); }

    CRefPtr& operator=(const CRefPtr& other)
    {
        CRefPtr(other).Swap(*this);
        return *this;
    }
    CRefPtr& operator=(CRefPtr&& other) noexcept
    {
        CRefPtr(std::move(other)).Swap(*this);
        return *this;
    }

    // Takes over a reference the caller already holds.
    static CRefPtr Adopt(T* object)
    {
        CRefPtr p;
        p.m_object = object;
        return p;
    }
    // Gives the reference up to the caller.
    T* Detach() { return std::exchange(m_object, nullptr); }

    void Reset()
    {
        if (T* o = std::exchange(m_object, nullptr)) o->Release();
    }
    void Swap(CRefPtr& other) noexcept { std::swap(m_object, other.m_object); }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};

template <typename T, typename U>
bool operator==(const CRefPtr<T>& a, const CRefPtr<U>& b) { return a.Get() == b.Get(); }
template <typename T, typename U>
bool operator!=(const CRefPtr<T>& a, const CRefPtr<U>& b) { return a.Get() != b.Get(); }
