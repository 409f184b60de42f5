#include "shellcore/DocumentCommands.h"

#include <algorithm>
#include <cwctype>
#include <optional>

#include "base/Utf8.h"
#include "model/profiles/CAppConfig.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CRootObject.h"
#include "model/entries/CServerObject.h"
#include "model/clipboard/ClipboardPaste.h"
#include "model/nodes/ListSorting.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/ProfileWizard.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/Dispatcher.h"
#include "platform/Messages.h"
#include "platform/ShellPorts.h"
#include "schema/LDAPSchema.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/FrameCommands.h"

namespace {

// The commands the document answers, with their update rules.
constexpr uint32_t kNoActionCommands[] = {32848, 32849, 32852, 32854, 32856, 32857, 32858, 32864, 32876, 32878};
constexpr uint32_t kServerCommand = 32880;

std::wstring Trim(const std::wstring& text)
{
    size_t first = 0;
    while (first < text.size() && std::iswspace(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool IsDirectoryNode(const CDataObject* node)
{
    return node && (node->GetType() == kNodeEntry || node->GetType() == kNodeServer);
}

// The attributes-loaded flag: the node's contents were fetched (a server:
// it was opened).
bool IsAttributesLoaded(const CDataObject& node)
{
    auto* ldap = dynamic_cast<const CLDAPObject*>(&node);
    return ldap && ldap->IsAttributesLoaded();
}

// A team member, or the team directory's server.
bool IsTeamDirectoryNode(const CDataObject& node)
{
    if (node.GetType() == kNodeTeamMember)
        return true;
    if (node.GetType() == kNodeServer)
        if (auto* server = dynamic_cast<const CServerObject*>(&node))
            return server->IsTeamProfile();
    return false;
}

std::string DNText(const CDataObject& node)
{
    auto* ldap = dynamic_cast<const CLDAPObject*>(&node);
    return ldap ? ldap->GetDN().GetText() : std::string();
}

// The node's children were the server's naming contexts (its DN is empty
// and the option shows them).
bool HoldsNamingContexts(const CDataObject& node)
{
    auto* ldap = dynamic_cast<const CLDAPObject*>(&node);
    return ldap && ldap->GetDN().GetText().empty() && GetAppConfig().m_bShowNamingContexts.load() != 0 &&
           ldap->IsContentsFetched();
}

std::shared_ptr<platform::TreePort> Tree()
{
    return platform::GetTreeControl();
}

} // namespace

CDocumentCommands::CDocumentCommands(const DocumentContext& context, CNavigationHistory& history)
    : m_context(context), m_history(history)
{
}

CDataObject* CDocumentCommands::GetCaretObject() const
{
    return GetSelectedTreeObject();
}

int CDocumentCommands::GetFirstSelectedListIndex() const
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list)
        return -1;
    std::vector<int> rows = list->GetSelectedRows();
    return rows.empty() ? -1 : *std::min_element(rows.begin(), rows.end());
}

CDataObject* CDocumentCommands::GetFirstSelectedListObject() const
{
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    int row = GetFirstSelectedListIndex();
    return list && row >= 0 ? static_cast<CDataObject*>(list->GetItemData(row)) : nullptr;
}

std::vector<CDataObject*> CDocumentCommands::GetSelectedListObjects() const
{
    std::vector<CDataObject*> nodes;
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (!list)
        return nodes;
    std::vector<int> rows = list->GetSelectedRows();
    std::sort(rows.begin(), rows.end());
    for (int row : rows)
        if (auto* node = static_cast<CDataObject*>(list->GetItemData(row)))
            nodes.push_back(node);
    return nodes;
}

bool CDocumentCommands::IsListDeciding() const
{
    ViewFocus focus = m_context.GetFocus();
    return focus == ViewFocus::Neither ? !m_context.IsTreeLastFocused() : focus == ViewFocus::List;
}

CDataObject* CDocumentCommands::GetCurrentObject() const
{
    if (IsListDeciding()) {
        if (CDataObject* row = GetFirstSelectedListObject())
            return row;
    }
    return GetCaretObject();
}

CLDAPSchema* CDocumentCommands::GetCurrentSchema() const
{
    CDataObject* node = GetCurrentObject();
    if (!node)
        return nullptr;
    const CLDAPObject* holder = nullptr;
    switch (node->GetType()) {
    case kNodeServer:
    case kNodeEntry:
        holder = dynamic_cast<const CLDAPObject*>(node);
        break;
    case kNodeAttribute:
        if (auto* attribute = dynamic_cast<const CAttrObject*>(node))
            holder = attribute->GetOwner();
        break;
    case kNodeError:
    case kNodeInformation: {
        CDataObject* parent = node->GetParentNode();
        if (parent && parent->GetType() != kNodeRoot)
            holder = node->GetServerObject();
        break;
    }
    default:
        break;
    }
    return holder ? holder->GetSchema().get() : nullptr;
}

bool CDocumentCommands::IsTeamNode(const CDataObject& node) const
{
    return IsTeamDirectoryNode(node);
}

CDataObject* CDocumentCommands::OwnerOf(CDataObject* node) const
{
    if (node && node->GetType() == kNodeAttribute)
        if (auto* attribute = dynamic_cast<CAttrObject*>(node))
            return attribute->GetOwner();
    return node;
}

bool CDocumentCommands::IsCurrentNodeOfKind(int kind, bool idle, bool loaded, bool dn) const
{
    return IsNodeOfKind(GetCurrentObject(), kind, idle, loaded, dn);
}

bool CDocumentCommands::IsNodeOfKind(CDataObject* node, int kind, bool idle, bool loaded, bool dn)
{
    if (!node || IsTeamDirectoryNode(*node) || node->GetType() != kind)
        return false;
    if (loaded && !IsAttributesLoaded(*node))
        return false;
    if (idle && node->IsBusy())
        return false;
    if (dn && DNText(*node).empty())
        return false;
    return true;
}

bool CDocumentCommands::IsListAttributeOfIdleEntry(bool baseDN, bool noServer) const
{
    if (m_context.IsTreeLastFocused())
        return false;
    auto* attribute = dynamic_cast<CAttrObject*>(GetFirstSelectedListObject());
    if (!attribute || attribute->GetType() != kNodeAttribute)
        return false;
    CEntryObject* owner = attribute->GetOwner();
    if (!owner || owner->GetType() == kNodeTeamMember || owner->IsBusy())
        return false;
    if (owner->GetType() == kNodeServer) {
        if (noServer)
            return false;
        if (baseDN) {
            auto* server = dynamic_cast<CServerObject*>(owner);
            if (!server || server->GetBaseDN().GetText().empty())
                return false;
        }
    }
    return true;
}

bool CDocumentCommands::Handles(uint32_t command)
{
    switch (command) {
    case cmd::kRefresh:
    case cmd::kDelete:
    case cmd::kProperties:
    case cmd::kNewServerProfile:
    case cmd::kRename:
    case cmd::kExportLDIF:
    case cmd::kAbort:
    case cmd::kUpOneLevel:
    case cmd::kSaveValue:
    case cmd::kLoadValue:
    case cmd::kGoToDN:
    case cmd::kFavorites:
    case cmd::kReconnect:
    case kServerCommand:
    case cmd::kRemoveMessage:
    case cmd::kOpenValue:
    case cmd::kDeleteSelected:
    case cmd::kOptions:
    case cmd::kCheckForUpdates:
    case cmd::kBack:
    case cmd::kForward:
    case cmd::kApplyFilter:
    case cmd::kRemoveFilter:
    case cmd::kSortDescending:
    case cmd::kSortAscending:
    case cmd::kSchemaViewer:
    case cmd::kEditCopy:
    case cmd::kEditCut:
    case cmd::kEditPaste:
    case cmd::kEditClear:
        return true;
    default:
        return std::find(std::begin(kNoActionCommands), std::end(kNoActionCommands), command) !=
               std::end(kNoActionCommands);
    }
}

bool CDocumentCommands::IsEnabled(uint32_t command) const
{
    auto E = [this](int kind, bool idle, bool loaded, bool dn) { return IsCurrentNodeOfKind(kind, idle, loaded, dn); };
    auto A = [this](bool baseDN, bool noServer) { return IsListAttributeOfIdleEntry(baseDN, noServer); };
    CDataObject* current = GetCurrentObject();
    CDataObject* owner = OwnerOf(current);
    CDataObject* caret = GetCaretObject();
    const bool caretIdle = !caret || !caret->IsBusy();

    switch (command) {
    case cmd::kRefresh:
        return owner && !owner->IsBusy();
    case cmd::kDelete:
        return E(kNodeServer, true, false, false);
    case cmd::kProperties: {
        // Only where the sheet has a page to show.
        if (!current || (current->GetType() == kNodeServer && !m_dialogs.serverProperties))
            return false;
        std::vector<CDataObject*> selection = PropertiesSelection();
        return current->CanShowProperties(selection.empty() ? nullptr : &selection);
    }
    case cmd::kNewServerProfile:
        return GetProfileWizardPort() != nullptr;
    case cmd::kRename:
        return (E(kNodeEntry, true, true, true) || A(true, true)) && GetRenameTarget().kind != RenameTarget::None;
    case cmd::kExportLDIF:
        return m_dialogs.ldifExport &&
               (E(kNodeEntry, true, true, true) || E(kNodeServer, true, true, true) || A(true, false));
    case cmd::kAbort:
        return owner && owner->IsBusy();
    case cmd::kUpOneLevel:
        return caret && caret->GetType() != kNodeRoot;
    case cmd::kSaveValue: {
        auto* attribute = dynamic_cast<CAttrObject*>(GetFirstSelectedListObject());
        return attribute && attribute->CanSaveValue();
    }
    case cmd::kLoadValue: {
        CDataObject* row = GetFirstSelectedListObject();
        auto* attribute = dynamic_cast<CAttrObject*>(row);
        return attribute && attribute->IsBinary() && attribute->CanRenameInList() && attribute->GetOwner() &&
               !attribute->GetOwner()->IsBusy() && HasNodeDialog(NodeDialog::BinaryFile);
    }
    case cmd::kGoToDN:
        return m_dialogs.goToDN && (E(kNodeEntry, true, true, false) || E(kNodeServer, true, true, false) || A(false, false));
    case cmd::kFavorites: {
        if (!m_dialogs.favorites || !current || current->IsBusy())
            return false;
        int kind = current->GetType();
        if (kind != kNodeServer && kind != kNodeEntry && kind != kNodeAttribute)
            return false;
        // The team directory never stores its favourites.
        CServerObject* server = current->GetServerObject();
        return server && IsAttributesLoaded(*server) && !server->IsTeamProfile();
    }
    case cmd::kReconnect:
        return E(kNodeEntry, false, false, true) || A(true, true);
    case kServerCommand:
        return E(kNodeServer, false, true, false);
    case cmd::kRemoveMessage:
        return current && (current->GetType() == kNodeError || current->GetType() == kNodeInformation);
    case cmd::kOpenValue: {
        auto* attribute = dynamic_cast<CAttrObject*>(GetFirstSelectedListObject());
        return attribute && attribute->IsOpenValueAvailable() &&
               !(attribute->GetOwner() && attribute->GetOwner()->IsBusy());
    }
    case cmd::kDeleteSelected:
        return CanDeleteSelected(GetSelectedListObjects());
    case cmd::kOptions:
        return m_dialogs.options;
    case cmd::kCheckForUpdates:
        return m_dialogs.updateCheck;
    case cmd::kBack:
        return m_history.CanGoBack() && caretIdle;
    case cmd::kForward:
        return m_history.CanGoForward() && caretIdle;
    case cmd::kApplyFilter:
        return (E(kNodeEntry, true, true, true) || E(kNodeServer, true, true, false)) && !FilterToApply().empty();
    case cmd::kRemoveFilter: {
        if (!(E(kNodeEntry, true, true, true) || E(kNodeServer, true, true, false)))
            return false;
        auto* ldap = dynamic_cast<CLDAPObject*>(current);
        return ldap && ldap->HasCustomFilter();
    }
    case cmd::kSortDescending:
    case cmd::kSortAscending:
        return (E(kNodeEntry, true, true, true) || E(kNodeServer, true, false, false)) &&
               SortChangesOrder(command == cmd::kSortAscending);
    case cmd::kSchemaViewer: {
        CLDAPSchema* schema = GetCurrentSchema();
        return m_dialogs.schemaViewer && schema &&
               (schema->GetLoadState() == kSchemaLoaded || schema->GetLoadState() == kSchemaDefaultUsed);
    }
    case cmd::kEditCopy:
        return FillCopy(nullptr);
    case cmd::kEditPaste:
        return GetPasteTarget() != nullptr;
    case cmd::kEditCut:
    case cmd::kEditClear:
        return false;
    case 32848:
        return true;
    case 32849:
        return E(kNodeEntry, true, true, true) || E(kNodeServer, true, true, true) || A(true, false);
    case 32852:
        return E(kNodeEntry, true, true, true) || A(true, true);
    case 32854:
        return E(kNodeEntry, true, true, false) || E(kNodeServer, true, true, false) || A(false, false);
    case 32856:
    case 32864:
        return E(kNodeEntry, true, true, true) || E(kNodeServer, true, true, true) || A(false, false);
    case 32857:
    case 32858:
        return A(false, false);
    case 32876:
        return E(kNodeEntry, true, true, false) || E(kNodeServer, true, true, true) || A(true, false);
    case 32878: {
        if (!current)
            return false;
        int kind = current->GetType();
        if (kind != kNodeServer && kind != kNodeEntry && kind != kNodeAttribute)
            return false;
        CServerObject* server = current->GetServerObject();
        return server && server->GetSchema();
    }
    default:
        return true;
    }
}

bool CDocumentCommands::SortChangesOrder(bool ascending) const
{
    // The entry view flag tells the order the children stand in now.
    auto* entry = dynamic_cast<CEntryObject*>(GetCaretObject());
    std::shared_ptr<platform::TreePort> tree = Tree();
    if (!entry || !tree || tree->GetChildCount(entry->GetTreeItem()) < 2)
        return false;
    if (entry->IsEntryView() != ascending)
        return true;
    // The tree stands so already; a list sorted by a column the other way
    // still turns.
    std::shared_ptr<platform::ListViewPort> view = platform::GetListViewPort();
    const std::optional<platform::SortDirection> kept = view ? view->KeptSortDirection() : std::nullopt;
    const platform::SortDirection wanted = ascending ? platform::SortDirection::Ascending
                                                     : platform::SortDirection::Descending;
    return kept && *kept != wanted;
}

bool CDocumentCommands::IsNodeMenuCommandEnabled(CDataObject& node, uint32_t command, bool& enabled)
{
    // The item is an edit box holding the filter in effect: it may be
    // edited where a filter may be applied.
    if (command == kCmdSetFilter) {
        enabled = IsNodeOfKind(&node, kNodeEntry, true, true, true) || IsNodeOfKind(&node, kNodeServer, true, true, false);
        return true;
    }
    if (command != kCmdAddToFavorites)
        return false;
    CServerObject* server = node.GetServerObject();
    enabled = server && IsDirectoryNode(&node) && !server->IsBusy() && !server->IsTeamProfile() &&
              HasNodeDialog(NodeDialog::Favorite);
    return true;
}

intptr_t CDocumentCommands::RefreshArgument(CDataObject& node)
{
    if (!IsDirectoryNode(&node))
        return 1;
    return !node.IsChildrenLoaded() && HoldsNamingContexts(node) ? 1 : 0;
}

RenameTarget CDocumentCommands::GetRenameTarget() const
{
    RenameTarget target;
    CDataObject* node = OwnerOf(GetCurrentObject());
    if (!node)
        return target;
    target.node = node;
    if (m_context.GetFocus() == ViewFocus::List) {
        int row = m_context.FindListRow(*node);
        if (row >= 0) {
            if (m_context.CanEditListRow(row)) {
                target.kind = RenameTarget::ListRow;
                target.row = row;
            }
            return target;
        }
    }
    // The tree takes a new name for an idle server only.
    if (node->GetType() == kNodeServer && node->CanRenameInTree() && !node->IsBusy() && node->GetTreeItem())
        target.kind = RenameTarget::TreeItem;
    return target;
}

bool CDocumentCommands::CanDeleteSelected(const std::vector<CDataObject*>& nodes) const
{
    // Entries are not deleted by this command, so a selection holding one
    // would be confirmed and then left alone.
    if (nodes.empty())
        return false;
    bool attributes = false;
    for (CDataObject* node : nodes) {
        if (node->GetType() == kNodeEntry || node->GetType() == kNodeTeamMember)
            return false;
        if (node->GetType() == kNodeAttribute)
            attributes = true;
    }
    if (attributes) {
        CDataObject* caret = GetCaretObject();
        if (!caret || caret->IsBusy())
            return false;
    }
    return true;
}

bool CDocumentCommands::DeleteSelected(const std::vector<CDataObject*>& nodes)
{
    if (!CanDeleteSelected(nodes) || !CDataObject::ConfirmDelete())
        return false;
    std::vector<CAttrObject*> attributes;
    // Rows go as nodes are deleted: work from the list taken before.
    for (CDataObject* node : nodes) {
        if (node->GetType() == kNodeAttribute) {
            if (auto* attribute = dynamic_cast<CAttrObject*>(node))
                attributes.push_back(attribute);
        } else if (!node->Delete(0)) {
            if (std::shared_ptr<platform::ListPort> list = platform::GetListControl())
                for (int row = 0; row < list->GetItemCount(); ++row)
                    list->SetItemState(row, 0, platform::kListSelected);
        }
    }
    if (!attributes.empty())
        attributes.front()->DeleteValues(attributes, true);
    return true;
}

std::vector<CDataObject*> CDocumentCommands::PropertiesSelection() const
{
    if (m_context.GetFocus() != ViewFocus::List)
        return {};
    std::vector<CDataObject*> nodes = GetSelectedListObjects();
    if (nodes.size() < 2)
        return {};
    return nodes;
}

std::wstring CDocumentCommands::FilterToApply() const
{
    std::wstring filter = Trim(m_context.GetFilterBoxText());
    auto* node = dynamic_cast<CLDAPObject*>(GetCurrentObject());
    if (!IsDirectoryNode(node) || filter == node->GetFilterText())
        return std::wstring();
    return filter;
}

bool CDocumentCommands::ApplyFilter(const std::wstring& text)
{
    std::wstring filter = Trim(text);
    auto* node = dynamic_cast<CLDAPObject*>(GetCurrentObject());
    if (filter.empty() || !IsDirectoryNode(node) || filter == node->GetFilterText())
        return false;
    node->SetCustomFilter(filter);
    return true;
}

bool CDocumentCommands::RemoveFilter(std::wstring& filter)
{
    auto* node = dynamic_cast<CLDAPObject*>(GetCurrentObject());
    if (!IsDirectoryNode(node))
        return false;
    node->OnRemoveCustomFilter();
    std::string text;
    filter = node->GetSearchFilter(text) ? Utf8ToWideString(text) : std::wstring();
    return true;
}

bool CDocumentCommands::Sort(bool ascending)
{
    std::shared_ptr<platform::TreePort> tree = Tree();
    CDataObject* node = GetCaretObject();
    if (!tree || !IsDirectoryNode(node))
        return false;
    // The entry's view flag is the one the sort commands keep.
    if (auto* entry = dynamic_cast<CEntryObject*>(node))
        entry->SetEntryView(ascending);
    std::vector<void*> children;
    for (platform::TreeItem child = tree->GetChildItem(node->GetTreeItem()); child; child = tree->GetNextSiblingItem(child))
        children.push_back(tree->GetItemData(child));
    ItemRanks ranks(children, [](void* item) { return static_cast<CDataObject*>(item)->GetDisplayName(); });
    tree->SortChildren(node->GetTreeItem(), [&ranks, ascending](void* a, void* b) { return ascending ? ranks(a, b) : ranks(b, a); });
    // Descending is not the order a refresh keeps.
    node->SetChildrenInOrder(ascending);
    FollowTreeOrder(*node, ascending ? platform::SortDirection::Ascending : platform::SortDirection::Descending);
    return true;
}

void CDocumentCommands::ResumeAfterReconnect()
{
    if (m_returnServer == 0)
        return;
    auto* server = dynamic_cast<CServerObject*>(NodeRegistry::Find(m_returnServer));
    // Gone, or the user went elsewhere: no walk back.
    if (!server || !server->IsCurrent()) {
        m_returnServer = 0;
        m_returnDN.clear();
        return;
    }
    // Between the bind and the fetch, and while a prompt is open, it waits.
    if (server->IsBusy() || server->GetJob() || !server->IsBound() || !server->IsChildrenLoaded())
        return;
    const std::string dn = m_returnDN;
    m_returnServer = 0;
    m_returnDN.clear();
    server->NavigateToDN(arbldap::LDAPDN(dn));
}

bool CDocumentCommands::ExecuteNodeMenuCommand(CDataObject& node, uint32_t command)
{
    if (command != kCmdAddToFavorites)
        return false;
    CServerObject* server = node.GetServerObject();
    if (server && IsDirectoryNode(&node) && !server->IsTeamProfile())
        server->AddToFavorites(static_cast<CLDAPObject&>(node).GetDN());
    return true;
}

bool CDocumentCommands::Execute(uint32_t command)
{
    CDataObject* current = GetCurrentObject();
    CDataObject* owner = OwnerOf(current);
    CDataObject* caret = GetCaretObject();
    switch (command) {
    case cmd::kRefresh:
        if (owner)
            owner->Refresh(RefreshArgument(*owner));
        return true;
    case cmd::kDelete:
        if (current)
            current->Delete(1);
        return true;
    case cmd::kNewServerProfile:
        if (CRootObject* root = m_context.GetRoot())
            root->OnCommandNew();
        return true;
    case cmd::kExportLDIF:
        if (auto* entry = dynamic_cast<CEntryObject*>(owner); entry && !IsTeamNode(*entry))
            entry->ExportLDIF();
        return true;
    case cmd::kAbort:
        if (caret)
            caret->Abort();
        return true;
    case cmd::kUpOneLevel:
        if (std::shared_ptr<platform::TreePort> tree = Tree(); tree && caret) {
            platform::TreeItem parent = tree->GetParentItem(caret->GetTreeItem());
            if (parent) {
                tree->SelectItem(parent);
                if (CDataObject* node = GetCaretObject())
                    node->ShowContents(0);
            }
        }
        return true;
    case cmd::kSaveValue:
        if (auto* attribute = dynamic_cast<CAttrObject*>(GetFirstSelectedListObject()))
            attribute->SaveValueToFile();
        return true;
    case cmd::kLoadValue:
        // The list view loads it, as it does for a sender of its own.
        platform::Post(platform::GetAppWindow(platform::AppWindow::ListView), platform::WM_LOAD_BINARY_VALUE, 0, 0);
        return true;
    case cmd::kGoToDN:
        if (auto* ldap = dynamic_cast<CLDAPObject*>(caret))
            ldap->OnGoToDN();
        return true;
    case cmd::kReconnect:
        if (owner)
            if (CServerObject* server = owner->GetServerObject(); server && !server->IsBusy()) {
                // The server's items go with the old connection: show the server meanwhile.
                if (std::shared_ptr<platform::TreePort> tree = Tree(); tree && server->GetTreeItem())
                    tree->SelectItem(server->GetTreeItem());
                const std::string dn = DNText(*owner);
                m_returnServer = 0;
                m_returnDN.clear();
                if (!dn.empty() && dn != server->GetDN().GetText()) {
                    m_returnServer = server->GetNodeId();
                    m_returnDN = dn;
                }
                server->LoadChildren(0);
            }
        return true;
    case kServerCommand:
        return true;
    case cmd::kRemoveMessage:
        if (current && (current->GetType() == kNodeError || current->GetType() == kNodeInformation))
            current->Delete(1);
        return true;
    case cmd::kOpenValue:
        if (auto* attribute = dynamic_cast<CAttrObject*>(GetFirstSelectedListObject()))
            attribute->OpenValue();
        return true;
    case cmd::kDeleteSelected:
        DeleteSelected(GetSelectedListObjects());
        return true;
    case cmd::kBack:
        if (!caret || !caret->IsBusy())
            m_history.Back();
        return true;
    case cmd::kForward:
        if (!caret || !caret->IsBusy())
            m_history.Forward();
        return true;
    case cmd::kSortDescending:
        Sort(false);
        return true;
    case cmd::kSortAscending:
        Sort(true);
        return true;
    case cmd::kEditCopy:
        Copy();
        return true;
    case cmd::kEditPaste:
        if (CLDAPObject* target = GetPasteTarget())
            PasteClipboardOnto(*target);
        return true;
    case cmd::kEditCut:
    case cmd::kEditClear:
        return true;
    default:
        return std::find(std::begin(kNoActionCommands), std::end(kNoActionCommands), command) !=
               std::end(kNoActionCommands);
    }
}
