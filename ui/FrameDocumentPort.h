#pragma once
// The document's status fields as the model sets them, shown in the main
// window's status panes. Installed by start-up as the document port.

#include <memory>

#include <wx/weakref.h>

#include "platform/ShellPorts.h"

class CArbMainFrame;

class FrameDocumentPort : public platform::DocumentPort {
public:
    explicit FrameDocumentPort(CArbMainFrame* frame);
    void SetPaneText1(const std::wstring& text) override;
    void SetPaneText2(const std::wstring& text) override;
    void SetPaneValue(int value) override;
    void SetMessageText(const std::wstring& text) override;

private:
    wxWeakRef<CArbMainFrame> m_frame;
};
