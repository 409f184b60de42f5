#pragma once
// The base of every job that works for one tree node. From its construction
// to its finish it keeps the node busy with the running-job overlay, holds a
// reference to the node's connection and one to the node's shared event,
// and may drive a progress window. Its finish work restores the node, hands
// the progress window back to the list view (WM_WORKER_DONE) and posts the
// job's finish message, if it has one.
//
// A cancel that catches the job at a safe point restores the node at once,
// on the cancelling thread, and leaves an information node (string 454)
// under it; otherwise the job does the same itself when it stops.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "jobs/CLDAPThread.h"
#include "jobs/CProgressDlg.h"
#include "ldap/LDAPConnection.h"
#include "platform/Messages.h"

class CRefCountedEvent;

// The information text left under a node whose job was cancelled.
constexpr unsigned kCancelledInformationString = 454;

class CLDAPOperationThread : public CLDAPThread {
public:
    // On the thread that starts the job (the user-interface thread).
    CLDAPOperationThread(IJobNode* node, std::unique_ptr<CProgressDlg> progress);
    ~CLDAPOperationThread() override;

    // The progress window's texts and animation; nothing without a window.
    void SetStatusText(const std::wstring& text);
    void SetMainText(const std::wstring& text);
    void StopAnimation();
    void PlayAnimation();
    bool HasProgressWindow() const;

    // Unless cancelled: the node's overlay image (1 running, 0 none).
    void SetNodeOverlay(int image);
    void SetNodeStatusText(const std::wstring& text);
    void ResetNodeStatusText();

    // Posted to the list view when the job ends: message with (wParam,
    // lParam), wParam the id of the node it is for (0: the job's node).
    // Message 0: none.
    void SetFinishMessage(platform::MessageId message, intptr_t lParam, uintptr_t wParam = 0);
    platform::MessageId GetFinishMessage() const { return m_finishMessage.load(); }

    // The node's connection; null for the root node.
    const arbldap::LDAPConnectionPtr& GetConnection() const { return m_connection; }

    bool IsNodeBound() const override;
    void DetachFromNode() override;
    void OnFinish() override;
    void Cancel() override;
    IJobNode* GetNode() const override;

protected:
    // Information node 454, children marked loaded, overlay cleared.
    void ReportCancelled() override;
    // Abandons the current request on the server.
    void OnCancelSeen() override;

    // Two texts for the jobs' own use.
    std::wstring m_firstText;
    std::wstring m_secondText;

private:
    void ApplyOverlay(IJobNode* node, int image);
    void ReleaseNodeEvent(IJobNode* node);

    std::atomic<IJobNode*> m_node;
    arbldap::LDAPConnectionPtr m_connection;
    // The reference this job counts on the node's event; under the event lock.
    CRefCountedEvent* m_event = nullptr;

    mutable std::mutex m_progressLock;
    std::unique_ptr<CProgressDlg> m_progress;

    std::atomic<platform::MessageId> m_finishMessage{0};
    std::atomic<uintptr_t> m_finishWParam{0};
    std::atomic<intptr_t> m_finishLParam{0};
    std::atomic<bool> m_busyCleared{false};
};
