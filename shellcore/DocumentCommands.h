#pragma once
// The document's rules without its windows: which node the commands act on,
// when each command is enabled, and what the commands do with the nodes.
// The tree's caret and the list's rows come from the control ports; the
// keyboard focus, the last-focused view and the root from the context.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CArbClipboard;
class CDataObject;
class CLDAPObject;
class CLDAPSchema;
class CNavigationHistory;
class CRootObject;

// Which view has the keyboard focus.
enum class ViewFocus { Tree, List, Neither };

// What the rules ask of the windows.
class DocumentContext {
public:
    virtual ~DocumentContext() = default;
    virtual ViewFocus GetFocus() const = 0;
    // The last-focused-view flag: true when the tree had the focus last.
    virtual bool IsTreeLastFocused() const = 0;
    virtual CRootObject* GetRoot() const = 0;
    // The node's list row, or -1 when the list does not show it.
    virtual int FindListRow(CDataObject& node) const = 0;
    // Whether the list's in-place edit acts on that row.
    virtual bool CanEditListRow(int row) const = 0;
    // The text of the filter box (the filter the apply command sets).
    virtual std::wstring GetFilterBoxText() const { return std::wstring(); }
};

// Where the rename command edits: the node's list row or its tree label.
struct RenameTarget {
    enum Kind { None, ListRow, TreeItem };
    Kind kind = None;
    CDataObject* node = nullptr;
    int row = -1;
};

// The dialogs that some commands open and that are not all there yet: a
// command whose dialog is missing stays disabled.
struct DocumentDialogs {
    bool goToDN = false;          // the search dialog (32866)
    bool favorites = false;       // the favourites manager (32870)
    bool ldifExport = false;      // the LDIF export dialog (32855)
    bool options = false;         // the options sheet (32897)
    bool updateCheck = false;     // the update check dialog (32898)
    bool schemaViewer = false;    // the schema viewer (32929)
    bool serverProperties = false; // a server node's property sheet (32842)
};

class CDocumentCommands {
public:
    CDocumentCommands(const DocumentContext& context, CNavigationHistory& history);

    void SetDialogs(const DocumentDialogs& dialogs) { m_dialogs = dialogs; }
    const DocumentDialogs& GetDialogs() const { return m_dialogs; }

    // The node the commands act on: the first selected row when the list has
    // the focus (or neither view has it and the list had it last), the
    // tree's caret when no row is selected; else the tree's caret.
    CDataObject* GetCurrentObject() const;
    CDataObject* GetCaretObject() const;
    CDataObject* GetFirstSelectedListObject() const;
    int GetFirstSelectedListIndex() const;
    std::vector<CDataObject*> GetSelectedListObjects() const;
    // The schema kept by the current node's server, or null.
    CLDAPSchema* GetCurrentSchema() const;

    // E(kind, idle, loaded, dn): the current node has that kind, is no team
    // member or team server, and meets the conditions asked.
    bool IsCurrentNodeOfKind(int kind, bool idle = false, bool loaded = false, bool dn = false) const;
    // The same of any node.
    static bool IsNodeOfKind(CDataObject* node, int kind, bool idle, bool loaded, bool dn);
    // A(baseDN, noServer): the list had the focus last and its first row is
    // an attribute of an idle entry (or server, unless noServer; a server
    // needs a base DN when baseDN).
    bool IsListAttributeOfIdleEntry(bool baseDN, bool noServer) const;

    // Whether the document takes the command at all.
    static bool Handles(uint32_t command);
    // Its update handler; true for a command without one.
    bool IsEnabled(uint32_t command) const;

    // The commands that need no window of their own. False when the command
    // is not one of them (the document's window code runs it).
    bool Execute(uint32_t command);

    // The commands of a node's own context menu where they mean something
    // else than the same id in the main menu: 32875 adds the node to its
    // server's favourites there. False for every other command.
    static bool ExecuteNodeMenuCommand(CDataObject& node, uint32_t command);
    // The state of such a command in node's menu; false for every other
    // command (its state is the main menu's).
    static bool IsNodeMenuCommandEnabled(CDataObject& node, uint32_t command, bool& enabled);

    // What copy takes, into the holder: with the list where the commands act
    // and rows selected, one entry row, or the caret's entry (or server)
    // with the entry rows and value rows chosen below it; else the tree's
    // caret entry or server. False when that is nothing to copy; a null
    // holder only asks.
    bool FillCopy(CArbClipboard* clipboard) const;
    // Puts it on the clipboard, as text and in the program's own format.
    bool Copy();
    // Where paste puts the clipboard's entries: the current node (a value's
    // entry), when it is an idle entry or server of an open server, with a
    // DN; else null.
    CLDAPObject* GetPasteTarget() const;

    // Where rename would edit; None when nothing takes a new name there.
    RenameTarget GetRenameTarget() const;
    // Refresh's argument for the node.
    static intptr_t RefreshArgument(CDataObject& node);
    // Delete selected is offered only for a selection it acts on: rows that
    // are not entries, and with attribute values an idle caret.
    bool CanDeleteSelected(const std::vector<CDataObject*>& nodes) const;
    // Delete selected: asks, then deletes what was confirmed. The nodes are
    // the list's selected ones in row order. True when something was done.
    bool DeleteSelected(const std::vector<CDataObject*>& nodes);
    // The nodes the properties command passes: all selected rows when the
    // list has the focus and two or more are selected, else none (empty).
    std::vector<CDataObject*> PropertiesSelection() const;
    // Apply filter: text trimmed; nothing for an empty text, the filter in
    // effect already, or a current node that is not an entry or server.
    // True when set (the filter box then shows the text).
    bool ApplyFilter(const std::wstring& text);
    // The filter box's text trimmed, when applying it to the current node
    // changes its filter; else empty.
    std::wstring FilterToApply() const;
    // Remove filter: true when done; filter receives the node's filter now
    // in effect (empty when none).
    bool RemoveFilter(std::wstring& filter);
    // Sorts the caret's children by display name, ignoring case.
    bool Sort(bool ascending);

    // After a reconnect from a node below the server: once the server is open
    // again, the tree is walked back to that node's DN (on idle). Selecting
    // another node first drops the walk.
    void ResumeAfterReconnect();
    bool IsReturnPending() const { return m_returnServer != 0; }

private:
    bool IsTeamNode(const CDataObject& node) const;
    // The list's selection decides what the commands act on.
    bool IsListDeciding() const;
    // Whether sorting the caret's children that way moves any of them.
    bool SortChangesOrder(bool ascending) const;
    CDataObject* OwnerOf(CDataObject* node) const;

    const DocumentContext& m_context;
    CNavigationHistory& m_history;
    DocumentDialogs m_dialogs;
    // The server being reconnected (its node id) and the DN to return to.
    uint64_t m_returnServer = 0;
    std::string m_returnDN;
};
