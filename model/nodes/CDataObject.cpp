#include "model/nodes/CDataObject.h"

#include <utility>

#include "jobs/CLDAPThread.h"
#include "jobs/CProgressDlg.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/ProgressDialogFactory.h"
#include "model/ports/PropertySheetPort.h"
#include "model/ports/ResourceText.h"
#include "model/ports/UiThread.h"
#include "platform/Dispatcher.h"
#include "platform/Messages.h"
#include "platform/ShellPorts.h"

namespace {

constexpr unsigned kStrConfirmDelete = 346;
constexpr unsigned kStrTypeName = 348;
constexpr unsigned kStrSizeUnknown = 350;
constexpr unsigned kStrPropertiesTitle = 352;
constexpr unsigned kStrIdleMessage = 57345;

constexpr int kSizeColumn = 3;

std::shared_ptr<platform::TreePort> Tree()
{
    return platform::GetTreeControl();
}

}  // namespace

CDataObject::CDataObject(const CDataObject* source) : m_id(NodeRegistry::Add(this))
{
    if (source) {
        m_treeItem = source->m_treeItem.load();
        m_flags = source->m_flags.load() & (kBusy | kChildrenLoaded);
        m_server = source->m_server.load();
        m_serverNode = source->m_serverNode.load();
        m_serverProfile = source->m_serverProfile.load();
        // Through the getters: a source may name itself without stored texts.
        const std::wstring displayName = source->GetDisplayName();
        const std::wstring caption = source->GetCaption();
        if (!displayName.empty() || !caption.empty()) {
            Texts& texts = TextsToSet();
            texts.displayName = displayName;
            texts.caption = caption;
        }
    }
    ResetStatusText();
}

CDataObject::~CDataObject()
{
    NodeRegistry::Remove(m_id);
    // A job that outlives its node must not reach it any more.
    if (std::shared_ptr<CLDAPThread> job = GetJob())
        job->DetachFromNode();
}

// --- flags ---

void CDataObject::SetFlag(uint32_t flag, bool on)
{
    if (on)
        m_flags.fetch_or(flag);
    else
        m_flags.fetch_and(~flag);
}

bool CDataObject::IsBusy() const
{
    return HasFlag(kBusy);
}

void CDataObject::SetBusy()
{
    SetFlag(kBusy, true);
}

void CDataObject::ResetBusy()
{
    SetFlag(kBusy, false);
}

bool CDataObject::IsChildrenLoaded() const
{
    return HasFlag(kChildrenLoaded);
}

void CDataObject::SetChildrenLoaded(bool loaded)
{
    SetFlag(kChildrenLoaded, loaded);
}

bool CDataObject::IsAborting() const
{
    return HasFlag(kAborting);
}

void CDataObject::SetAborting()
{
    SetFlag(kAborting, true);
}

void CDataObject::ResetAbort()
{
    SetFlag(kAborting, false);
}

void CDataObject::ClearAbortRequested()
{
    SetFlag(kAbortStarted, false);
}

bool CDataObject::IsAbortRequested() const
{
    return HasFlag(kAbortStarted);
}

void CDataObject::SetJobBlock(bool block)
{
    SetFlag(kJobBlock, block);
}

bool CDataObject::IsJobBlocked() const
{
    return HasFlag(kJobBlock);
}

// --- jobs ---

void CDataObject::Abort()
{
    // Test and set in one step: two callers racing start one abort job.
    uint32_t flags = m_flags.load();
    do {
        if (flags & (kAborting | kAbortStarted))
            return;
    } while (!m_flags.compare_exchange_weak(flags, flags | kAbortStarted));
    auto abortJob = std::make_shared<CAbortThread>(this);
    abortJob->CreateThread();
}

void CDataObject::StartJob(const std::shared_ptr<CLDAPThread>& job)
{
    if (!job)
        return;
    if (IsJobBlocked()) {
        job->FinishUnstarted();
        return;
    }
    SetJob(job);
    job->CreateThread();
}

std::shared_ptr<CLDAPThread> CDataObject::GetJob() const
{
    std::lock_guard<SmallLock> lock(m_lock);
    return m_job.lock();
}

void CDataObject::SetJob(const std::shared_ptr<CLDAPThread>& job)
{
    std::lock_guard<SmallLock> lock(m_lock);
    m_job = job;
}

CRefCountedEvent* CDataObject::GetEvent() const
{
    return m_event.load();
}

void CDataObject::SetEvent(CRefCountedEvent* event)
{
    m_event = event;
}

arbldap::LDAPConnectionPtr CDataObject::GetConnection() const
{
    return nullptr;
}

// --- tree and list ---

bool CDataObject::IsCurrent() const
{
    platform::TreeItem item = GetTreeItem();
    if (!item)
        return false;
    try {
        std::shared_ptr<platform::TreePort> tree = Tree();
        return tree && tree->GetSelectedItem() == item;
    } catch (...) {
        return false;
    }
}

platform::TreeItem CDataObject::GetTreeItem() const
{
    return platform::TreeItem{m_treeItem.load()};
}

void CDataObject::SetTreeItem(platform::TreeItem item)
{
    m_treeItem = item.handle;
}

platform::TreeItem CDataObject::GetParentItem() const
{
    platform::TreeItem item = GetTreeItem();
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (!item || !tree)
        return platform::TreeItem{};
    return tree->GetParentItem(item);
}

void* CDataObject::GetItemData()
{
    return static_cast<void*>(this);
}

void CDataObject::GetTreeItemInfo(platform::TreeInsert& insert, platform::TreeItem parent) const
{
    insert.parent = parent;
    insert.at = platform::TreeInsertAt::Last;
    insert.text.clear();
    insert.textCallback = true;
    insert.image = GetImage(false);
    insert.selectedImage = GetImage(true);
    // An expand button until the children are known; UpdateChildIndicator
    // corrects it once they are.
    insert.children = IsChildrenLoaded() ? 0 : 1;
    insert.data = const_cast<CDataObject*>(this)->GetItemData();
}

platform::ListItem CDataObject::FillListItem() const
{
    platform::ListItem item;
    // The texts, the caption first, are asked of the node when the row is
    // shown (ListColumnText): a long list makes none for rows never seen.
    item.textCallback = true;
    item.image = GetImage(false);
    item.data = const_cast<CDataObject*>(this)->GetItemData();
    item.state = 0x1F00;
    item.stateMask = 0xFF00;
    return item;
}

void CDataObject::Expand(intptr_t)
{
    if (IsBusy())
        return;
    platform::TreeItem item = GetTreeItem();
    if (std::shared_ptr<platform::TreePort> tree = Tree(); tree && item)
        tree->Expand(item, platform::TreeExpand::Expand);
    SetChildrenLoaded(true);
}

void CDataObject::Refresh(intptr_t)
{
    if (IsBusy())
        return;
    SetChildrenLoaded(false);
}

void CDataObject::LoadChildren(intptr_t) {}

bool CDataObject::RouteCommandNew()
{
    CDataObject* parent = GetParentNode();
    if (!parent || parent->IsBusy())
        return false;
    parent->OnCommandNew();
    return true;
}

void CDataObject::UpdateChildIndicator()
{
    platform::TreeItem item = GetTreeItem();
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (item && tree)
        tree->SetChildIndicator(item, tree->ItemHasChildren(item) ? 1 : 0);
}

void CDataObject::SetChildIndicator(int children)
{
    platform::TreeItem item = GetTreeItem();
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (item && tree)
        tree->SetChildIndicator(item, children);
}

void CDataObject::SetOverlayImage(int image)
{
    platform::TreeItem item = GetTreeItem();
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (item && tree)
        tree->SetItemOverlay(item, image);
}

void CDataObject::UpdateSizeText(int row)
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list)
        return;
    list->SetItemText(row, kSizeColumn, GetSizeText());
}

std::wstring CDataObject::GetSizeText() const
{
    const uint32_t size = GetSize();
    return static_cast<int32_t>(size) < 0 ? LoadResourceText(kStrSizeUnknown) : std::to_wstring(size);
}

void CDataObject::ShowProgress()
{
    if (!IsCurrent())
        return;
    if (std::shared_ptr<platform::ListViewPort> view = platform::GetListViewPort())
        view->ShowAnimation();
}

void CDataObject::HideProgress()
{
    if (!IsCurrent())
        return;
    if (std::shared_ptr<platform::ListViewPort> view = platform::GetListViewPort())
        view->HideAnimation();
    platform::KillTimer(platform::GetAppWindow(platform::AppWindow::ListView), platform::kListProgressTimer);
}

// --- texts ---

std::wstring CDataObject::GetDisplayName() const
{
    std::lock_guard<SmallLock> lock(m_lock);
    return m_texts ? m_texts->displayName : std::wstring();
}

std::wstring CDataObject::GetFilterText() const
{
    return L"Filter";
}

std::wstring CDataObject::GetCaption() const
{
    std::lock_guard<SmallLock> lock(m_lock);
    return m_texts ? m_texts->caption : std::wstring();
}

std::wstring CDataObject::GetValueText() const
{
    std::lock_guard<SmallLock> lock(m_lock);
    return m_texts ? m_texts->valueText : std::wstring();
}

std::wstring CDataObject::GetTypeName() const
{
    return LoadResourceText(kStrTypeName);
}

std::wstring CDataObject::GetStatusText() const
{
    {
        std::lock_guard<SmallLock> lock(m_lock);
        if (m_texts && !m_texts->statusIdle)
            return m_texts->statusText;
    }
    return LoadResourceText(kStrIdleMessage);
}

void CDataObject::SetStatusText(const std::wstring& text)
{
    {
        std::lock_guard<SmallLock> lock(m_lock);
        Texts& texts = TextsToSet();
        texts.statusText = text;
        texts.statusIdle = false;
    }
    PublishStatusText(true);
}

void CDataObject::ResetStatusText()
{
    {
        // The idle text is looked up when asked for: every node starts
        // idle, and thousands are made at once on a fetch.
        std::lock_guard<SmallLock> lock(m_lock);
        if (m_texts) {
            m_texts->statusText.clear();
            m_texts->statusIdle = true;
        }
    }
    PublishStatusText(false);
}

void CDataObject::PublishStatusText(bool withDocumentInfo)
{
    // A node outside the tree cannot be current; nodes made on a worker
    // should not wait for the user-interface thread for nothing.
    if (!GetTreeItem())
        return;
    RunOnUiThread([&] {
        if (!IsCurrent())
            return;
        if (withDocumentInfo)
            UpdateDocumentInfo();
        if (std::shared_ptr<platform::DocumentPort> document = platform::GetDocumentPort())
            document->SetMessageText(GetStatusText());
    });
}

void CDataObject::UpdateDocumentInfoIfCurrent()
{
    if (IsCurrent())
        UpdateDocumentInfo();
}

void CDataObject::UpdateDocumentInfo()
{
    if (CDataObject* parent = GetParentNode()) {
        parent->UpdateDocumentInfo();
        return;
    }
    if (std::shared_ptr<platform::DocumentPort> document = platform::GetDocumentPort()) {
        document->SetPaneText1(std::wstring());
        document->SetPaneText2(std::wstring());
        document->SetPaneValue(0);
    }
}

void CDataObject::SetCaption(const std::wstring& text)
{
    std::lock_guard<SmallLock> lock(m_lock);
    TextsToSet().caption = text;
}

void CDataObject::SetDisplayName(const std::wstring& text)
{
    {
        std::lock_guard<SmallLock> lock(m_lock);
        TextsToSet().displayName = text;
    }
    ForgetParentOrder();
}

void CDataObject::ForgetParentOrder()
{
    // A node not in the tree yet is ordered when it is inserted.
    if (!GetTreeItem())
        return;
    RunOnUiThread([this] {
        std::shared_ptr<platform::TreePort> tree = Tree();
        platform::TreeItem item = GetTreeItem();
        if (!tree || !item)
            return;
        if (auto* parent = static_cast<CDataObject*>(tree->GetItemData(tree->GetParentItem(item))))
            parent->SetChildrenInOrder(false);
    });
}

void CDataObject::SetValueText(const std::wstring& text)
{
    std::lock_guard<SmallLock> lock(m_lock);
    TextsToSet().valueText = text;
}

CDataObject::Texts& CDataObject::TextsToSet()
{
    if (!m_texts)
        m_texts = std::make_unique<Texts>();
    return *m_texts;
}

ServerLink CDataObject::GetServerLink() const
{
    ServerLink link;
    link.server = m_server.load();
    link.node = m_serverNode.load();
    link.profile = m_serverProfile.load();
    return link;
}

void CDataObject::SetServerObject(const ServerLink& server)
{
    m_server = server.server;
    m_serverNode = server.node;
    m_serverProfile = server.profile;
}

// --- properties and progress ---

PropertyPageList CDataObject::AddPropertyPages()
{
    return PropertyPageList();
}

std::wstring CDataObject::GetPropertiesTitle() const
{
    return std::wstring();
}

namespace {

PropertyPageList PagesFor(CDataObject& node, const std::vector<CDataObject*>* selection)
{
    PropertyPageList pages;
    if (selection)
        pages.push_back(std::make_unique<MultiTypePage>(*selection));
    else
        pages = node.AddPropertyPages();
    return pages;
}

} // namespace

int CDataObject::ShowProperties(const std::vector<CDataObject*>* selection)
{
    std::wstring title = selection ? LoadResourceText(kStrPropertiesTitle) : GetPropertiesTitle();
    return RunPropertySheet(title, PagesFor(*this, selection));
}

bool CDataObject::CanShowProperties(const std::vector<CDataObject*>* selection)
{
    return CanShowPropertySheet(PagesFor(*this, selection));
}

std::unique_ptr<CProgressDlg> CDataObject::CreateProgressDialog(const std::wstring& caption, const std::wstring& text,
                                                                int value)
{
    std::unique_ptr<CProgressDlg> dialog = MakeProgressDialog();
    if (!dialog || !dialog->ShowStatus(caption, text, value, this))
        return nullptr;
    dialog->PositionBottomRight();
    return dialog;
}

bool CDataObject::ConfirmDelete()
{
    return platform::ShowMessageBox(LoadResourceText(kStrConfirmDelete),
                                    platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes;
}
