#include "ui/WxShellPorts.h"

#include <wx/activityindicator.h>
#include <wx/listctrl.h>

namespace ui {

WxListViewPort::WxListViewPort(wxListCtrl& list) : m_list(list) {}

WxListViewPort::~WxListViewPort() = default;

void WxListViewPort::ShowAnimation()
{
    if (!m_animation) m_animation = new wxActivityIndicator(&m_list, wxID_ANY);
    m_animation->SetSize(m_list.GetClientSize());
    m_animation->Start();
    m_animation->Show();
    m_animation->Raise();
}

void WxListViewPort::HideAnimation()
{
    if (!m_animation) return;
    m_animation->Stop();
    m_animation->Hide();
}

bool WxListViewPort::IsAnimationShown() const
{
    return m_animation && m_animation->IsShown();
}

} // namespace ui
