#pragma once
// The shell ports over the toolkit's windows: the document's texts in a
// status bar, and the list view's waiting animation and selection switch.

#include "platform/ShellPorts.h"

class wxActivityIndicator;
class wxListCtrl;
class wxStatusBar;

namespace ui {

// Status fields by number; -1 leaves a text out.
class WxStatusBarDocumentPort : public platform::DocumentPort {
public:
    WxStatusBarDocumentPort(wxStatusBar& bar, int messageField, int pane1Field, int pane2Field, int valueField);
    void SetPaneText1(const std::wstring& text) override;
    void SetPaneText2(const std::wstring& text) override;
    void SetPaneValue(int value) override;
    void SetMessageText(const std::wstring& text) override;

    int GetPaneValue() const { return m_value; }

private:
    void SetField(int field, const std::wstring& text);

    wxStatusBar& m_bar;
    int m_messageField, m_pane1Field, m_pane2Field, m_valueField;
    int m_value = 0;
};

class WxListViewPort : public platform::ListViewPort {
public:
    // The list must outlive the port.
    explicit WxListViewPort(wxListCtrl& list);
    ~WxListViewPort() override;
    void ShowAnimation() override;
    void HideAnimation() override;
    void SuspendSelectionHandling(bool suspend) override { m_suspended = suspend; }

    bool IsSelectionHandlingSuspended() const { return m_suspended; }
    bool IsAnimationShown() const;

private:
    wxListCtrl& m_list;
    wxActivityIndicator* m_animation = nullptr;
    bool m_suspended = false;
};

} // namespace ui
