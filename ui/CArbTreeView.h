#pragma once
// The left pane of the main window: the node tree. Nodes insert and delete
// their own items through the tree port this view installs; the view turns
// clicks and keys into node calls (open, expand, delete, rename), keeps the
// frame's caption, status text, filter box and node menu in step with the
// selected node, records selections in the navigation history, serves the
// information nodes' removal timers and shows a node's context menu.

#include <cstdint>
#include <memory>

#include <wx/menu.h>
#include <wx/timer.h>

#include "platform/ControlPorts.h"
#include "platform/Dispatcher.h"
#include "ui/WxTreePort.h"

class CArbDocument;
class CDataObject;

class CArbTreeView : public ui::PortTreeCtrl, public platform::MessageReceiver {
public:
    // Installs the view's port as the tree control of the model and the
    // view as the window of the removal timers.
    CArbTreeView(wxWindow* parent, CArbDocument* document);
    ~CArbTreeView() override;

    // The one tree view, or null.
    static CArbTreeView* Get();
    ui::WxTreePort& GetPort() { return *m_port; }

    // Selects item and shows its node's menu at the mouse (with adjust:
    // beside the item's label when the mouse is not over it).
    void ShowItemContextMenu(platform::TreeItem item, bool adjust);
    // The menu ShowItemContextMenu shows for item's node, its items' state
    // asked as the menu bar's; null without a node.
    std::unique_ptr<wxMenu> MakeItemContextMenu(platform::TreeItem item);
    // Caption, status text, server texts, filter box and node menu from the
    // selected node.
    void UpdateFrameTexts();
    // Label editing of the selected item, when its node takes a new name.
    void BeginRename(platform::TreeItem item);

    // What a click (and a double click) on the item does; onButton: the
    // click was on its expand button.
    void ClickItem(platform::TreeItem item, bool onButton);
    // Key handling as the key events run it; false when the key must not go
    // on to the control.
    bool KeyDown(int keyCode);
    void KeyUp(int keyCode);
    bool IsOpenOnClick() const { return m_openOnClick; }

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;

private:
    CDataObject* SelectedNode() const;
    void OnSelChanged(wxTreeEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftDClick(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnBeginLabelEdit(wxTreeEvent& event);
    void OnEndLabelEdit(wxTreeEvent& event);
    void OnItemMenu(wxTreeEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnClipboardCommand(wxCommandEvent& event);
    void OnUpdateClipboardCommand(wxUpdateUIEvent& event);
    void OnDestroy(wxWindowDestroyEvent& event);
    void Teardown();

    CArbDocument* m_document;
    std::shared_ptr<ui::WxTreePort> m_port;
    std::shared_ptr<platform::TreePort> m_previousPort;
    platform::ReceiverRegistration m_registration;
    bool m_openOnClick = true;
    bool m_tornDown = false;
};
