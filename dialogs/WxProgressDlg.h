#pragma once
// The progress window of a running node job on the toolkit: dialog 196 of
// the resource library, modeless and without a parent, shown in the
// screen's bottom right corner without taking the focus. Its close box and
// Escape hide it, as Hide does.
//
// Threads: the window is made, moved, hidden and destroyed on the
// user-interface thread (a call from elsewhere waits for it there). Texts
// and animation changes from the job's worker never wait: they are kept and
// the window shows the latest of them when the user-interface thread next
// runs its queue.

#include <atomic>
#include <memory>

#include "jobs/CProgressDlg.h"
#include "platform/Dispatcher.h"

struct ProgressWindowLink;

class WxProgressDlg : public CProgressDlg, private platform::MessageReceiver {
public:
    WxProgressDlg();
    ~WxProgressDlg() override;

    // The toolkit's dialog while it exists (user-interface thread), for tests.
    class Window;
    Window* GetWindow() const { return m_window; }

protected:
    bool CreateWindowObject() override;
    void ShowMainText(const std::wstring& text) override;
    void ShowStatusText(const std::wstring& text) override;
    void OpenAnimation(int resource) override;
    void Animate(bool play) override;
    ProgressRect GetDesktopRect() const override;
    void GetWindowSize(int& width, int& height) const override;
    void MoveAndShow(int x, int y) override;
    void HideWindow() override;
    void DisableStop() override;
    void DestroyWindowObject() override;

private:
    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;
    // Shows the kept texts and animation, on the user-interface thread now,
    // or from there as soon as it runs its queue.
    void Refresh();
    void ShowKeptState();

    std::shared_ptr<ProgressWindowLink> m_link;
    Window* m_window = nullptr;
    platform::ReceiverRegistration m_registration;
    std::atomic<platform::ReceiverId> m_receiver{platform::kNoReceiver};
    std::atomic<bool> m_refreshQueued{false};
    std::atomic<bool> m_playing{false};
    std::atomic<int> m_requestedAnimation{0};
    int m_shownAnimation = 0;
};

// The factory the program installs: every node job's progress window is one.
std::unique_ptr<CProgressDlg> MakeWxProgressDlg();
