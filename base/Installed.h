#pragma once
// The one process-wide implementation of an interface (a port, the
// dispatcher): installed by the program or a test, read from any thread.

#include <memory>
#include <mutex>
#include <utility>

template <class T>
class Installed {
public:
    // Installs value and returns the one it replaces.
    T Set(T value)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::swap(m_value, value);
        return value;
    }
    T Get() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_value;
    }

private:
    mutable std::mutex m_lock;
    T m_value{};
};
