#pragma once
// The buffer behind the program's one wide log stream. Each flush hands the
// buffered text to the sinks (the log file, the output window) as one line.

#include <streambuf>
#include <vector>

typedef void (*LogSink)(const wchar_t* line);

class CLogStreamBuf : public std::wstreambuf {
public:
    explicit CLogStreamBuf(size_t capacity = 32768);
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
};
