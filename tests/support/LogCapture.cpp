#include "tests/support/LogCapture.h"

#include "base/LogStream.h"
#include "base/Utf8.h"

namespace testsupport {

namespace {
LogCapture* g_current = nullptr;  // changed and read under the log lock
}

LogCapture::LogCapture()
{
    std::lock_guard<std::recursive_mutex> logLock(g_logLock);
    g_current = this;
    g_logStreamBuf.AddSink(Record);
}

LogCapture::~LogCapture()
{
    std::lock_guard<std::recursive_mutex> logLock(g_logLock);
    g_logStreamBuf.RemoveSink(Record);
    g_current = nullptr;
}

// Sinks run under the log lock, so the capture cannot go meanwhile.
void LogCapture::Record(const wchar_t* line)
{
    if (LogCapture* self = g_current) {
        std::lock_guard<std::mutex> lock(self->m_lock);
        self->m_lines.emplace_back(line);
    }
}

std::vector<std::wstring> LogCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lines;
}

std::vector<std::string> LogCapture::Utf8Lines() const
{
    std::vector<std::string> out;
    for (const std::wstring& line : Lines()) out.push_back(WideToUtf8Text(line));
    return out;
}

bool LogCapture::Contains(const std::wstring& part) const
{
    return CountContaining(part) > 0;
}

int LogCapture::CountContaining(const std::wstring& part) const
{
    int n = 0;
    for (const std::wstring& line : Lines()) n += line.find(part) != std::wstring::npos;
    return n;
}

size_t LogCapture::Count(const std::string& line) const
{
    size_t n = 0;
    for (const std::string& l : Utf8Lines()) n += l == line;
    return n;
}

bool LogCapture::HasLineStartingWith(const std::string& start) const
{
    for (const std::string& l : Utf8Lines())
        if (l.compare(0, start.size(), start) == 0) return true;
    return false;
}

void LogCapture::Clear()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_lines.clear();
}

} // namespace testsupport
