#pragma once
// Worker threads for directory work, and the process-wide registry of the
// running ones.
//
// A worker runs its whole job in InitInstance on a thread of its own and
// then ends. It is owned through std::shared_ptr: by the registry while it
// runs, by its own thread, and by whoever cancels it for the length of the
// cancel, so nobody can reach a worker that has gone. "Deleting itself" is
// the last of these letting go.
//
// Cancelling is cooperative. A job marks its safe points: SignalDone right
// before it waits for an LDAP response, CheckCancelled (and ResetDone) right
// after. A canceller waits, for a bounded time, until the worker stands at a
// safe point, then marks it cancelled and marks its result queue (and the
// queues chained to it) cancelled while the worker cannot leave that point;
// the wait inside the queue then ends within one poll slice and the worker
// leaves through CBreakException. A worker that reaches no safe point in
// time (one blocked in connect until the session's network time-out) is
// marked all the same and stops at its next safe point; the cancel then
// logs that it gave up waiting. The user-interface thread never waits for a
// worker, nor does a worker for itself: there a cancel only marks.
//
// The finish work of a job runs exactly once, on whichever side gets there
// first: the worker at its end, or a canceller that caught it at a safe
// point. Whatever the job throws, it is unregistered and finished.
//
// Lock order: a worker's state lock before the result queues' chain lock.
// The registry lock is taken alone.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPException.h"

namespace arbldap {
class LDAPResponse;
class LDAPResultQueue;
} // namespace arbldap

class IJobNode;

class CLDAPThread : public std::enable_shared_from_this<CLDAPThread> {
public:
    CLDAPThread();
    CLDAPThread(const CLDAPThread&) = delete;
    CLDAPThread& operator=(const CLDAPThread&) = delete;
    virtual ~CLDAPThread();

    // Registers the job and starts its thread; from here the registry and
    // the thread own it. The object must already be held by a shared_ptr.
    // False when it was started before or no thread could be made; in the
    // second case its finish work has run here.
    bool CreateThread();
    // For a job that will never run (its node refuses new jobs): runs its
    // finish work once on the calling thread. Not registered, not started.
    void FinishUnstarted();

    bool IsStarted() const;
    // True once the finish work has run to its end.
    bool IsFinished() const { return m_finished.load(); }
    // Done is signalled while the worker stands at a safe point or has ended.
    bool IsDoneSignalled() const;

    virtual bool IsCancelled() const;
    virtual void SignalDone();
    virtual void ResetDone();
    // Drops the current queue and the kept response, then throws CBreakException.
    [[noreturn]] virtual void ThrowIfBreak();
    virtual bool IsNodeBound() const;
    // Called right after a wait. Not cancelled: leaves the safe point,
    // returns false. Cancelled: stays at the safe point, drops the current
    // queue and the response (the kept one when response is null), throws
    // CBreakException with the flag, else returns true.
    virtual bool CheckCancelled(std::unique_ptr<arbldap::LDAPResponse>* response, bool throwIfCancelled);
    virtual void DetachFromNode();
    // The job; nothing in the base.
    virtual void DoWork();
    // A failure of the job that was not cancelled; ignored in the base.
    virtual void OnError(arbldap::LDAPException error);
    // 5 gives false, 6 true; 10 throws LDAPReferralException with the kept
    // response's referrals; any other code throws LDAPException with it.
    virtual bool CheckResult(int resultCode);
    // The finish work; nothing in the base. Runs once (see above).
    virtual void OnFinish();
    // Waits (bounded) for a safe point, then cancels. Returns at once when
    // the job is cancelled already, not started, or ending.
    virtual void Cancel();
    virtual IJobNode* GetNode() const;

    // Marks the job cancelled without waiting for a safe point; it stops
    // at its next one and finishes itself. Safe on any thread.
    void RequestCancel();

    // The thread's run, as the framework would call it.
    virtual bool InitInstance();
    virtual int Run();
    // The exit work, once: signal done, finish, unregister.
    virtual int ExitInstance();

protected:
    // The queue of the request the job waits on; the job's to set and drop,
    // the canceller's to mark. Setting one on a cancelled job marks it at once.
    void SetCurrentQueue(std::unique_ptr<arbldap::LDAPResultQueue> queue);
    arbldap::LDAPResultQueue* GetCurrentQueue() const;
    void DeleteCurrentQueue();
    // Hands the current queue over without deleting it (the job sets it
    // again later); no queue is current meanwhile.
    std::unique_ptr<arbldap::LDAPResultQueue> TakeCurrentQueue();
    // Waits at a safe point for the next response of the current queue (and
    // the connection it came over, when asked). A cancel seen there drops the
    // queue and throws CBreakException; null at the end of the queue.
    std::unique_ptr<arbldap::LDAPResponse> WaitForNextResponse(arbldap::LDAPConnectionPtr* over = nullptr);
    // Makes sure the connection is connected (and bound again after a drop,
    // LDAPConnection::Connect) while standing at a safe point: a connect
    // may wait for a network time-out, and a cancel need not wait for it.
    // Once cancelled the job stops when the connect returns, without sending.
    // Call it right before a send that may be the first on the connection.
    void ConnectAtSafePoint(arbldap::LDAPConnection& connection);
    // The final result a job keeps; CheckResult sees its code. Worker only.
    std::unique_ptr<arbldap::LDAPResponse>& KeptResponse() { return m_keptResponse; }

    // Part of the finish work of a cancelled job, before OnFinish.
    virtual void ReportCancelled();
    // CheckCancelled found the job cancelled; the current queue is still
    // there (to abandon its request). Nothing in the base.
    virtual void OnCancelSeen();

    enum class CancelOutcome {
        Refused,    // cancelled already, not started, or ending by itself
        Held,       // marked while the worker stood at a safe point
        NotWaited,  // marked without waiting (UI thread, or asked not to wait)
        GaveUp,     // marked after no safe point came within the limit
    };
    // The common part of every cancel.
    CancelOutcome CancelAtSafePoint(bool wait);
    // Runs ReportCancelled (when cancelled) and OnFinish, unless already run.
    void RunFinish();

private:
    static void ThreadMain(std::shared_ptr<CLDAPThread> self);

    mutable std::mutex m_stateLock;
    std::condition_variable m_stateChanged;
    std::thread::id m_workerThread;
    bool m_started = false;
    bool m_atSafePoint = false;
    bool m_exitStarted = false;
    std::atomic<bool> m_cancelled{false};
    std::unique_ptr<arbldap::LDAPResultQueue> m_queue;  // under m_stateLock

    std::unique_ptr<arbldap::LDAPResponse> m_keptResponse;
    std::atomic<bool> m_exitDone{false};
    std::atomic<bool> m_finishClaimed{false};
    std::atomic<bool> m_finished{false};
};

// The worker that stops the running job of one node, so that the
// user-interface thread never waits for it.
class CAbortThread : public CLDAPThread {
public:
    CAbortThread() = default;
    explicit CAbortThread(IJobNode* node) : m_node(node) {}

    bool InitInstance() override;

private:
    IJobNode* m_node = nullptr;
};

// The running-thread registry. CreateThread registers, the exit work
// unregisters; both take the registry lock.
void RegisterThread(const std::shared_ptr<CLDAPThread>& thread);
void UnregisterThread(const CLDAPThread* thread);
int GetRunningThreadCount();
// How many workers were registered since the process began: whether a
// command started work shows here even when the work has ended since.
uint64_t GetStartedThreadCount();
// Asks every registered worker to stop and returns at once: a node-bound
// job through its node's abort (unless the node is aborting already), any
// other worker but an abort job through RequestCancel.
void AbortAllThreads();
// For the shell's shut-down: waits up to limit for every worker thread to
// end and joins them; true when none is left. Close the dispatcher before,
// or a worker sending to the user-interface thread waits out the limit.
bool WaitForAllThreads(std::chrono::milliseconds limit);
// Marks every registered worker cancelled (no node's abort, nothing waits
// for a safe point) and waits up to limit for every worker thread to end;
// true when none is left.
bool CancelAllThreadsAndWait(std::chrono::milliseconds limit);
// The end of a process: from here no worker starts; the running ones are
// cancelled and waited for up to limit. Returns exitCode when none is left.
// Otherwise a worker would run on while the static objects it uses are
// destroyed, so the process ends at once, without destroying them, with
// exitCode (a failure code when that was 0). Also registered as an exit
// handler whenever workers start, for a process that exits without it.
int EndWorkersBeforeExit(int exitCode, std::chrono::milliseconds limit);

// How long a cancel waits for a safe point: somewhat longer than the
// session's network time-out, which bounds a connect. Tests may shorten it;
// returns the previous limit.
std::chrono::milliseconds GetSafePointWaitLimit();
std::chrono::milliseconds SetSafePointWaitLimit(std::chrono::milliseconds limit);
