#include "base/LogStream.h"

#include "base/Utf8.h"

// The lock first: the buffer takes it when sinks are added or removed.
std::recursive_mutex g_logLock;
CLogStreamBuf g_logStreamBuf(32768, &g_logLock);
std::wostream g_logStream(&g_logStreamBuf);

std::wostream& operator<<(std::wostream& os, Utf8Text text)
{
    if (text.data)
        os << Utf8ToWideString(std::string(text.data, text.size));
    return os;
}

void LogLine(const std::wstring& text)
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    g_logStream << text;
    g_logStream.flush();
}

void LogLine(const std::string& utf8)
{
    LogLine(Utf8ToWideString(utf8));
}
