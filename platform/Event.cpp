#include "platform/Event.h"

#include <chrono>

namespace platform {

Event::Event(Mode mode, bool initiallySet) : m_mode(mode), m_set(initiallySet) {}

void Event::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_set = true;
    }
    // An auto-reset signal is consumed by one waiter; waking them all would
    // only make the others go back to sleep.
    if (m_mode == Mode::AutoReset)
        m_cv.notify_one();
    else
        m_cv.notify_all();
}

void Event::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_set = false;
}

bool Event::Wait(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    auto isSet = [this] { return m_set; };
    if (timeoutMs == kInfinite)
        m_cv.wait(lock, isSet);
    else if (!m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet))
        return false;
    if (m_mode == Mode::AutoReset)
        m_set = false;
    return true;
}

bool Event::IsSet() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_set;
}

} // namespace platform
