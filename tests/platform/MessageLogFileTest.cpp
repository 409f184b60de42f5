#include <gtest/gtest.h>

#include <fstream>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "base/LogStream.h"
#include "platform/MessageLogFile.h"

namespace {

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

TEST(MessageLogFile, HoldsEachLineAsUtf8AndIsPrivate)
{
    std::string path = TempPath("messages.log");
    ASSERT_TRUE(OpenLogFileAt(path));
    LogLine(L"first");
    LogLine(std::string("M\xC3\xBCller 42 wide"));
    CloseLogFile();
    EXPECT_EQ(FileLines(path), (std::vector<std::string>{"first", "M\xC3\xBCller 42 wide"}));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(MessageLogFile, ReopeningEmptiesTheFile)
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

TEST(MessageLogFile, LinesFromThreadsNeverInterleave)
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

} // namespace
