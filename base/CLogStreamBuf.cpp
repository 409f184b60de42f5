#include "base/CLogStreamBuf.h"

#include <algorithm>

CLogStreamBuf::CLogStreamBuf(size_t capacity) : m_buffer(capacity + 1)
{
    setp(m_buffer.data(), m_buffer.data() + capacity);
}

void CLogStreamBuf::AddSink(LogSink sink)
{
    m_sinks.push_back(sink);
}

void CLogStreamBuf::RemoveSink(LogSink sink)
{
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
