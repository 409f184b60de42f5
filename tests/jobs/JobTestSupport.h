#pragma once
// What the worker-thread tests share: a node that implements IJobNode over
// the headless tree, a list view that records what jobs post to it, and a
// headless user interface whose thread is the test's.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/LogCapture.h"
#include "jobs/CLDAPFetchThread.h"
#include "jobs/CLDAPOperationThread.h"
#include "jobs/CLDAPThread.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "platform/Event.h"
#include "platform/CRefCountedEvent.h"
#include "jobs/CProgressDlg.h"
#include "jobs/IJobNode.h"
#include "base/Utf8.h"
#include "platform/ControlPorts.h"
#include "platform/Dispatcher.h"
#include "tests/support/HeadlessControls.h"
#include "platform/ResourceLibrary.h"
#include "base/LogStream.h"

namespace jobtest {

// How long a test waits for what should come soon before it calls it a
// hang: far longer than anything takes on a loaded machine or under a
// sanitizer. Waits end as soon as what they wait for has come.
constexpr std::chrono::seconds kHangLimit{30};

// The bound for a call that must not wait for a worker: well under the wait
// for a safe point that such a call would make, well over any delay a
// loaded machine adds.
inline std::chrono::milliseconds NoWaitBound()
{
    return GetSafePointWaitLimit() / 2;
}

// A node as the directory model will make them, reduced to what jobs use.
// Thread-safe like the real ones: jobs call it from their workers.
class TestNode : public IJobNode {
public:
    TestNode(int type, arbldap::LDAPConnectionPtr connection) : m_type(type), m_connection(std::move(connection)) {}
    ~TestNode() { EXPECT_EQ(GetEvent(), nullptr) << "a job kept its reference to the node's event"; }

    // Puts the node into the tree below parent (UI thread).
    void Insert(platform::TreeItem parent = platform::kTreeRoot)
    {
        platform::TreeInsert insert;
        insert.parent = parent;
        insert.text = L"node";
        insert.data = GetItemData();
        m_item = platform::GetTreeControl()->InsertItem(insert);
    }

    // What CDataObject::StartJob does: a blocked node finishes the job unstarted.
    void StartJob(const std::shared_ptr<CLDAPThread>& job)
    {
        if (!job)
            return;
        if (jobBlock) {
            job->FinishUnstarted();
            return;
        }
        SetJob(job);
        job->CreateThread();
    }

    int GetType() const override { return m_type; }
    arbldap::LDAPConnectionPtr GetConnection() const override
    {
        ++connectionAsked;
        return m_connection;
    }

    bool IsBusy() const override { return busy; }
    void SetBusy() override
    {
        busy = true;
        ++setBusyCount;
    }
    void ResetBusy() override
    {
        busy = false;
        ++resetBusyCount;
    }
    bool IsChildrenLoaded() const override { return childrenLoaded; }
    void SetChildrenLoaded(bool loaded) override { childrenLoaded = loaded; }

    bool IsAborting() const override { return aborting; }
    void SetAborting() override { aborting = true; }
    void ResetAbort() override { aborting = false; }
    void ClearAbortRequested() override { abortRequested = false; }
    void Abort() override
    {
        if (aborting || abortRequested.exchange(true))
            return;
        ++abortJobsStarted;
        auto abortJob = std::make_shared<CAbortThread>(this);
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_lastAbortJob = abortJob;
        }
        abortJob->CreateThread();
    }

    void SetOverlayImage(int image) override
    {
        overlay = image;
        std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
        if (m_item && tree)
            tree->SetItemOverlay(m_item, image);
    }
    void SetStatusText(const std::wstring& text) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_statusTexts.push_back(text);
    }
    void ResetStatusText() override
    {
        ++statusResets;
        std::lock_guard<std::mutex> lock(m_lock);
        m_statusTexts.push_back(L"<idle>");
    }

    std::shared_ptr<CLDAPThread> GetJob() const override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_job.lock();
    }
    void SetJob(const std::shared_ptr<CLDAPThread>& job) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_job = job;
        m_hasJob = job != nullptr;
    }
    bool HasJobPointer() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_hasJob;
    }

    CRefCountedEvent* GetEvent() const override { return m_event; }
    void SetEvent(CRefCountedEvent* event) override { m_event = event; }

    void ReportInformation(const std::wstring& text, const std::wstring& detail) override
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_information.push_back(text);
        }
        LogLine(detail.empty() ? text : detail);
    }
    void UpdateChildIndicator() override { ++childIndicatorUpdates; }

    NodeId GetNodeId() const override { return m_id; }
    platform::TreeItem GetTreeItem() const override { return m_item; }
    void* GetItemData() override { return this; }

    std::shared_ptr<CLDAPThread> LastAbortJob() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_lastAbortJob.lock();
    }
    std::vector<std::wstring> Information() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_information;
    }
    std::vector<std::wstring> StatusTexts() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_statusTexts;
    }

    std::atomic<bool> busy{false};
    std::atomic<bool> childrenLoaded{false};
    std::atomic<bool> aborting{false};
    std::atomic<bool> abortRequested{false};
    std::atomic<bool> jobBlock{false};
    std::atomic<int> overlay{0};
    std::atomic<int> setBusyCount{0};
    std::atomic<int> resetBusyCount{0};
    std::atomic<int> statusResets{0};
    std::atomic<int> abortJobsStarted{0};
    std::atomic<int> childIndicatorUpdates{0};
    mutable std::atomic<int> connectionAsked{0};

private:
    static NodeId NextId()
    {
        static std::atomic<NodeId> last{kNoNode};
        return ++last;
    }

    const NodeId m_id = NextId();
    const int m_type;
    const arbldap::LDAPConnectionPtr m_connection;
    platform::TreeItem m_item;
    std::atomic<CRefCountedEvent*> m_event{nullptr};
    mutable std::mutex m_lock;
    std::weak_ptr<CLDAPThread> m_job;
    std::weak_ptr<CLDAPThread> m_lastAbortJob;
    bool m_hasJob = false;
    std::vector<std::wstring> m_information;
    std::vector<std::wstring> m_statusTexts;
};

// A job whose work is a function; it counts what the worker base calls on it.
template <class Base>
class CountingJob : public Base {
public:
    typedef std::function<void(CountingJob&)> Work;

    template <class... Args>
    explicit CountingJob(Work work, Args&&... args) : Base(std::forward<Args>(args)...), m_work(std::move(work))
    {
    }

    void DoWork() override
    {
        ++runs;
        if (m_work)
            m_work(*this);
    }
    void OnError(arbldap::LDAPException e) override
    {
        lastError = e.GetResultCode();
        ++errors;
    }
    bool CheckResult(int resultCode) override
    {
        lastCheckCode = resultCode;
        ++checks;
        if (checkHook)
            checkHook(*this);
        return resultCode == 0 ? true : Base::CheckResult(resultCode);
    }
    void OnFinish() override
    {
        ++finishes;
        if (finishHook)
            finishHook(*this);
        Base::OnFinish();
    }

    // Stands at a safe point until cancelled or the gate opens.
    void WaitAtSafePoint(platform::Event& gate)
    {
        this->SignalDone();
        while (!this->IsCancelled() && !gate.Wait(5)) {
        }
        this->CheckCancelled(nullptr, true);
    }

    // Reads the current queue to its end the way jobs do, with a safe point
    // around every wait; counts the entries and keeps the final result.
    void ReadCurrentQueue()
    {
        for (;;) {
            std::unique_ptr<arbldap::LDAPResponse> response;
            this->SignalDone();
            try {
                response = this->GetCurrentQueue()->GetNextResponse();
            } catch (...) {
                this->CheckCancelled(&response, true);
                this->ResetDone();
                throw;
            }
            this->CheckCancelled(&response, true);
            this->ResetDone();
            if (!response)
                return;
            if (response->GetMessageType() == arbldap::kLDAPSearchEntry) {
                ++entries;
                if (entryHook)
                    entryHook(*this);
                continue;
            }
            if (response->GetMessageType() != arbldap::kLDAPSearchReference) {
                this->KeptResponse() = std::move(response);
                return;
            }
        }
    }

    using Base::GetCurrentQueue;
    using Base::KeptResponse;
    using Base::SetCurrentQueue;

    std::function<void(CountingJob&)> checkHook;
    std::function<void(CountingJob&)> finishHook;
    std::function<void(CountingJob&)> entryHook;
    std::atomic<int> runs{0};
    std::atomic<int> errors{0};
    std::atomic<int> lastError{-1};
    std::atomic<int> checks{0};
    std::atomic<int> lastCheckCode{-1};
    std::atomic<int> finishes{0};
    std::atomic<int> entries{0};

private:
    Work m_work;
};

typedef CountingJob<CLDAPThread> FunctionJob;
typedef CountingJob<CLDAPFetchThread> FetchJob;
typedef CountingJob<CLDAPOperationThread> NodeJob;

inline std::shared_ptr<NodeJob> MakeNodeJob(TestNode& node, NodeJob::Work work,
                                            std::unique_ptr<CProgressDlg> progress = nullptr)
{
    return std::make_shared<NodeJob>(std::move(work), &node, std::move(progress));
}

struct Posted {
    platform::MessageId id;
    uintptr_t wParam;
    intptr_t lParam;
};

// The list view's part: records every message and handles WM_WORKER_DONE as
// the real view does.
class ListViewRecorder : public platform::MessageReceiver {
public:
    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_posted.push_back(Posted{id, wParam, lParam});
            if (id == platform::WM_WORKER_DONE && dynamic_cast<CProgressDlg*>(payload.get()))
                ++m_windowsHandedBack;
        }
        if (id == platform::WM_WORKER_DONE)
            HandleWorkerDone(std::move(payload));
    }

    int Count(platform::MessageId id) const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        int n = 0;
        for (const Posted& p : m_posted)
            n += p.id == id;
        return n;
    }
    std::vector<Posted> All() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_posted;
    }
    int WindowsHandedBack() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_windowsHandedBack;
    }

private:
    mutable std::mutex m_lock;
    std::vector<Posted> m_posted;
    int m_windowsHandedBack = 0;
};

// A headless user interface on the test's thread, with the list view
// registered where jobs post to it.
class JobUi {
public:
    JobUi() : m_listView(std::make_unique<ListViewRecorder>())
    {
        platform::ResourceLibrary::Current().LoadDefault();
        m_registration = platform::ReceiverRegistration(*m_listView);
        platform::SetAppWindow(platform::AppWindow::ListView, m_registration.Id());
    }
    ~JobUi()
    {
        platform::SetAppWindow(platform::AppWindow::ListView, platform::kNoReceiver);
        m_registration.Reset();
    }

    platform::ManualDispatcher& Dispatcher() { return m_ui.Dispatcher(); }
    platform::HeadlessTree& Tree() { return m_ui.Tree(); }
    platform::HeadlessList& List() { return m_ui.List(); }
    ListViewRecorder& ListView() { return *m_listView; }

    // The list view goes away (the main window closing).
    void CloseListView()
    {
        platform::SetAppWindow(platform::AppWindow::ListView, platform::kNoReceiver);
        m_registration.Reset();
    }

    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kHangLimit)
    {
        return Dispatcher().PumpUntil(done, static_cast<uint32_t>(limit.count()));
    }
    // Pumps until no worker is registered and every worker thread has ended.
    bool PumpUntilIdle(std::chrono::milliseconds limit = kHangLimit)
    {
        bool idle = PumpUntil([] { return GetRunningThreadCount() == 0; }, limit);
        idle = WaitForAllThreads(kHangLimit) && idle;
        Dispatcher().Pump();
        return idle;
    }

private:
    platform::HeadlessUi m_ui;
    std::unique_ptr<ListViewRecorder> m_listView;
    platform::ReceiverRegistration m_registration;
};

using LogLines = testsupport::LogCapture;

// The text of string 454 as the resource library has it.
inline std::wstring CancelledText()
{
    std::string text;
    platform::ResourceLibrary::Current().LoadString(454, text);
    return Utf8ToWideString(text);
}

}  // namespace jobtest
