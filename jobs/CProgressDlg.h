#pragma once
// The small modeless window that shows a running node job: a caption, a main
// text, a status line, an animation, a Stop and a Hide button.
//
// This class holds what the window shows and how it behaves; the window
// itself is supplied by an implementation (the toolkit's dialog,
// dialogs/WxProgressDlg, in the program; CHeadlessProgressDlg in tests)
// through the protected hooks.
//
// Threads: the node creates the window on the user-interface thread; the
// job sets its texts and animation from its worker; Stop and Hide arrive on
// the user-interface thread. When the job ends it posts the object to the
// list view with WM_WORKER_DONE (the object is the message's payload), and
// the list view destroys the window and deletes the object
// (HandleWorkerDone). A post that cannot be delivered frees the payload
// where it was posted, on a worker: an implementation's destructor must then
// have its window destroyed on the user-interface thread
// (DestroyWindowOnUiThread).

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Dispatcher.h"

class IJobNode;

struct ProgressRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ProgressPoint {
    int x = 0;
    int y = 0;
};

// Top-left corner of a window of that size whose right edge meets the
// desktop's right edge and whose bottom edge lies 30 pixels above the
// desktop's bottom edge.
ProgressPoint BottomRightPosition(const ProgressRect& desktop, int width, int height);

class CProgressDlg : public platform::MessagePayload {
public:
    // Dialog template and control ids in the resource library.
    static constexpr int kTemplateId = 196;
    static constexpr int kMainTextId = 1073;
    static constexpr int kStopId = 1037;
    static constexpr int kStatusTextId = 1022;
    static constexpr int kAnimationId = 1021;
    static constexpr int kHideId = 1067;

    CProgressDlg(const CProgressDlg&) = delete;
    CProgressDlg& operator=(const CProgressDlg&) = delete;
    ~CProgressDlg() override;

    // Keeps the four values, then creates the window (modeless, no parent):
    // its title is the caption, and the animation is opened and played.
    bool ShowStatus(const std::wstring& caption, const std::wstring& mainText, int animation, IJobNode* node);
    // Moves the window, keeping its size, to the desktop's bottom right
    // (BottomRightPosition) and shows it.
    void PositionBottomRight();

    // Any thread. Each keeps the text and shows it at once.
    void SetMainText(const std::wstring& text);
    void SetStatusText(const std::wstring& text);
    void PlayAnimation();
    void StopAnimation();
    void SetAnimation(int resource);

    // Hides the window; the job goes on.
    void OnHide();
    // Disables the Stop button and aborts the node's job; only the first
    // press counts.
    void OnStop();
    // User-interface thread: closes the animation, destroys the window.
    void DestroyWindow();
    bool IsWindow() const { return m_window.load(); }

    std::wstring GetCaption() const;
    std::wstring GetMainText() const;
    std::wstring GetStatusText() const;
    int GetAnimation() const;
    IJobNode* GetNode() const;
    bool IsStopEnabled() const { return m_stopEnabled.load(); }

protected:
    CProgressDlg() = default;

    // The window side. CreateWindowObject makes the window from the template
    // and does the dialog's initialisation; the text and animation hooks may
    // be called on any thread.
    virtual bool CreateWindowObject() = 0;
    virtual void ShowMainText(const std::wstring& text) = 0;
    virtual void ShowStatusText(const std::wstring& text) = 0;
    // 0 closes the animation.
    virtual void OpenAnimation(int resource) = 0;
    // Plays from the first to the last frame without end, or stops.
    virtual void Animate(bool play) = 0;
    virtual ProgressRect GetDesktopRect() const = 0;
    virtual void GetWindowSize(int& width, int& height) const = 0;
    virtual void MoveAndShow(int x, int y) = 0;
    virtual void HideWindow() = 0;
    virtual void DisableStop() = 0;
    // Destroys the animation control's window, then the dialog's.
    virtual void DestroyWindowObject() = 0;

    // For an implementation's destructor: destroys a window that still
    // exists on the user-interface thread, waiting for it there when deleted
    // elsewhere (nothing when the dispatcher has closed).
    void DestroyWindowOnUiThread();

private:
    mutable std::mutex m_lock;
    int m_animation = 0;
    std::wstring m_caption;
    IJobNode* m_node = nullptr;
    std::wstring m_mainText;
    std::wstring m_statusText;
    std::atomic<bool> m_window{false};
    std::atomic<bool> m_stopEnabled{true};
};

// What the list view does with WM_WORKER_DONE's payload: a progress window
// that still exists is destroyed, then the object is deleted. Any other
// payload is just freed.
void HandleWorkerDone(std::unique_ptr<platform::MessagePayload> payload);
