#include "jobs/CProgressDlg.h"

#include "jobs/IJobNode.h"

using namespace arbldap;

namespace {

// Gap between the window and the desktop's bottom edge (room for a taskbar).
constexpr int kBottomGap = 30;

}  // namespace

ProgressPoint BottomRightPosition(const ProgressRect& desktop, int width, int height)
{
    ProgressPoint p;
    p.x = desktop.right - width;
    p.y = desktop.bottom - kBottomGap - height;
    return p;
}

CProgressDlg::~CProgressDlg() = default;

bool CProgressDlg::ShowStatus(const std::wstring& caption, const std::wstring& mainText, int animation,
                              IJobNode* node)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_caption = caption;
        m_mainText = mainText;
        m_animation = animation;
        m_node = node;
    }
    bool created = CreateWindowObject();
    m_window = created;
    return created;
}

void CProgressDlg::PositionBottomRight()
{
    int width = 0;
    int height = 0;
    GetWindowSize(width, height);
    ProgressPoint p = BottomRightPosition(GetDesktopRect(), width, height);
    MoveAndShow(p.x, p.y);
}

void CProgressDlg::SetMainText(const std::wstring& text)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_mainText = text;
    }
    // Outside the lock: the window may have to wait for the UI thread.
    ShowMainText(text);
}

void CProgressDlg::SetStatusText(const std::wstring& text)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_statusText = text;
    }
    ShowStatusText(text);
}

void CProgressDlg::PlayAnimation()
{
    Animate(true);
}

void CProgressDlg::StopAnimation()
{
    Animate(false);
}

void CProgressDlg::SetAnimation(int resource)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_animation = resource;
    }
    OpenAnimation(resource);
    Animate(true);
}

void CProgressDlg::OnHide()
{
    HideWindow();
}

void CProgressDlg::OnStop()
{
    if (!m_stopEnabled.exchange(false))
        return;
    DisableStop();
    if (IJobNode* node = GetNode())
        node->Abort();
}

void CProgressDlg::DestroyWindow()
{
    if (!m_window.exchange(false))
        return;
    OpenAnimation(0);
    DestroyWindowObject();
}

std::wstring CProgressDlg::GetCaption() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_caption;
}

std::wstring CProgressDlg::GetMainText() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_mainText;
}

std::wstring CProgressDlg::GetStatusText() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_statusText;
}

int CProgressDlg::GetAnimation() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_animation;
}

IJobNode* CProgressDlg::GetNode() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_node;
}

void CProgressDlg::DestroyWindowOnUiThread()
{
    if (!IsWindow())
        return;
    std::shared_ptr<platform::Dispatcher> dispatcher = platform::GetDispatcher();
    if (!dispatcher || dispatcher->IsUiThread()) {
        DestroyWindow();
        return;
    }
    try {
        dispatcher->Send([this] { DestroyWindow(); });
    } catch (const platform::DispatcherClosed&) {
        // The user interface, and its windows with it, has gone.
    }
}

void HandleWorkerDone(std::unique_ptr<platform::MessagePayload> payload)
{
    if (auto* window = dynamic_cast<CProgressDlg*>(payload.get()))
        window->DestroyWindow();
    payload.reset();
}
