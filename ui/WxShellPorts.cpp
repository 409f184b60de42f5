#include "ui/WxShellPorts.h"

#include <wx/activityindicator.h>
#include <wx/listctrl.h>
#include <wx/statusbr.h>

namespace ui {

WxStatusBarDocumentPort::WxStatusBarDocumentPort(wxStatusBar& bar, int messageField, int pane1Field, int pane2Field,
                                                 int valueField)
    : m_bar(bar), m_messageField(messageField), m_pane1Field(pane1Field), m_pane2Field(pane2Field), m_valueField(valueField)
{
}

void WxStatusBarDocumentPort::SetField(int field, const std::wstring& text)
{
    if (field >= 0 && field < m_bar.GetFieldsCount()) m_bar.SetStatusText(wxString(text), field);
}

void WxStatusBarDocumentPort::SetPaneText1(const std::wstring& text)
{
    SetField(m_pane1Field, text);
}

void WxStatusBarDocumentPort::SetPaneText2(const std::wstring& text)
{
    SetField(m_pane2Field, text);
}

void WxStatusBarDocumentPort::SetPaneValue(int value)
{
    m_value = value;
    SetField(m_valueField, value ? L"SSL" : L"");
}

void WxStatusBarDocumentPort::SetMessageText(const std::wstring& text)
{
    SetField(m_messageField, text);
}

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
