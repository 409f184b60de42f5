#pragma once
// The lines the message log hands to its sinks while a capture lives. One
// capture at a time.

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::wstring> Lines() const;
    std::vector<std::string> Utf8Lines() const;
    bool Contains(const std::wstring& part) const;
    int CountContaining(const std::wstring& part) const;
    // Lines equal to line (UTF-8).
    size_t Count(const std::string& line) const;
    bool HasLineStartingWith(const std::string& start) const;
    void Clear();

private:
    static void Record(const wchar_t* line);

    mutable std::mutex m_lock;
    std::vector<std::wstring> m_lines;
};

} // namespace testsupport
