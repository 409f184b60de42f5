#pragma once
// The buffer behind the program's one wide log stream. Each flush hands the
// buffered text to the sinks (the log file, the output window) as one line.

#include <mutex>
#include <streambuf>
#include <vector>

typedef void (*LogSink)(const wchar_t* line);

class CLogStreamBuf : public std::wstreambuf {
public:
    // With a lock, adding and removing sinks hold it: the sinks run inside
    // the writers' hold of that lock, so once RemoveSink returns the sink is
    // neither running nor called again.
    explicit CLogStreamBuf(size_t capacity = 32768, std::recursive_mutex* lock = nullptr);
    CLogStreamBuf(const CLogStreamBuf&) = delete;
    CLogStreamBuf& operator=(const CLogStreamBuf&) = delete;

    // The same sink may be added twice; RemoveSink removes every entry of it.
    void AddSink(LogSink sink);
    void RemoveSink(LogSink sink);

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    void HandOver();

    std::vector<wchar_t> m_buffer;  // capacity + 1: room for the terminator
    std::vector<LogSink> m_sinks;
    std::recursive_mutex* m_lock;
};
