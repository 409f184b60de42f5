#pragma once
// The single document: no file data, the command target between the active
// view and the main frame. It turns the menu, toolbar and accelerator
// commands into calls on the current node, decides on idle which of them are
// enabled, rebuilds the node menu of the menu bar, builds the list's menu
// for a multiple selection, and keeps the status texts, icon state and flag
// the frame's panes show (it is the model's document port).
//
// The rules themselves (current node, enabling, command decisions) live in
// shellcore/DocumentCommands.h; this class adds the windows.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/event.h>
#include <wx/menu.h>

#include "platform/ControlPorts.h"
#include "platform/ShellPorts.h"
#include "shellcore/DocumentCommands.h"

class CArbMainFrame;
class CArbTreeView;
class CDataObject;
class CLDAPSchema;
class CNavigationHistory;
class CRootObject;
class wxWindow;

// What the document needs of the list view. The list view registers itself
// with SetListView when it is made and unregisters (null) when it goes.
class IDocumentListView {
public:
    virtual ~IDocumentListView() = default;
    // The window that holds the keyboard focus while the list has it.
    virtual wxWindow* GetListWindow() const = 0;
    // The nodes of the selected rows, in row order.
    virtual std::vector<CDataObject*> GetSelectedObjects() const = 0;
    // Starts the in-place edit of that row's value (the rename command with
    // the list focused).
    virtual void BeginValueEdit(int row) = 0;
    // Whether BeginValueEdit acts on that row; rename is offered only then.
    virtual bool CanBeginValueEdit(int row) const { return false; }
};

class CArbDocument : public wxEvtHandler, public platform::DocumentPort {
public:
    // The frame shows the status fields and holds the filter box; it owns
    // the document (null in tests without a frame).
    explicit CArbDocument(CArbMainFrame* frame);
    // Deletes the root node; the tree's items below it must be gone already.
    ~CArbDocument() override;

    // The one document, or null (set at construction, cleared at the end).
    static CArbDocument* Get();

    // The root node: the list view makes it at its start and hands it over.
    void SetRootObject(std::unique_ptr<CRootObject> root);
    CRootObject* GetRootObject() const;

    // The views register themselves (null: gone).
    void SetTreeView(CArbTreeView* view);
    CArbTreeView* GetTreeView() const;
    void SetListView(IDocumentListView* view);
    IDocumentListView* GetListView() const;
    CArbMainFrame* GetFrame() const;

    // Last-focused-view flag: the tree view sets true, the list view false,
    // when they receive the focus.
    void SetLastFocusedView(bool tree);
    bool IsTreeLastFocused() const;

    // The node menu shown in the menu bar belongs to nodes of this class.
    const std::string& GetNodeMenuClass() const;
    void SetNodeMenuClass(const std::string& className);
    // Rebuilds the node menu when node's class differs from the one shown
    // and stores the new class name (the views call it on selection).
    void UpdateNodeMenu(CDataObject* node);

    // Selection.
    CDataObject* GetTreeItemObject(platform::TreeItem item) const;
    CDataObject* GetSelectedTreeObject() const;
    int GetFirstSelectedListIndex() const;
    CDataObject* GetSelectedListObject() const;
    bool IsListFocused() const;
    bool IsTreeFocused() const;
    // The node the commands act on.
    CDataObject* GetCurrentObject() const;
    // The caret node's server texts into the status fields.
    void RefreshSelectedServerInfo();
    // The current node's server's schema, or null.
    CLDAPSchema* GetCurrentSchema() const;

    // Status fields (the model's document port).
    void SetPaneText1(const std::wstring& text) override;
    void SetPaneText2(const std::wstring& text) override;
    void SetPaneValue(int value) override;
    void SetMessageText(const std::wstring& text) override;
    const std::wstring& GetPaneText1() const;
    const std::wstring& GetPaneText2() const;
    int GetPaneValue() const;

    // The node menu in the menu bar: the current node's (or the root's)
    // command menu in place of the menu titled with string 620.
    void RebuildMainMenu();
    // The list's menu for several selected rows; the caller owns it.
    std::unique_ptr<wxMenu> BuildListContextMenu() const;

    // Back and forward through the places selected in the tree.
    CNavigationHistory& GetHistory();

    // The command rules with the windows' answers filled in.
    CDocumentCommands& GetCommands();

    // Runs the command / its update handler as the event route would; false
    // when the document does not handle that id. A disabled command does
    // nothing.
    bool ExecuteCommand(uint32_t command);
    bool UpdateCommand(uint32_t command, bool& enabled);

    // The dialogs that are there: their commands are enabled.
    static DocumentDialogs AvailableDialogs();

    // Idle work: the walk back after a reconnect.
    void OnIdle();

private:
    void OnCommand(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    // The commands that need the windows.
    void Rename();
    void DeleteSelected();
    void ApplyFilter();
    void RemoveFilter();
    void Sort(bool ascending);
    void ShowProperties();
    // The dialogs that come later: each opens in its function once it is
    // switched on in AvailableDialogs.
    void OpenSchemaViewer();
    void OpenServerProperties();
    void OpenOptions();
    void OpenUpdateCheck();
    void OpenFavorites();

    class Context;
    CArbMainFrame* m_frame;
    std::unique_ptr<CNavigationHistory> m_history;
    std::unique_ptr<CRootObject> m_root;
    CArbTreeView* m_treeView = nullptr;
    IDocumentListView* m_listView = nullptr;
    std::string m_nodeMenuClass;
    bool m_treeLastFocused = true;
    std::wstring m_paneText1;
    std::wstring m_paneText2;
    int m_paneValue = 0;
    std::unique_ptr<Context> m_context;
    std::unique_ptr<CDocumentCommands> m_commands;
    bool m_menuRebuildPending = false;
};
