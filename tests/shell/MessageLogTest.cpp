#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "ldap/LDAPException.h"
#include "shell/core/MessageLog.h"

namespace {

std::vector<std::wstring> g_seen;
void Recorder(const wchar_t* line) { g_seen.emplace_back(line); }

std::string TempPath(const char* name)
{
    char tmpl[] = "/tmp/arblog-XXXXXX";
    return std::string(mkdtemp(tmpl)) + "/" + name;
}

std::vector<std::string> FileLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

TEST(MessageLog, EachFlushIsOneLineInEverySink)
{
    std::string path = TempPath("messages.log");
    ASSERT_TRUE(OpenLogFileAt(path));
    g_seen.clear();
    g_logStreamBuf.AddSink(Recorder);
    LogLine(L"first");
    {
        std::lock_guard<std::recursive_mutex> lock(g_logLock);
        g_logStream << "M\xC3\xBCller " << 42 << L" wide";
        const char* none = nullptr;
        g_logStream << none;  // writes nothing
        g_logStream.flush();
    }
    g_logStreamBuf.RemoveSink(Recorder);
    CloseLogFile();
    EXPECT_EQ(g_seen, (std::vector<std::wstring>{L"first", L"M\u00FCller 42 wide"}));
    EXPECT_EQ(FileLines(path), (std::vector<std::string>{"first", "M\xC3\xBCller 42 wide"}));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(MessageLog, ReopeningEmptiesTheFile)
{
    std::string path = TempPath("messages.log");
    ASSERT_TRUE(OpenLogFileAt(path));
    LogLine(L"old run");
    ASSERT_TRUE(OpenLogFileAt(path));
    LogLine(L"new run");
    CloseLogFile();
    LogLine(L"after close");  // reaches no file
    EXPECT_EQ(FileLines(path), (std::vector<std::string>{"new run"}));
}

TEST(MessageLog, LongTextArrivesInPiecesOfTheBufferSize)
{
    g_seen.clear();
    g_logStreamBuf.AddSink(Recorder);
    {
        std::lock_guard<std::recursive_mutex> lock(g_logLock);
        g_logStream << std::wstring(32768 + 10, L'x');
        g_logStream.flush();
    }
    g_logStreamBuf.RemoveSink(Recorder);
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].size(), 32768u);
    EXPECT_EQ(g_seen[1].size(), 10u);
}

TEST(MessageLog, LinesFromThreadsNeverInterleave)
{
    std::string path = TempPath("messages.log");
    ASSERT_TRUE(OpenLogFileAt(path));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) {
                std::lock_guard<std::recursive_mutex> lock(g_logLock);
                g_logStream << L"thread " << t << L" line " << i;
                g_logStream.flush();
            }
        });
    for (auto& th : threads) th.join();
    CloseLogFile();
    auto lines = FileLines(path);
    ASSERT_EQ(lines.size(), 800u);
    for (const auto& l : lines)
        EXPECT_EQ(l.rfind("thread ", 0), 0u) << l;
}

TEST(MessageLog, FormatLDAPError)
{
    EXPECT_EQ(FormatLDAPError(LDAPException(32, "")), L"[ERROR 32] No such object");
    EXPECT_EQ(FormatLDAPError(LDAPException(-1, "")), L"[ERROR 81] Can't contact LDAP server");
}

} // namespace
