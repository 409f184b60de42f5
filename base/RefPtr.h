#pragma once
// Holder of one counted reference to an object with AddRef and Release (the
// object deletes itself when its count drops to 0).

#include <cstddef>
#include <utility>

template <class T>
class RefPtr {
public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    // Takes a reference of its own on object.
    explicit RefPtr(T* object) : m_object(object)
    {
        if (m_object) m_object->AddRef();
    }
    RefPtr(const RefPtr& other) : RefPtr(other.m_object) {}
    RefPtr(RefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U>
    RefPtr(const RefPtr<U>& other) : RefPtr(other.get()) {}
    template <class U>
    RefPtr(RefPtr<U>&& other) noexcept : m_object(other.Detach()) {}
    ~RefPtr() { reset(); }

    RefPtr& operator=(RefPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    // Takes over a reference the caller already counted.
    static RefPtr Adopt(T* object)
    {
        RefPtr p;
        p.m_object = object;
        return p;
    }
    // Hands the reference to the caller, who must Release it.
    T* Detach() { return std::exchange(m_object, nullptr); }

    void reset()
    {
        if (T* object = std::exchange(m_object, nullptr))
            object->Release();
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};

template <class T, class U>
bool operator==(const RefPtr<T>& a, const RefPtr<U>& b) { return a.get() == b.get(); }
template <class T, class U>
bool operator!=(const RefPtr<T>& a, const RefPtr<U>& b) { return a.get() != b.get(); }
template <class T>
bool operator==(const RefPtr<T>& a, std::nullptr_t) { return !a; }
template <class T>
bool operator!=(const RefPtr<T>& a, std::nullptr_t) { return static_cast<bool>(a); }
