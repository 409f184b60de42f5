#include "base/CLogStreamBuf.h"

#include <algorithm>

namespace {

// Locks the buffer's lock when it has one.
class OptionalLock {
public:
    explicit OptionalLock(std::recursive_mutex* lock) : m_lock(lock)
    {
        if (m_lock) m_lock->lock();
    }
    ~OptionalLock()
    {
        if (m_lock) m_lock->unlock();
    }
    OptionalLock(const OptionalLock&) = delete;
    OptionalLock& operator=(const OptionalLock&) = delete;

private:
    std::recursive_mutex* m_lock;
};

} // namespace

CLogStreamBuf::CLogStreamBuf(size_t capacity, std::recursive_mutex* lock) : m_buffer(capacity + 1), m_lock(lock)
{
    setp(m_buffer.data(), m_buffer.data() + capacity);
}

void CLogStreamBuf::AddSink(LogSink sink)
{
    OptionalLock guard(m_lock);
    m_sinks.push_back(sink);
}

void CLogStreamBuf::RemoveSink(LogSink sink)
{
    OptionalLock guard(m_lock);
    m_sinks.erase(std::remove(m_sinks.begin(), m_sinks.end(), sink), m_sinks.end());
}

void CLogStreamBuf::HandOver()
{
    *pptr() = L'\0';
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size() - 1);
    for (LogSink sink : m_sinks)
        sink(m_buffer.data());
}

CLogStreamBuf::int_type CLogStreamBuf::overflow(int_type c)
{
    HandOver();
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int CLogStreamBuf::sync()
{
    HandOver();
    return 0;
}
