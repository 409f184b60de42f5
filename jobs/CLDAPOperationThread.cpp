#include "jobs/CLDAPOperationThread.h"

#include <utility>

#include "platform/CRefCountedEvent.h"
#include "jobs/IJobNode.h"
#include "ldap/LDAPResultQueue.h"
#include "base/Utf8.h"
#include "platform/StringResource.h"
#include "platform/ControlPorts.h"
#include "platform/Dispatcher.h"
#include "base/LogStream.h"

using namespace arbldap;

namespace {

// Guards every node's event pointer together with the counts of the jobs
// that share it, so that taking a reference and dropping the last one never
// cross.
std::mutex g_nodeEventLock;

// One step of the finish work: a failure (the user interface closing under
// us, typically) must not keep the steps after it from running.
template <class F>
void FinishStep(F&& step)
{
    try {
        step();
    } catch (const platform::DispatcherClosed&) {
    } catch (const std::exception& e) {
        LogLine(std::string("Finishing a job: ") + e.what());
    } catch (...) {
        LogLine(std::string("Finishing a job: unknown failure"));
    }
}

// The node's list row: searched only while the list shows the children of
// the node's tree parent; -1 otherwise.
int FindNodeRow(IJobNode& node)
{
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!tree || !list || list->GetItemCount() == 0)
        return -1;
    platform::TreeItem item = node.GetTreeItem();
    if (!item)
        return -1;
    platform::TreeItem selected = tree->GetSelectedItem();
    if (!selected || tree->GetParentItem(item) != selected)
        return -1;
    return list->FindItemByData(node.GetItemData());
}

}  // namespace

CLDAPOperationThread::CLDAPOperationThread(IJobNode* node, std::unique_ptr<CProgressDlg> progress)
    : m_node(node), m_progress(std::move(progress))
{
    if (!node)
        return;
    if (node->GetType() != kNodeRoot)
        m_connection = node->GetConnection();
    {
        std::lock_guard<std::mutex> lock(g_nodeEventLock);
        CRefCountedEvent* event = node->GetEvent();
        if (event) {
            event->AddRef();
        } else {
            // Born with the one reference this job counts; the last job's
            // release deletes it.
            event = new CRefCountedEvent(false, false);
            node->SetEvent(event);
        }
        event->Reset();
        m_event = event;
    }
    node->ClearAbortRequested();
    node->SetBusy();
    SetNodeOverlay(1);
    if (std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl())
        tree->UpdateWindow();
}

CLDAPOperationThread::~CLDAPOperationThread() = default;

void CLDAPOperationThread::SetStatusText(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(m_progressLock);
    if (m_progress)
        m_progress->SetStatusText(text);
}

void CLDAPOperationThread::SetMainText(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(m_progressLock);
    if (m_progress)
        m_progress->SetMainText(text);
}

void CLDAPOperationThread::StopAnimation()
{
    std::lock_guard<std::mutex> lock(m_progressLock);
    if (m_progress)
        m_progress->StopAnimation();
}

void CLDAPOperationThread::PlayAnimation()
{
    std::lock_guard<std::mutex> lock(m_progressLock);
    if (m_progress)
        m_progress->PlayAnimation();
}

bool CLDAPOperationThread::HasProgressWindow() const
{
    std::lock_guard<std::mutex> lock(m_progressLock);
    return m_progress != nullptr;
}

void CLDAPOperationThread::SetNodeOverlay(int image)
{
    // Once cancelled, the node is restored (or about to be) by the canceller.
    if (!IsCancelled())
        ApplyOverlay(m_node.load(), image);
}

void CLDAPOperationThread::SetNodeStatusText(const std::wstring& text)
{
    if (IJobNode* node = m_node.load())
        node->SetStatusText(text);
}

void CLDAPOperationThread::ResetNodeStatusText()
{
    if (IJobNode* node = m_node.load())
        node->ResetStatusText();
}

void CLDAPOperationThread::SetFinishMessage(platform::MessageId message, intptr_t lParam, uintptr_t wParam)
{
    m_finishWParam = wParam;
    m_finishLParam = lParam;
    m_finishMessage = message;
}

bool CLDAPOperationThread::IsNodeBound() const
{
    return true;
}

void CLDAPOperationThread::OnCancelSeen()
{
    LDAPResultQueue* queue = GetCurrentQueue();
    if (!queue || !m_connection)
        return;
    try {
        m_connection->Abandon(queue);
    } catch (const LDAPException&) {
        // The server forgets it with the session at the latest.
    }
}

void CLDAPOperationThread::DetachFromNode()
{
    IJobNode* node = m_node.exchange(nullptr);
    if (!node)
        return;
    if (node->GetJob().get() == this)
        node->SetJob(nullptr);
    // Now, while the node is known: the last release clears its pointer.
    ReleaseNodeEvent(node);
}

IJobNode* CLDAPOperationThread::GetNode() const
{
    return m_node.load();
}

void CLDAPOperationThread::ApplyOverlay(IJobNode* node, int image)
{
    if (node)
        node->SetOverlayImage(image);
}

void CLDAPOperationThread::ReleaseNodeEvent(IJobNode* node)
{
    std::lock_guard<std::mutex> lock(g_nodeEventLock);
    CRefCountedEvent* event = std::exchange(m_event, nullptr);
    if (!event)
        return;
    bool nodeHoldsIt = node && node->GetEvent() == event;
    if (event->Release() == 0 && nodeHoldsIt)
        node->SetEvent(nullptr);
}

void CLDAPOperationThread::ReportCancelled()
{
    IJobNode* node = m_node.load();
    if (!node)
        return;
    FinishStep([&] { node->SetChildrenLoaded(true); });
    FinishStep([&] {
        std::string text;
        LoadStringResource(kCancelledInformationString, text);
        node->ReportInformation(Utf8ToWideString(text), std::wstring());
    });
    FinishStep([&] { ApplyOverlay(node, 0); });
}

void CLDAPOperationThread::OnFinish()
{
    IJobNode* node = m_node.load();
    const platform::ReceiverId listView = platform::GetAppWindow(platform::AppWindow::ListView);

    FinishStep([&] { ApplyOverlay(node, 0); });
    if (node)
        FinishStep([&] {
            if (node->GetJob().get() == this)
                node->SetJob(nullptr);
        });
    FinishStep([&] { ReleaseNodeEvent(node); });
    if (node) {
        FinishStep([&] { node->ResetStatusText(); });
        FinishStep([&] {
            int row = FindNodeRow(*node);
            if (row >= 0) {
                ApplyOverlay(node, 0);
                if (std::shared_ptr<platform::ListPort> list = platform::GetListControl())
                    list->RedrawItems(row, row);
            }
        });
    }

    std::unique_ptr<CProgressDlg> progress;
    {
        std::lock_guard<std::mutex> lock(m_progressLock);
        progress = std::move(m_progress);
    }
    // Undelivered, the window is freed by the post itself.
    if (progress)
        FinishStep([&] { platform::Post(listView, platform::WM_WORKER_DONE, 0, 0, std::move(progress)); });

    FinishStep([&] { ApplyOverlay(node, 0); });
    if (node && !m_busyCleared.exchange(true))
        FinishStep([&] { node->ResetBusy(); });

    if (platform::MessageId message = m_finishMessage.load()) {
        uintptr_t wParam = m_finishWParam.load();
        if (wParam == 0 && node)
            wParam = static_cast<uintptr_t>(node->GetNodeId());
        // The receiver calls the node it names: never post a null one.
        if (wParam != 0)
            FinishStep([&] { platform::Post(listView, message, wParam, m_finishLParam.load()); });
    }
    if (node)
        FinishStep([&] {
            if (node->IsChildrenLoaded())
                node->UpdateChildIndicator();
        });
    SignalDone();
    if (node)
        FinishStep([&] { node->ResetAbort(); });
}

void CLDAPOperationThread::Cancel()
{
    // Caught at a safe point: the node is restored here and now. Otherwise
    // the worker restores it when it stops.
    if (CancelAtSafePoint(true) == CancelOutcome::Held)
        RunFinish();
}
