#include "shell/core/MessageLog.h"

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "ldap/LDAPException.h"
#include "ldap/TextHelpers.h"
#include "platform/Folders.h"

CLogStreamBuf g_logStreamBuf(32768);
std::wostream g_logStream(&g_logStreamBuf);
std::recursive_mutex g_logLock;

namespace {
std::ofstream g_logFile;
}

std::wostream& operator<<(std::wostream& os, const char* text)
{
    if (text)
        os << Utf8ToWideString(text);
    return os;
}

std::wostream& operator<<(std::wostream& os, const std::string& text)
{
    return os << Utf8ToWideString(text);
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

void WriteLogFileLine(const wchar_t* line)
{
    if (!g_logFile.is_open()) return;
    g_logFile << WideToUtf8Text(line) << '\n';
    g_logFile.flush();
}

bool OpenLogFileAt(const std::string& path)
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    g_logStreamBuf.RemoveSink(WriteLogFileLine);
    if (g_logFile.is_open()) g_logFile.close();
    // Created private: the log may hold DNs and server messages.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) ::close(fd);
    g_logFile.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    g_logStreamBuf.AddSink(WriteLogFileLine);
    return g_logFile.is_open();
}

bool OpenLogFile()
{
    return OpenLogFileAt(platform::GetUserDataFolder() + "messages.log");
}

void CloseLogFile()
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    g_logStreamBuf.RemoveSink(WriteLogFileLine);
    if (g_logFile.is_open()) g_logFile.close();
}

std::wstring FormatLDAPError(LDAPException e)
{
    return L"[ERROR " + std::to_wstring(e.GetResultCode()) + L"] " + Utf8ToWideString(e.GetResultText());
}
