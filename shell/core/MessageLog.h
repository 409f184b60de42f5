#pragma once
// The message log: one wide text stream fanned out to "messages.log" and the
// output window. Every writer holds g_logLock from its first character until
// its flush returns, so lines from several threads never interleave.

#include <mutex>
#include <ostream>
#include <string>

#include "shell/core/CLogStreamBuf.h"

class LDAPException;

extern CLogStreamBuf g_logStreamBuf;
extern std::wostream g_logStream;
extern std::recursive_mutex g_logLock;

// A narrow text (UTF-8) on the wide stream; a null text writes nothing.
std::wostream& operator<<(std::wostream& os, const char* text);
std::wostream& operator<<(std::wostream& os, const std::string& text);

// Writes one line under the log lock and flushes it.
void LogLine(const std::wstring& text);
void LogLine(const std::string& utf8);

// The file sink: the line and a line end, flushed.
void WriteLogFileLine(const wchar_t* line);

// Opens "messages.log" in the per-user data folder, emptied, and adds the
// file sink. False when the file cannot be opened (the other sinks still work).
bool OpenLogFile();
// Opens the log file at path instead (tests).
bool OpenLogFileAt(const std::string& path);
// Removes the file sink and closes the file.
void CloseLogFile();

// "[ERROR <code>] <text>" for a failed LDAP operation.
std::wstring FormatLDAPError(LDAPException e);
