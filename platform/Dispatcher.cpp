#include "platform/Dispatcher.h"

#include "base/Installed.h"

#include <atomic>
#include <mutex>

namespace platform {

namespace {

Installed<std::shared_ptr<Dispatcher>> g_dispatcher;
// Counts the dispatchers installed: a thread's cached answer to IsUiThread
// holds for the dispatcher of its count.
std::atomic<unsigned> g_installs{0};
thread_local unsigned t_cachedInstall = ~0u;
thread_local bool t_cachedUi = false;

constexpr int kAppWindowCount = 4;
std::atomic<ReceiverId> g_appWindows[kAppWindowCount];

} // namespace

std::shared_ptr<Dispatcher> SetDispatcher(std::shared_ptr<Dispatcher> dispatcher)
{
    std::shared_ptr<Dispatcher> previous = g_dispatcher.Set(std::move(dispatcher));
    g_installs.fetch_add(1, std::memory_order_release);
    return previous;
}

std::shared_ptr<Dispatcher> GetDispatcher()
{
    return g_dispatcher.Get();
}

bool Post(ReceiverId to, MessageId id, uintptr_t wParam, intptr_t lParam,
          std::unique_ptr<MessagePayload> payload)
{
    std::shared_ptr<Dispatcher> d = GetDispatcher();
    if (!d)
        return false;
    return d->Post(to, id, wParam, lParam, std::move(payload));
}

bool SetTimer(ReceiverId receiver, uint32_t timerId, uint32_t periodMs)
{
    std::shared_ptr<Dispatcher> d = GetDispatcher();
    return d && d->SetTimer(receiver, timerId, periodMs);
}

bool KillTimer(ReceiverId receiver, uint32_t timerId)
{
    std::shared_ptr<Dispatcher> d = GetDispatcher();
    return d && d->KillTimer(receiver, timerId);
}

bool IsUiThread()
{
    const unsigned installs = g_installs.load(std::memory_order_acquire);
    if (t_cachedInstall != installs) {
        std::shared_ptr<Dispatcher> d = GetDispatcher();
        t_cachedUi = !d || d->IsUiThread();
        t_cachedInstall = installs;
    }
    return t_cachedUi;
}

ReceiverRegistration::ReceiverRegistration(MessageReceiver& receiver)
    : m_dispatcher(GetDispatcher())
{
    if (m_dispatcher)
        m_id = m_dispatcher->Register(receiver);
}

ReceiverRegistration::ReceiverRegistration(ReceiverRegistration&& other) noexcept
    : m_dispatcher(std::move(other.m_dispatcher)), m_id(other.m_id)
{
    other.m_id = kNoReceiver;
}

ReceiverRegistration& ReceiverRegistration::operator=(ReceiverRegistration&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_dispatcher = std::move(other.m_dispatcher);
        m_id = other.m_id;
        other.m_id = kNoReceiver;
    }
    return *this;
}

void ReceiverRegistration::Reset()
{
    if (m_dispatcher && m_id != kNoReceiver)
        m_dispatcher->Unregister(m_id);
    m_dispatcher.reset();
    m_id = kNoReceiver;
}

void SetAppWindow(AppWindow window, ReceiverId id)
{
    g_appWindows[static_cast<int>(window)].store(id);
}

ReceiverId GetAppWindow(AppWindow window)
{
    return g_appWindows[static_cast<int>(window)].load();
}

} // namespace platform
