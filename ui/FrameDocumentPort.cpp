#include "ui/FrameDocumentPort.h"

#include "ui/CArbMainFrame.h"

FrameDocumentPort::FrameDocumentPort(CArbMainFrame* frame) : m_frame(frame) {}

void FrameDocumentPort::SetPaneText1(const std::wstring& text)
{
    if (m_frame)
        m_frame->SetPaneText1(wxString(text));
}

void FrameDocumentPort::SetPaneText2(const std::wstring& text)
{
    if (m_frame)
        m_frame->SetPaneText2(wxString(text));
}

void FrameDocumentPort::SetPaneValue(int value)
{
    if (m_frame)
        m_frame->SetPaneValue(value);
}

void FrameDocumentPort::SetMessageText(const std::wstring& text)
{
    if (m_frame)
        m_frame->SetMessageText(wxString(text));
}
