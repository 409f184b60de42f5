#pragma once
// The list view's shell port over the toolkit's list control: the waiting
// animation and the selection switch. (The document's texts go to the main
// frame's status panes, whose port the frame provides.)

#include "platform/ShellPorts.h"

class wxActivityIndicator;
class wxListCtrl;

namespace ui {

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
