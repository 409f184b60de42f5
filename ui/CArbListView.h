#pragma once
// The right-hand pane of the main window: one row per child of the node
// selected in the tree (servers, entries, attribute values, error and
// information nodes). The nodes insert, update and remove their own rows
// through the list port; the view turns what the user does on rows into
// calls on the nodes, keeps the columns, the sort and the view style across
// runs, shows the waiting animation, edits values in place, executes the
// node calls that workers post to it, and makes the root node at its start.
//
// Each row's data is its node; rows never own their nodes. User-interface
// thread only.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <wx/timer.h>

#include "jobs/IJobNode.h"
#include "platform/Dispatcher.h"
#include "shellcore/ListViewState.h"
#include "ui/CArbDocument.h"
#include "ui/CListViewBase.h"

class CDataObject;
class CInPlaceEdit;
class wxMenu;

namespace ui {
class WxListPort;
class WxListViewPort;
}

class CArbListView : public CListViewBase, public platform::MessageReceiver, public IDocumentListView {
public:
    static constexpr int kNameColumn = 0;
    static constexpr int kValueColumn = 1;
    static constexpr int kTypeColumn = 2;
    static constexpr int kSizeColumn = 3;
    static constexpr int kAnimationId = 32867;

    // Reads the sort state at once.
    CArbListView();
    // Makes the window, installs it as the model's list control and list
    // view and registers it for the workers' messages.
    bool Create(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~CArbListView() override;

    // The one list view, or null.
    static CArbListView* Get();

    // Images, columns, style and animation, then the root node with its
    // servers, selected and shown.
    void OnInitialUpdate();

    // A row for the node at index (-1: at the end); its index.
    int InsertObjectRow(CDataObject& node, int index);
    void RemoveAllRows();
    // Sorts by the sort column when there is one and the options keep the
    // list sorted (or force is set), and shows the arrow; else no arrow.
    void SortByColumn(bool force);
    int FindItemByData(const void* data) const;
    // The node's row while the list shows its parent's children; holds the
    // row lock while it looks.
    int FindObjectRow(CDataObject& node);
    void SelectSingleItem(int index, bool clearOthers);
    std::vector<CDataObject*> GetSelectedObjects() const override;
    CDataObject* GetRowObject(long row) const;
    bool IsReportStyle() const;
    bool IsIconStyle() const;
    // The style's low two bits (0 icons, 1 report, 2 small icons, 3 list).
    uint32_t GetViewStyle() const;
    void SetViewStyle(uint32_t style);

    // The lock the document's row search holds while it scans the rows.
    std::recursive_mutex& GetRowLock() { return m_rowLock; }

    // A header click: the sort state, stored, and the sort.
    void ColumnClick(int column);
    const CListViewState& GetSortState() const { return m_state; }
    // The tree's sort commands: the sort column stays, the direction is
    // theirs, stored.
    void TakeSortDirection(bool ascending);
    // The four widths as shown now, stored.
    void SaveColumnWidths();

    // The in-place edit of the Value cell at point (the list's coordinates),
    // or of row's (the document's edit command). Only a value whose text is
    // shown as it is stored can be edited.
    void BeginValueEdit(const wxPoint& point);
    void BeginValueEdit(int row) override;
    bool CanBeginValueEdit(int row) const override;
    CInPlaceEdit* GetValueEditor() const { return m_editor; }
    // Ends a running in-place edit (keeping its text unless cancel).
    void EndValueEdit(bool cancel);
    const std::wstring& GetEditedValueText() const { return m_editText; }

    // Enter and double-click on a row.
    void OpenObject(CDataObject& node);
    // The context menu at a point of the list (wxDefaultPosition: from the
    // keyboard).
    void ShowContextMenu(const wxPoint& point);
    // The menu ShowContextMenu would show now, its items' state asked as
    // the menu bar's, or null (then the tree's menu is shown). The caller
    // owns it.
    std::unique_ptr<wxMenu> BuildContextMenu();
    void UpdateNodeMenu();
    // A key-down in the rows' window; true when the view took the key.
    bool HandleKeyDown(int keyCode);

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;

    wxWindow* GetListWindow() const override;
    ui::WxListPort& GetListPort() { return *m_port; }
    ui::WxListViewPort& GetListViewPort() { return *m_viewPort; }

private:
    class ViewPort;

    void InstallPorts();
    void RemovePorts();
    void CreateImageLists();
    // The widths drawn for the dialog font, made as wide in the desktop's
    // font, and never too narrow for the texts each column shows most.
    CListViewState::Widths DefaultColumnWidths();
    void ShowSortArrow();
    void PositionEditor();
    bool CanEditValue(CDataObject* node, std::wstring& text) const;

    void OnColumnClick(wxListEvent& event);
    void OnColumnBeginDrag(wxListEvent& event);
    void OnColumnEndDrag(wxListEvent& event);
    void OnItemActivated(wxListEvent& event);
    void OnSelectionChanged(wxListEvent& event);
    void OnEndValueEdit(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftDoubleClick(wxMouseEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnClearClipboard(wxCommandEvent& event);

    CListViewState m_state;
    std::recursive_mutex m_rowLock;
    std::shared_ptr<ui::WxListPort> m_port;
    std::shared_ptr<ui::WxListViewPort> m_viewPort;
    platform::ReceiverRegistration m_registration;
    CInPlaceEdit* m_editor = nullptr;
    std::wstring m_editText;
    NodeId m_editNode = 0;
    // The second click on a selected row starts an edit once no double
    // click has followed it.
    wxTimer m_editTimer;
    wxPoint m_editPoint;
    // One right press can bring two context-menu events (the list's own
    // and the toolkit's); a press gets one menu.
    unsigned m_rightPresses = 0;
    unsigned m_menuPress = 0;
};
