#include "dialogs/WxProgressDlg.h"

#include <mutex>
#include <utility>

#include <wx/animate.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/stattext.h>

#include "widgets/UiResources.h"

namespace {

// To the window's own receiver: show what the job kept meanwhile.
constexpr platform::MessageId kRefreshMessage = 1;

// Runs f on the user-interface thread; nothing once that has closed.
template <class F>
void OnUiThread(F&& f)
{
    try {
        platform::Send(f);
    } catch (const platform::DispatcherClosed&) {
    }
}

}  // namespace

// The link from a window to its object. Cut by whichever goes first: the
// object (possibly on a worker, when the toolkit is already ending) or the
// window (destroyed by the toolkit at the program's end).
struct ProgressWindowLink {
    std::mutex lock;
    WxProgressDlg* owner = nullptr;
};

class WxProgressDlg::Window : public wxDialog {
public:
    explicit Window(std::shared_ptr<ProgressWindowLink> link) : m_link(std::move(link)) {}

    ~Window() override
    {
        std::lock_guard<std::mutex> lock(m_link->lock);
        if (m_link->owner)
            m_link->owner->m_window = nullptr;
    }

    bool Load()
    {
        if (!ui::LoadDialogResource(this, nullptr, kTemplateId))
            return false;
        mainText = dynamic_cast<wxStaticText*>(FindWindow(kMainTextId));
        statusText = dynamic_cast<wxStaticText*>(FindWindow(kStatusTextId));
        animation = dynamic_cast<wxAnimationCtrl*>(FindWindow(kAnimationId));
        stop = FindWindow(kStopId);
        if (!mainText || !statusText || !animation || !stop || !FindWindow(kHideId))
            return false;
        SetEscapeId(kHideId);
        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Call(&CProgressDlg::OnStop); }, kStopId);
        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Call(&CProgressDlg::OnHide); }, kHideId);
        Bind(wxEVT_CLOSE_WINDOW, &Window::OnClose, this);
        return true;
    }

    wxStaticText* mainText = nullptr;
    wxStaticText* statusText = nullptr;
    wxAnimationCtrl* animation = nullptr;
    wxWindow* stop = nullptr;

private:
    void Call(void (CProgressDlg::*action)())
    {
        WxProgressDlg* owner = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_link->lock);
            owner = m_link->owner;
        }
        // The object is deleted on this thread, or waits for it: it stays
        // while the handler runs.
        if (owner)
            (owner->*action)();
    }

    // The close box hides the window, as Hide does; the job goes on.
    void OnClose(wxCloseEvent& event)
    {
        if (!event.CanVeto()) {
            event.Skip();
            return;
        }
        event.Veto();
        Call(&CProgressDlg::OnHide);
    }

    std::shared_ptr<ProgressWindowLink> m_link;
};

WxProgressDlg::WxProgressDlg() : m_link(std::make_shared<ProgressWindowLink>())
{
    m_link->owner = this;
}

WxProgressDlg::~WxProgressDlg()
{
    DestroyWindowOnUiThread();
    std::lock_guard<std::mutex> lock(m_link->lock);
    m_link->owner = nullptr;
}

bool WxProgressDlg::CreateWindowObject()
{
    bool created = false;
    OnUiThread([&] {
        auto* window = new Window(m_link);
        if (!window->Load()) {
            // Made from the template but short of a control: the toolkit
            // destroys it; never made: nothing of it is shown anywhere.
            if (window->GetHandle())
                window->Destroy();
            else
                delete window;
            return;
        }
        m_window = window;
        m_window->SetTitle(GetCaption());
        m_requestedAnimation = GetAnimation();
        m_playing = true;
        ShowKeptState();
        m_window->Fit();
        m_registration = platform::ReceiverRegistration(*this);
        m_receiver = m_registration.Id();
        created = true;
    });
    return created;
}

void WxProgressDlg::ShowMainText(const std::wstring&)
{
    Refresh();
}

void WxProgressDlg::ShowStatusText(const std::wstring&)
{
    Refresh();
}

void WxProgressDlg::OpenAnimation(int resource)
{
    m_requestedAnimation = resource;
    if (resource == 0)
        m_playing = false;
    Refresh();
}

void WxProgressDlg::Animate(bool play)
{
    m_playing = play;
    Refresh();
}

ProgressRect WxProgressDlg::GetDesktopRect() const
{
    ProgressRect rect;
    OnUiThread([&] {
        const wxRect screen = wxDisplay().GetGeometry();
        rect = ProgressRect{screen.GetLeft(), screen.GetTop(), screen.GetRight() + 1, screen.GetBottom() + 1};
    });
    return rect;
}

void WxProgressDlg::GetWindowSize(int& width, int& height) const
{
    width = height = 0;
    OnUiThread([&] {
        if (m_window)
            m_window->GetSize(&width, &height);
    });
}

void WxProgressDlg::MoveAndShow(int x, int y)
{
    OnUiThread([&] {
        if (!m_window)
            return;
        m_window->Move(x, y);
        // The user goes on where they were; the window only reports.
        m_window->ShowWithoutActivating();
    });
}

void WxProgressDlg::HideWindow()
{
    OnUiThread([&] {
        if (m_window)
            m_window->Hide();
    });
}

void WxProgressDlg::DisableStop()
{
    OnUiThread([&] {
        if (m_window)
            m_window->stop->Disable();
    });
}

void WxProgressDlg::DestroyWindowObject()
{
    OnUiThread([&] {
        m_receiver = platform::kNoReceiver;
        m_registration.Reset();
        Window* window = std::exchange(m_window, nullptr);
        if (!window)
            return;
        {
            std::lock_guard<std::mutex> lock(m_link->lock);
            m_link->owner = nullptr;
        }
        window->animation->Stop();
        window->Hide();
        window->Destroy();
    });
}

void WxProgressDlg::OnMessage(platform::MessageId id, uintptr_t, intptr_t, std::unique_ptr<platform::MessagePayload>)
{
    if (id != kRefreshMessage)
        return;
    m_refreshQueued = false;
    ShowKeptState();
}

void WxProgressDlg::Refresh()
{
    if (platform::IsUiThread()) {
        ShowKeptState();
        return;
    }
    // One refresh queued at a time shows every change made before it runs.
    if (!m_refreshQueued.exchange(true) && !platform::Post(m_receiver.load(), kRefreshMessage, 0, 0))
        m_refreshQueued = false;
}

void WxProgressDlg::ShowKeptState()
{
    if (!m_window)
        return;
    const wxString mainText(GetMainText());
    if (m_window->mainText->GetLabelText() != mainText)
        m_window->mainText->SetLabelText(mainText);
    const wxString statusText(GetStatusText());
    if (m_window->statusText->GetLabelText() != statusText)
        m_window->statusText->SetLabelText(statusText);

    wxAnimationCtrl& control = *m_window->animation;
    const int wanted = m_requestedAnimation.load();
    if (wanted != m_shownAnimation) {
        control.Stop();
        wxAnimation animation;
        if (wanted != 0)
            animation.LoadFile(ui::ResourcePath("animation", static_cast<unsigned>(wanted), "gif"));
        control.SetAnimation(animation.IsOk() ? animation : wxNullAnimation);
        m_shownAnimation = wanted;
    }
    const bool play = m_playing.load() && control.GetAnimation().IsOk();
    if (play && !control.IsPlaying())
        control.Play();
    else if (!play && control.IsPlaying())
        control.Stop();
}

std::unique_ptr<CProgressDlg> MakeWxProgressDlg()
{
    return std::make_unique<WxProgressDlg>();
}
