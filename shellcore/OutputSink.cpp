#include "shellcore/OutputSink.h"

#include <deque>
#include <memory>

#include "base/LogStream.h"
#include "platform/Dispatcher.h"

namespace {

// Touched only inside the log lock.
std::deque<std::wstring>& Queue()
{
    static std::deque<std::wstring> queue;
    return queue;
}

bool PostLine(platform::ReceiverId list, const std::wstring& line)
{
    return platform::Post(list, platform::WM_OUTPUT_LINE, 0, 0, platform::MakeValuePayload(line));
}

} // namespace

void OutputWindowSink(const wchar_t* line)
{
    std::wstring text(line ? line : L"");
    std::deque<std::wstring>& queue = Queue();
    platform::ReceiverId list = platform::GetAppWindow(platform::AppWindow::OutputList);
    std::shared_ptr<platform::Dispatcher> dispatcher = platform::GetDispatcher();
    if (list == platform::kNoReceiver || !dispatcher || !dispatcher->IsRegistered(list)) {
        queue.push_back(std::move(text));
        return;
    }
    while (!queue.empty()) {
        if (!PostLine(list, queue.front())) {
            queue.push_back(std::move(text));
            return;
        }
        queue.pop_front();
    }
    if (!PostLine(list, text))
        queue.push_back(std::move(text));
}

void AddOutputSink()
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    g_logStreamBuf.AddSink(OutputWindowSink);
}

void RemoveOutputSink()
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    g_logStreamBuf.RemoveSink(OutputWindowSink);
}

std::vector<std::wstring> GetQueuedOutputLines()
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    return std::vector<std::wstring>(Queue().begin(), Queue().end());
}

void ClearQueuedOutputLines()
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    Queue().clear();
}
