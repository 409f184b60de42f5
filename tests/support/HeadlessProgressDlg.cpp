#include "tests/support/HeadlessProgressDlg.h"

#include "platform/Dispatcher.h"

namespace {

bool OnUiThread()
{
    std::shared_ptr<platform::Dispatcher> dispatcher = platform::GetDispatcher();
    return !dispatcher || dispatcher->IsUiThread();
}

}  // namespace

HeadlessProgressView HeadlessProgressRecord::Get() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_view;
}

CHeadlessProgressDlg::CHeadlessProgressDlg(const ProgressRect& desktop, int width, int height, bool canCreate)
    : m_desktop(desktop), m_width(width), m_height(height), m_canCreate(canCreate)
{
}

CHeadlessProgressDlg::~CHeadlessProgressDlg()
{
    DestroyWindowOnUiThread();
    bool ui = OnUiThread();
    Update([ui](HeadlessProgressView& v) {
        v.deleted = true;
        v.deletedOnUiThread = ui;
    });
}

bool CHeadlessProgressDlg::CreateWindowObject()
{
    if (!m_canCreate)
        return false;
    std::wstring title = GetCaption();
    int animation = GetAnimation();
    Update([&](HeadlessProgressView& v) {
        v.windowExists = true;
        v.title = title;
        v.openAnimation = animation;
        v.playing = true;
    });
    return true;
}

void CHeadlessProgressDlg::ShowMainText(const std::wstring& text)
{
    Update([&](HeadlessProgressView& v) { v.mainTexts.push_back(text); });
}

void CHeadlessProgressDlg::ShowStatusText(const std::wstring& text)
{
    Update([&](HeadlessProgressView& v) { v.statusTexts.push_back(text); });
}

void CHeadlessProgressDlg::OpenAnimation(int resource)
{
    Update([&](HeadlessProgressView& v) {
        v.openAnimation = resource;
        if (resource == 0)
            v.playing = false;
    });
}

void CHeadlessProgressDlg::Animate(bool play)
{
    Update([&](HeadlessProgressView& v) { v.playing = play && v.openAnimation != 0; });
}

void CHeadlessProgressDlg::GetWindowSize(int& width, int& height) const
{
    width = m_width;
    height = m_height;
}

void CHeadlessProgressDlg::MoveAndShow(int x, int y)
{
    Update([&](HeadlessProgressView& v) {
        v.x = x;
        v.y = y;
        v.visible = v.windowExists;
    });
}

void CHeadlessProgressDlg::HideWindow()
{
    Update([](HeadlessProgressView& v) { v.visible = false; });
}

void CHeadlessProgressDlg::DisableStop()
{
    Update([](HeadlessProgressView& v) { v.stopEnabled = false; });
}

void CHeadlessProgressDlg::DestroyWindowObject()
{
    bool ui = OnUiThread();
    Update([ui](HeadlessProgressView& v) {
        v.windowExists = false;
        v.visible = false;
        ++v.windowDestroyed;
        v.destroyedOnUiThread = ui;
    });
}
