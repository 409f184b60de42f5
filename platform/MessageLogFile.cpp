#include "platform/MessageLogFile.h"

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "platform/Folders.h"

namespace {
std::ofstream g_logFile;
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
