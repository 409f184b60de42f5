#pragma once
// The message log: one wide text stream fanned out to its sinks (the log file,
// the output window). Every writer holds g_logLock from its first character
// until its flush returns, so lines from several threads never interleave.

#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>

#include "base/CLogStreamBuf.h"

// Its sinks are added and removed under g_logLock.
extern CLogStreamBuf g_logStreamBuf;
extern std::wostream g_logStream;
extern std::recursive_mutex g_logLock;

// UTF-8 text bound for a wide stream: os << Utf8(text). A plain const char*
// would be widened byte by byte by the standard library, so narrow text always
// goes through this wrapper; argument-dependent lookup finds its operator from
// any namespace. A null text writes nothing.
struct Utf8Text {
    const char* data;
    size_t size;
};
inline Utf8Text Utf8(const char* text) { return {text, text ? std::char_traits<char>::length(text) : 0}; }
inline Utf8Text Utf8(const std::string& text) { return {text.data(), text.size()}; }
std::wostream& operator<<(std::wostream& os, Utf8Text text);

// Writes one line under the log lock and flushes it.
void LogLine(const std::wstring& text);
void LogLine(const std::string& utf8);
