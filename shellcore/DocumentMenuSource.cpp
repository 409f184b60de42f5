#include "shellcore/DocumentMenuSource.h"

#include "base/Utf8.h"
#include "ldap/LDAPDN.h"
#include "model/templates/CEntryTemplate.h"
#include "model/templates/CEntryTemplateGroup.h"
#include "model/entries/CServerObject.h"
#include "model/ports/ResourceText.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/DocumentCommands.h"

namespace {
constexpr unsigned kStrNoServer = 707;

void AppendNames(const CEntryTemplateGroup& group, std::vector<std::wstring>& names)
{
    for (const auto& entryTemplate : group.GetTemplates())
        names.push_back(entryTemplate ? entryTemplate->GetName() : std::wstring());
}
} // namespace

CDocumentMenuSource::CDocumentMenuSource(CDocumentCommands& commands, CNavigationHistory& history)
    : m_commands(commands), m_history(history)
{
}

CDataObject* CDocumentMenuSource::FavoritesNode(bool& none) const
{
    none = false;
    CDataObject* node = m_commands.GetCaretObject();
    if (!node) {
        none = true;
        return nullptr;
    }
    if (node->GetType() == kNodeRoot)
        node = m_commands.GetFirstSelectedListObject();
    return node;
}

CFrameMenuSource::Availability CDocumentMenuSource::GetFavorites(std::vector<std::wstring>& texts)
{
    bool none = false;
    CDataObject* node = FavoritesNode(none);
    if (none)
        return Availability::NoNode;
    CServerObject* server = node ? node->GetServerObject() : nullptr;
    if (!server)
        return Availability::NoList;
    for (const CFavorite& favorite : server->GetFavorites())
        texts.push_back(Utf8ToWideString(favorite.GetText()));
    return Availability::List;
}

void CDocumentMenuSource::OpenFavorite(size_t index)
{
    bool none = false;
    auto* node = dynamic_cast<CLDAPObject*>(FavoritesNode(none));
    CServerObject* server = node ? node->GetServerObject() : nullptr;
    if (!server || index >= server->GetFavorites().GetCount())
        return;
    const CFavorite& favorite = *(server->GetFavorites().Begin() + static_cast<std::ptrdiff_t>(index));
    node->NavigateToDN(arbldap::LDAPDN(favorite.GetValue()));
}

void CDocumentMenuSource::GetTemplates(std::vector<std::wstring>& serverNames, std::vector<std::wstring>& globalNames)
{
    CDataObject* caret = m_commands.GetCaretObject();
    if (!caret)
        return;
    if (CServerObject* server = caret->GetServerObject())
        AppendNames(server->GetTemplates(), serverNames);
    AppendNames(GetGlobalTemplates(), globalNames);
}

void CDocumentMenuSource::CreateFromTemplate(bool, size_t)
{
    // Entry and server nodes take a template without effect.
}

std::wstring CDocumentMenuSource::HistoryText(const HistoryEntry& entry)
{
    HistoryEntryText text;
    text.hasServer = !(entry.server == GUID());
    arbldap::LDAPDN dn(entry.dn);
    text.dnEmpty = entry.dn.empty();
    if (!text.dnEmpty && dn.GetPartCount() > 0) {
        text.rdnType = Utf8ToWideString(dn.GetFirstPart().GetType());
        text.rdnValue = Utf8ToWideString(dn.GetFirstPart().GetValue());
    }
    if (text.hasServer) {
        if (CServerObject* server = CNavigationHistory::FindServerByGUID(entry.server)) {
            text.isServerDN = server->GetDN() == dn;
            text.profileName = server->GetProfileName();
        }
    }
    return BuildHistoryItemText(text, LoadResourceText(kStrNoServer));
}

std::vector<std::wstring> CDocumentMenuSource::GetHistoryTexts(bool back)
{
    std::vector<std::wstring> texts;
    for (const HistoryEntry& entry : back ? m_history.GetBackEntries() : m_history.GetForwardEntries())
        texts.push_back(HistoryText(entry));
    return texts;
}

void CDocumentMenuSource::MoveInHistory(bool back, size_t steps)
{
    CDataObject* caret = m_commands.GetCaretObject();
    if (caret && caret->IsBusy())
        return;
    if (back)
        m_history.BackBy(steps);
    else
        m_history.ForwardBy(steps);
}
