// The document's copy and paste commands.

#include "model/clipboard/CArbClipboard.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CServerObject.h"
#include "shellcore/DocumentCommands.h"

namespace {

// An entry or server with a DN: what a copy context is made from.
CLDAPObject* CopyableNode(CDataObject* node)
{
    if (!node || (node->GetType() != kNodeEntry && node->GetType() != kNodeServer))
        return nullptr;
    auto* ldap = dynamic_cast<CLDAPObject*>(node);
    return ldap && !ldap->GetDN().GetText().empty() ? ldap : nullptr;
}

}  // namespace

bool CDocumentCommands::FillCopy(CArbClipboard* clipboard) const
{
    const std::vector<CDataObject*> rows = IsListDeciding() ? GetSelectedListObjects() : std::vector<CDataObject*>();
    if (rows.empty()) {
        CLDAPObject* node = CopyableNode(GetCaretObject());
        if (!node || IsTeamNode(*node))
            return false;
        if (clipboard)
            clipboard->SetContext(*node);
        return true;
    }
    if (rows.size() == 1 && rows.front()->GetType() == kNodeEntry) {
        CLDAPObject* node = CopyableNode(rows.front());
        if (!node || IsTeamNode(*node))
            return false;
        if (clipboard)
            clipboard->SetContext(*node);
        return true;
    }
    // Several rows: the entries below the caret and the caret's own values.
    CLDAPObject* base = CopyableNode(GetCaretObject());
    if (!base || IsTeamNode(*base))
        return false;
    if (clipboard)
        clipboard->SetContext(*base);
    for (CDataObject* row : rows) {
        if (row->GetType() == kNodeEntry) {
            CLDAPObject* entry = CopyableNode(row);
            if (!entry)
                return false;
            if (clipboard)
                clipboard->AddDN(entry->GetDN());
        } else if (auto* value = dynamic_cast<CAttrObject*>(row);
                   value && row->GetType() == kNodeAttribute && value->GetOwner() == base) {
            if (clipboard)
                clipboard->AddAttributeValue(value->GetName(), value->GetValue());
        } else {
            return false;
        }
    }
    return true;
}

bool CDocumentCommands::Copy()
{
    CArbClipboard clipboard;
    return FillCopy(&clipboard) && clipboard.Copy();
}

CLDAPObject* CDocumentCommands::GetPasteTarget() const
{
    CDataObject* node = OwnerOf(GetCurrentObject());
    CLDAPObject* target = CopyableNode(node);
    if (!target || IsTeamNode(*target) || target->IsBusy())
        return nullptr;
    CServerObject* server = target->GetServerObject();
    return server && server->IsBound() ? target : nullptr;
}
