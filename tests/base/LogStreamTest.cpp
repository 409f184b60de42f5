#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/LogStream.h"
#include "tests/support/LogCapture.h"

using testsupport::LogCapture;

namespace {

TEST(LogStream, EachFlushIsOneLine)
{
    LogCapture log;
    LogLine(L"first");
    LogLine(std::string("M\xC3\xBCller"));
    {
        std::lock_guard<std::recursive_mutex> lock(g_logLock);
        g_logStream << Utf8("M\xC3\xBCller ") << 42 << L" wide";
        const char* none = nullptr;
        g_logStream << Utf8(none);  // writes nothing
        g_logStream.flush();
    }
    EXPECT_EQ(log.Lines(), (std::vector<std::wstring>{L"first", L"M\u00FCller", L"M\u00FCller 42 wide"}));
}

} // namespace

// Code in a namespace that declares an operator<< of its own hides every
// global operator<< from ordinary lookup; UTF-8 text must still reach the log
// decoded, not widened byte by byte.
namespace elsewhere {

struct Thing {};
inline std::wostream& operator<<(std::wostream& os, const Thing&) { return os << L"thing"; }

std::vector<std::wstring> LogFromHere()
{
    LogCapture log;
    std::string name = "Gr\xC3\xBC\xC3\x9F" "e";
    {
        std::lock_guard<std::recursive_mutex> lock(g_logLock);
        g_logStream << Thing() << L" " << Utf8(name) << L" " << Utf8("\xE2\x82\xAC");
        g_logStream.flush();
    }
    return log.Lines();
}

} // namespace elsewhere

namespace {

TEST(LogStream, Utf8TextIsDecodedFromInsideAnyNamespace)
{
    EXPECT_EQ(elsewhere::LogFromHere(), (std::vector<std::wstring>{L"thing Gr\u00FC\u00DFe \u20AC"}));
}

TEST(LogStream, LongTextArrivesInPiecesOfTheBufferSize)
{
    LogCapture log;
    {
        std::lock_guard<std::recursive_mutex> lock(g_logLock);
        g_logStream << std::wstring(32768 + 10, L'x');
        g_logStream.flush();
    }
    auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 32768u);
    EXPECT_EQ(lines[1].size(), 10u);
}

} // namespace

namespace {

std::atomic<bool> g_sinkGone{false};
std::atomic<int> g_callsAfterRemoval{0};

// Takes a moment, as a sink that posts or writes a file does.
void CountingSink(const wchar_t*)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(20);
    while (std::chrono::steady_clock::now() < until) {
    }
    if (g_sinkGone.load()) ++g_callsAfterRemoval;
}

// Writers keep logging while a sink comes and goes without the caller taking
// the log lock: once RemoveSink has returned the sink is never called again,
// and the sink list is never changed under a running hand-over.
TEST(LogStream, SinksComeAndGoWhileOtherThreadsWrite)
{
    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int i = 0; i < 3; ++i)
        writers.emplace_back([&] {
            while (!stop.load()) LogLine(L"busy worker line");
        });
    for (int round = 0; round < 2000; ++round) {
        g_sinkGone = false;
        g_logStreamBuf.AddSink(CountingSink);
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        g_logStreamBuf.RemoveSink(CountingSink);
        g_sinkGone = true;
    }
    stop = true;
    for (auto& t : writers) t.join();
    EXPECT_EQ(g_callsAfterRemoval.load(), 0);
}

} // namespace
