#pragma once
// The node behind both views: every tree item and every list row carries one
// as its item data. The base holds what all nodes share (state flags, tree
// item, owning server, the texts the views show, the running job), gives the
// default answers of the node operations, and is the only code that hangs
// error and information nodes under a node, drives the list's waiting
// animation, starts aborts and builds the default menus.
//
// Nodes are owned through their tree items: removing the items below a node
// (DeleteChildItems) deletes the nodes they carry; Delete ends a node itself.
// Nodes are deleted on the user-interface thread only.
//
// Threads: everything runs on the user-interface thread except what jobs
// call through IJobNode (flags, status text, overlay, information nodes) and
// ReportError; those are safe on any thread. Flags are one atomic word, texts
// are locked, and view work is carried out on the user-interface thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/SmallLock.h"
#include "jobs/IJobNode.h"
#include "ldap/LDAPException.h"
#include "model/ports/PropertyPages.h"
#include "model/nodes/ServerLink.h"
#include "platform/ControlPorts.h"
#include "platform/PopupMenu.h"

class CLDAPThread;
class CProgressDlg;
class CServerObject;

// A command and the string id of its menu text; (0, 0) is a separator.
struct CommandEntry {
    uint32_t command;
    uint32_t stringId;
    friend bool operator==(const CommandEntry& a, const CommandEntry& b)
    {
        return a.command == b.command && a.stringId == b.stringId;
    }
};
typedef std::vector<CommandEntry> CommandList;

// Commands the nodes offer.
constexpr uint32_t kCmdRefresh = 32832;
constexpr uint32_t kCmdDelete = 32833;
constexpr uint32_t kCmdProperties = 32842;
constexpr uint32_t kCmdNewServerProfile = 32845;
constexpr uint32_t kCmdExportLDIF = 32855;
constexpr uint32_t kCmdRemoveMessage = 32881;
constexpr uint32_t kCmdCut = 57635;
constexpr uint32_t kCmdCopy = 57634;
constexpr uint32_t kCmdPaste = 57637;
// A value's commands (the entry menus offer them too).
constexpr uint32_t kCmdSaveValue = 32865;
constexpr uint32_t kCmdLoadValue = 32930;
constexpr uint32_t kCmdOpenValue = 32882;

// AppendClipboardCommands flags: bit 0 enables Cut and grays Copy; bit 1
// grays Copy and Paste.
constexpr uint32_t kClipboardCut = 0x1;
constexpr uint32_t kClipboardNoCopyPaste = 0x2;

// InsertIntoViews flags.
constexpr uint32_t kInsertTreeItem = 0x1;
constexpr uint32_t kInsertListRow = 0x2;

// GetSize of a node whose children are not known.
constexpr uint32_t kSizeUnknown = 0xFFFFFFFFu;

class CDataObject : public IJobNode {
public:
    // With a source: its tree item, busy and children-loaded bits, display
    // name, caption and owning server are copied; never its job or abort state.
    explicit CDataObject(const CDataObject* source = nullptr);
    CDataObject(const CDataObject&) = delete;
    CDataObject& operator=(const CDataObject&) = delete;
    // Leaves the views alone; a job still running for the node lets go of it.
    virtual ~CDataObject();

    NodeId GetNodeId() const override { return m_id; }
    // The run-time class name, which CountChildItems compares.
    virtual const char* GetRuntimeClassName() const { return "CDataObject"; }

    // Menus; the caller owns them.
    virtual std::unique_ptr<platform::PopupMenu> BuildContextMenu();
    virtual void AppendPropertiesCommand(platform::PopupMenu& menu);
    // From the command table (all) or from GetCommandList.
    virtual std::unique_ptr<platform::PopupMenu> CreateCommandMenu(bool all);
    virtual CommandList& GetCommandList(CommandList& list);
    virtual void GetDefaultCommandList(CommandList& list);
    virtual void AppendClipboardCommands(platform::PopupMenu& menu, uint32_t flags);

    int GetType() const override = 0;
    bool IsBusy() const override;
    virtual int GetImage(bool selected) const = 0;
    virtual bool QueryCapability1() const = 0;
    virtual bool QueryCapability2() const = 0;

    // Unless busy: expands the tree item and marks the children loaded.
    virtual void Expand(intptr_t arg);
    // Unless busy: marks the children not loaded.
    virtual void Refresh(intptr_t arg);
    virtual void LoadChildren(intptr_t arg);
    // Fills the list view with the node's contents and selects the node.
    virtual void ShowContents(intptr_t arg) = 0;
    virtual void OnCommandNew() = 0;
    // The parent's OnCommandNew when the parent is not busy.
    virtual bool RouteCommandNew();

    // The tree item's children indicator: 1 when it has child items, else 0.
    void UpdateChildIndicator() override;
    virtual void SetChildIndicator(int children);
    // Child items whose node has that run-time class name (null: all).
    virtual int CountChildItems(const char* className) const;

    // Removes the node's row and tree item (with the nodes below it), shows
    // the parent again when it is selected, and deletes the node.
    virtual bool Delete(intptr_t arg);
    // kInsertTreeItem: as the parent item's last child; kInsertListRow: a row
    // at the end when the parent item is the selected one.
    virtual void InsertIntoViews(platform::TreeItem parentItem, uint32_t flags);
    virtual bool PromptDelete() = 0;
    virtual bool CanRenameInList() const { return false; }
    virtual bool CanRenameInTree() const { return false; }
    virtual bool QueryCapability3() const { return true; }

    virtual std::wstring GetDisplayName() const;
    virtual std::wstring GetFullName() const = 0;
    virtual std::wstring GetFilterText() const;
    virtual std::wstring GetCaption() const;
    virtual std::wstring GetValueText() const;
    virtual std::wstring GetTypeName() const;
    // kSizeUnknown until the children are loaded; then the sum over the
    // child nodes that know theirs.
    virtual uint32_t GetSize() const;
    bool IsChildrenLoaded() const override;

    virtual std::wstring GetStatusText() const;
    void SetStatusText(const std::wstring& text) override;
    void ResetStatusText() override;
    virtual void UpdateDocumentInfoIfCurrent();
    void SetOverlayImage(int image) override;
    // The Size column of that list row.
    virtual void UpdateSizeText(int row);
    // The size column's text: the number of children, or the unknown-size text before they are known.
    std::wstring GetSizeText() const;

    // An error node under this node, shown and logged.
    virtual void ReportError(arbldap::LDAPException error);
    // An information node under this node, shown and logged; it removes
    // itself later when the options ask for it.
    void ReportInformation(const std::wstring& text, const std::wstring& detail) override;

    // No pages in the base.
    virtual PropertyPageList AddPropertyPages();
    // The node's sheet, or with a selection one summary page of those nodes;
    // the sheet's modal result.
    virtual int ShowProperties(const std::vector<CDataObject*>* selection = nullptr);
    // Whether ShowProperties with that selection would show a sheet.
    bool CanShowProperties(const std::vector<CDataObject*>* selection = nullptr);
    virtual std::wstring GetPropertiesTitle() const;
    // The owning server node (a server node answers itself), with its node
    // and profile parts.
    virtual ServerLink GetServerLink() const;
    CServerObject* GetServerObject() const { return GetServerLink().server; }
    CLDAPObject* GetServerNode() const { return GetServerLink().node; }
    CServerProfile* GetServerProfile() const { return GetServerLink().profile; }

    // The list view's waiting animation, while the node is current.
    virtual void ShowProgress();
    virtual void HideProgress();
    // The document's server texts: the top node clears them.
    virtual void UpdateDocumentInfo();

    // Flags; any thread.
    void SetBusy() override;
    void ResetBusy() override;
    void SetChildrenLoaded(bool loaded) override;
    bool IsAborting() const override;
    void SetAborting() override;
    void ResetAbort() override;
    void ClearAbortRequested() override;
    bool IsAbortRequested() const;
    // While blocked, StartJob starts nothing (the tree walks set it on subtrees).
    void SetJobBlock(bool block);
    bool IsJobBlocked() const;
    // Whether the children stand in the order of their display names, as a
    // sort by them left it; an insertion below or a child's new name clears it.
    void SetChildrenInOrder(bool inOrder) { SetFlag(kChildrenInOrder, inOrder); }
    bool AreChildrenInOrder() const { return HasFlag(kChildrenInOrder); }

    // One abort job per running job: nothing when the node is aborting or an
    // abort was started already.
    void Abort() override;
    // A null job is ignored; while blocked the job's finish work runs here and
    // it is dropped unstarted; otherwise it becomes the running job and starts.
    void StartJob(const std::shared_ptr<CLDAPThread>& job);
    std::shared_ptr<CLDAPThread> GetJob() const override;
    void SetJob(const std::shared_ptr<CLDAPThread>& job) override;
    CRefCountedEvent* GetEvent() const override;
    void SetEvent(CRefCountedEvent* event) override;
    // Null in the base: only LDAP-bound nodes have a session.
    arbldap::LDAPConnectionPtr GetConnection() const override;

    // True when the node's tree item is the selected one; a failure asking
    // counts as false.
    bool IsCurrent() const;
    platform::TreeItem GetTreeItem() const override;
    void SetTreeItem(platform::TreeItem item);
    platform::TreeItem GetParentItem() const;
    CDataObject* GetParentNode() const;
    void* GetItemData() override;

    // The insertion record of the node's tree item: last child of parent,
    // text by callback, the node's images and its item data.
    void GetTreeItemInfo(platform::TreeInsert& insert, platform::TreeItem parent) const;
    // The node's list row: texts by callback (ListColumnText), normal image,
    // item data, state.
    platform::ListItem FillListItem() const;
    // A modeless progress window for one of the node's jobs, placed at the
    // desktop's bottom right; null when none can be made. The caller hands
    // it to the job.
    std::unique_ptr<CProgressDlg> CreateProgressDialog(const std::wstring& caption, const std::wstring& text,
                                                       int value);

    // Asks whether to delete; true for Yes.
    static bool ConfirmDelete();
    // The command table: filled once at start-up.
    static void InitCommandImages();
    static bool IsCommandListed(uint32_t command);
    static CommandList GetCommandTable();

protected:
    void SetCaption(const std::wstring& text);
    void SetDisplayName(const std::wstring& text);
    // A new display name: the parent's children may stand out of order now.
    void ForgetParentOrder();
    void SetValueText(const std::wstring& text);
    void SetServerObject(const ServerLink& server);

private:
    enum : uint32_t {
        kAborting = 1u << 0,
        kAbortStarted = 1u << 1,
        kBusy = 1u << 2,
        kChildrenLoaded = 1u << 3,
        kJobBlock = 1u << 4,
        kChildrenInOrder = 1u << 5,
    };
    void SetFlag(uint32_t flag, bool on);
    bool HasFlag(uint32_t flag) const { return (m_flags.load() & flag) != 0; }
    // Shows the status text in the frame when the node is current, after the
    // document's server texts when asked.
    void PublishStatusText(bool withDocumentInfo);
    // The view part of ReportError and ReportInformation (UI thread); each
    // is its message node's (CErrorObject.cpp, CInformationObject.cpp).
    void ShowErrorNode(const arbldap::LDAPException& error);
    void ShowInformationNode(const std::wstring& text, const std::wstring& detail);
    // Hangs a report's node as the last child of the node's item; the tree
    // owns it from then on. Null (child freed) when it could not be inserted.
    CDataObject* HangReportNode(std::unique_ptr<CDataObject> child);
    // The node's item expanded and its children counted as loaded.
    void EndReport(platform::TreeItem item);

    const NodeId m_id;
    std::atomic<uint32_t> m_flags{0};
    std::atomic<uint64_t> m_treeItem{0};
    std::atomic<CServerObject*> m_server{nullptr};
    std::atomic<CLDAPObject*> m_serverNode{nullptr};
    std::atomic<CServerProfile*> m_serverProfile{nullptr};
    std::atomic<CRefCountedEvent*> m_event{nullptr};

    mutable SmallLock m_lock;  // the texts and the job
    // Made when a text is first set: a big list's entries name themselves
    // from their DNs and never set one.
    struct Texts {
        std::wstring caption;
        std::wstring statusText;
        bool statusIdle = true;  // the idle message stands for statusText
        std::wstring displayName;
        std::wstring valueText;
    };
    Texts& TextsToSet();
    std::unique_ptr<Texts> m_texts;
    std::weak_ptr<CLDAPThread> m_job;
};
