#include "jobs/CLDAPThread.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "jobs/IJobNode.h"
#include "ldap/LDAPConnection.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "platform/Dispatcher.h"
#include "base/LogStream.h"

#include <unistd.h>

using namespace arbldap;

namespace {

// A static that is never destroyed: a worker still running when the process
// exits must find its registry intact.
template <class T>
class NoDestructor {
public:
    NoDestructor() { ::new (static_cast<void*>(m_storage)) T(); }
    T& get() { return *std::launder(reinterpret_cast<T*>(m_storage)); }

private:
    alignas(T) unsigned char m_storage[sizeof(T)];
};

struct Registry {
    std::mutex lock;
    std::condition_variable threadsEnded;
    // Ordered by address, as the stop-all walk goes through them.
    std::map<const CLDAPThread*, std::shared_ptr<CLDAPThread>> running;
    // Threads whose function has not returned yet, and those that have and
    // wait to be joined.
    std::map<std::thread::id, std::thread> live;
    std::vector<std::thread> ended;
    // Every thread ever registered.
    uint64_t registered = 0;
    // Set by the end of the process: no worker starts after it.
    bool closed = false;
};

Registry& TheRegistry()
{
    static NoDestructor<Registry> registry;
    return registry.get();
}

void JoinEndedThreads()
{
    std::vector<std::thread> ended;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> lock(r.lock);
        ended.swap(r.ended);
    }
    // Each has only its return left to do.
    for (std::thread& thread : ended)
        thread.join();
}

// How long the exit guard waits for workers still running when the process
// exits without having ended them itself.
constexpr std::chrono::milliseconds kExitGuardWait{5000};

void EndWorkersAtExit()
{
    EndWorkersBeforeExit(EXIT_FAILURE, kExitGuardWait);
}

std::atomic<long long> g_safePointWaitMs{(kLDAPNetworkTimeoutSeconds + 2) * 1000LL};

bool OnUiThread()
{
    std::shared_ptr<platform::Dispatcher> dispatcher = platform::GetDispatcher();
    return dispatcher && dispatcher->IsUiThread();
}

void LogUnexpected(const char* where, const char* what)
{
    std::string line = std::string("A worker thread stopped on an unexpected failure in ") + where;
    if (what && *what)
        line += std::string(": ") + what;
    LogLine(line);
}

}  // namespace

CLDAPThread::CLDAPThread() = default;

CLDAPThread::~CLDAPThread() = default;

bool CLDAPThread::CreateThread()
{
    std::shared_ptr<CLDAPThread> self = weak_from_this().lock();
    if (!self)
        throw std::logic_error("CLDAPThread::CreateThread: the job is not held by a shared_ptr");
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        if (m_started || m_exitStarted)
            return false;
        m_started = true;
    }
    JoinEndedThreads();
    enum class Start { Refused, Failed, Started, StartedFirst } start = Start::Failed;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> lock(r.lock);
        if (r.closed) {
            start = Start::Refused;
        } else {
            const bool first = r.live.empty();
            r.running[this] = self;
            ++r.registered;
            try {
                // The new thread cannot end before it is entered here: its end
                // takes this lock.
                std::thread thread(&CLDAPThread::ThreadMain, self);
                r.live.emplace(thread.get_id(), std::move(thread));
                start = first ? Start::StartedFirst : Start::Started;
            } catch (const std::system_error&) {
                r.running.erase(this);
            }
        }
    }
    if (start == Start::Failed)
        LogLine(std::string("A worker thread could not be started."));
    if (start == Start::Failed || start == Start::Refused) {
        ExitInstance();
        return false;
    }
    // Exit handlers and the destructors of static objects run in the reverse
    // order of their registration: registered whenever workers start anew,
    // the guard ends them before the static objects made so far die.
    if (start == Start::StartedFirst)
        std::atexit(EndWorkersAtExit);
    return true;
}

void CLDAPThread::ThreadMain(std::shared_ptr<CLDAPThread> self)
{
    {
        std::lock_guard<std::mutex> lock(self->m_stateLock);
        self->m_workerThread = std::this_thread::get_id();
    }
    try {
        self->InitInstance();
        self->Run();
    } catch (const std::exception& e) {
        LogUnexpected("its start", e.what());
    } catch (...) {
        LogUnexpected("its start", nullptr);
    }
    // Does nothing when the run has exited already, as it should have.
    try {
        self->ExitInstance();
    } catch (...) {
    }
    self.reset();

    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    auto it = r.live.find(std::this_thread::get_id());
    if (it != r.live.end()) {
        r.ended.push_back(std::move(it->second));
        r.live.erase(it);
    }
    r.threadsEnded.notify_all();
}

void CLDAPThread::FinishUnstarted()
{
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        if (m_started || m_exitStarted)
            return;
        m_exitStarted = true;
        m_atSafePoint = true;
    }
    m_exitDone = true;
    RunFinish();
}

bool CLDAPThread::IsStarted() const
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return m_started;
}

bool CLDAPThread::IsDoneSignalled() const
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return m_atSafePoint;
}

bool CLDAPThread::IsCancelled() const
{
    return m_cancelled.load();
}

std::unique_ptr<LDAPResponse> CLDAPThread::WaitForNextResponse(LDAPConnectionPtr* over)
{
    std::unique_ptr<LDAPResponse> response;
    SignalDone();
    try {
        response = GetCurrentQueue()->GetNextResponse(over);
    } catch (...) {
        CheckCancelled(&response, true);
        ResetDone();
        throw;
    }
    CheckCancelled(&response, true);
    ResetDone();
    return response;
}

void CLDAPThread::ConnectAtSafePoint(LDAPConnection& connection)
{
    SignalDone();
    try {
        connection.Connect(&m_cancelled);
    } catch (...) {
        CheckCancelled(nullptr, true);
        ResetDone();
        throw;
    }
    CheckCancelled(nullptr, true);
    ResetDone();
}

void CLDAPThread::SignalDone()
{
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        m_atSafePoint = true;
    }
    m_stateChanged.notify_all();
}

void CLDAPThread::ResetDone()
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    m_atSafePoint = false;
}

void CLDAPThread::ThrowIfBreak()
{
    DeleteCurrentQueue();
    m_keptResponse.reset();
    throw CBreakException();
}

bool CLDAPThread::IsNodeBound() const
{
    return false;
}

bool CLDAPThread::CheckCancelled(std::unique_ptr<LDAPResponse>* response, bool throwIfCancelled)
{
    {
        // Checking and leaving the safe point are one step, so a canceller
        // that holds the worker there is always seen.
        std::lock_guard<std::mutex> lock(m_stateLock);
        if (!m_cancelled) {
            m_atSafePoint = false;
            return false;
        }
    }
    OnCancelSeen();
    DeleteCurrentQueue();
    if (response)
        response->reset();
    else
        m_keptResponse.reset();
    if (throwIfCancelled)
        ThrowIfBreak();
    return true;
}

void CLDAPThread::DetachFromNode() {}

void CLDAPThread::DoWork() {}

void CLDAPThread::OnError(LDAPException) {}

bool CLDAPThread::CheckResult(int resultCode)
{
    if (resultCode == kLDAPCompareFalse)
        return false;
    if (resultCode == kLDAPCompareTrue)
        return true;
    if (resultCode == kLDAPReferral) {
        LDAPUrlList referrals;
        if (auto* result = dynamic_cast<const LDAPResultResponse*>(m_keptResponse.get()))
            referrals = result->GetReferrals();
        throw LDAPReferralException(referrals);
    }
    throw LDAPException(resultCode);
}

void CLDAPThread::OnFinish() {}

void CLDAPThread::Cancel()
{
    if (CancelAtSafePoint(true) == CancelOutcome::Held)
        DetachFromNode();
}

IJobNode* CLDAPThread::GetNode() const
{
    return nullptr;
}

void CLDAPThread::RequestCancel()
{
    CancelAtSafePoint(false);
}

CLDAPThread::CancelOutcome CLDAPThread::CancelAtSafePoint(bool wait)
{
    // The UI thread may be what the worker is waiting for (a send).
    if (wait && OnUiThread())
        wait = false;
    const std::chrono::milliseconds limit = GetSafePointWaitLimit();

    std::unique_lock<std::mutex> lock(m_stateLock);
    if (m_cancelled || !m_started || m_exitStarted)
        return CancelOutcome::Refused;
    // A job cancelling itself stops at its own next safe point.
    if (std::this_thread::get_id() == m_workerThread)
        wait = false;
    bool reached = m_atSafePoint;
    if (wait && !reached) {
        m_stateChanged.wait_for(lock, limit, [this] { return m_atSafePoint || m_cancelled || m_exitStarted; });
        if (m_cancelled || m_exitStarted)
            return CancelOutcome::Refused;
        reached = m_atSafePoint;
    }
    m_cancelled = true;
    if (m_queue)
        m_queue->Cancel();
    lock.unlock();
    // Other cancellers waiting here give up their turn.
    m_stateChanged.notify_all();

    if (!wait)
        return CancelOutcome::NotWaited;
    if (!reached) {
        LogLine(L"Cancel: the worker reached no safe point within " + std::to_wstring(limit.count()) +
                L" ms; it stops at its next one.");
        return CancelOutcome::GaveUp;
    }
    return CancelOutcome::Held;
}

void CLDAPThread::ReportCancelled() {}

void CLDAPThread::OnCancelSeen() {}

void CLDAPThread::RunFinish()
{
    if (m_finishClaimed.exchange(true))
        return;
    try {
        if (IsCancelled())
            ReportCancelled();
    } catch (const std::exception& e) {
        LogUnexpected("its cancel report", e.what());
    } catch (...) {
        LogUnexpected("its cancel report", nullptr);
    }
    try {
        OnFinish();
    } catch (const std::exception& e) {
        LogUnexpected("its finish", e.what());
    } catch (...) {
        LogUnexpected("its finish", nullptr);
    }
    m_finished = true;
}

bool CLDAPThread::InitInstance()
{
    try {
        DoWork();
    } catch (const CBreakException&) {
        ExitInstance();
        return false;
    } catch (const LDAPException& e) {
        // Caught by value in spirit: OnError gets the base part only.
        if (!IsCancelled()) {
            try {
                OnError(e);
            } catch (const std::exception& failure) {
                LogUnexpected("its error report", failure.what());
            } catch (...) {
                LogUnexpected("its error report", nullptr);
            }
        }
        ExitInstance();
        return false;
    } catch (const std::exception& e) {
        LogUnexpected("its work", e.what());
        ExitInstance();
        return false;
    } catch (...) {
        LogUnexpected("its work", nullptr);
        ExitInstance();
        return false;
    }

    // A job cancelled after its last safe point ends as a cancelled one.
    if (!IsCancelled()) {
        int resultCode = 0;
        if (auto* result = dynamic_cast<const LDAPResultResponse*>(m_keptResponse.get()))
            resultCode = result->GetResultCode();
        try {
            CheckResult(resultCode);
        } catch (...) {
        }
    }
    ExitInstance();
    return true;
}

int CLDAPThread::Run()
{
    return 0;
}

int CLDAPThread::ExitInstance()
{
    if (m_exitDone.exchange(true))
        return 0;
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        m_exitStarted = true;
        m_atSafePoint = true;
    }
    m_stateChanged.notify_all();
    RunFinish();
    // Last: the count drops only once the node is restored.
    UnregisterThread(this);
    return 0;
}

std::unique_ptr<LDAPResultQueue> CLDAPThread::TakeCurrentQueue()
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return std::move(m_queue);
}

void CLDAPThread::SetCurrentQueue(std::unique_ptr<LDAPResultQueue> queue)
{
    std::unique_ptr<LDAPResultQueue> previous;
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        previous = std::move(m_queue);
        m_queue = std::move(queue);
        if (m_queue && m_cancelled)
            m_queue->Cancel();
    }
}

LDAPResultQueue* CLDAPThread::GetCurrentQueue() const
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return m_queue.get();
}

void CLDAPThread::DeleteCurrentQueue()
{
    std::unique_ptr<LDAPResultQueue> previous;
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        previous = std::move(m_queue);
    }
    // Destroyed outside the lock: it may release referred sessions.
}

bool CAbortThread::InitInstance()
{
    if (m_node && !m_node->IsAborting()) {
        if (std::shared_ptr<CLDAPThread> job = m_node->GetJob()) {
            m_node->SetAborting();
            if (!job->IsCancelled())
                job->Cancel();
            // A job that finished before the mark was set could not clear it.
            if (job->IsFinished())
                m_node->ResetAbort();
        }
    }
    ExitInstance();
    return true;
}

void RegisterThread(const std::shared_ptr<CLDAPThread>& thread)
{
    if (!thread)
        return;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    if (r.running.emplace(thread.get(), thread).second)
        ++r.registered;
}

void UnregisterThread(const CLDAPThread* thread)
{
    std::shared_ptr<CLDAPThread> released;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> lock(r.lock);
        auto it = r.running.find(thread);
        if (it == r.running.end())
            return;
        released = std::move(it->second);
        r.running.erase(it);
    }
    // Let go outside the lock: this may be the last owner.
}

int GetRunningThreadCount()
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    return static_cast<int>(r.running.size());
}

uint64_t GetStartedThreadCount()
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    return r.registered;
}

void AbortAllThreads()
{
    std::vector<std::shared_ptr<CLDAPThread>> threads;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> lock(r.lock);
        for (const auto& entry : r.running)
            threads.push_back(entry.second);
    }
    // Outside the lock: an abort starts an abort job, which registers.
    for (const std::shared_ptr<CLDAPThread>& thread : threads) {
        try {
            if (thread->IsNodeBound()) {
                IJobNode* node = thread->GetNode();
                if (node && !node->IsAborting())
                    node->Abort();
            } else if (!dynamic_cast<CAbortThread*>(thread.get())) {
                thread->RequestCancel();
            }
        } catch (...) {
        }
    }
}

bool WaitForAllThreads(std::chrono::milliseconds limit)
{
    bool allEnded;
    {
        Registry& r = TheRegistry();
        std::unique_lock<std::mutex> lock(r.lock);
        allEnded = r.threadsEnded.wait_for(lock, limit, [&r] { return r.live.empty(); });
    }
    JoinEndedThreads();
    return allEnded;
}

bool CancelAllThreadsAndWait(std::chrono::milliseconds limit)
{
    std::vector<std::shared_ptr<CLDAPThread>> threads;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> lock(r.lock);
        for (const auto& entry : r.running)
            threads.push_back(entry.second);
    }
    for (const std::shared_ptr<CLDAPThread>& thread : threads)
        thread->RequestCancel();
    threads.clear();
    return WaitForAllThreads(limit);
}

int EndWorkersBeforeExit(int exitCode, std::chrono::milliseconds limit)
{
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> lock(r.lock);
        r.closed = true;
    }
    if (CancelAllThreadsAndWait(limit))
        return exitCode;
    // What is left runs on; the static objects it may use must not die
    // under it, so the process ends here without destroying them.
    LogLine(std::string("Worker threads still ran at the end of the program; it ends without its cleanup."));
    std::cout.flush();
    std::wcout.flush();
    std::fflush(nullptr);
    _exit(exitCode != 0 ? exitCode : EXIT_FAILURE);
}

std::chrono::milliseconds GetSafePointWaitLimit()
{
    return std::chrono::milliseconds(g_safePointWaitMs.load());
}

std::chrono::milliseconds SetSafePointWaitLimit(std::chrono::milliseconds limit)
{
    return std::chrono::milliseconds(g_safePointWaitMs.exchange(limit.count()));
}
