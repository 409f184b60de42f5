#include "dialogcore/SelectionSummary.h"

#include "base/Utf8.h"
#include "ldap/DNSplit.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"

namespace {

constexpr unsigned kStrSummary = 295;
constexpr unsigned kStrAllOf = 297;
constexpr unsigned kStrAttributes = 299;
constexpr unsigned kStrEntries = 301;
constexpr unsigned kStrServers = 303;
constexpr unsigned kStrMixed = 305;

// Each "%d" of the text replaced by the next number.
std::wstring FormatCounts(std::wstring text, std::initializer_list<int> numbers)
{
    size_t pos = 0;
    for (int number : numbers) {
        pos = text.find(L"%d", pos);
        if (pos == std::wstring::npos)
            break;
        const std::wstring digits = std::to_wstring(number);
        text.replace(pos, 2, digits);
        pos += digits.size();
    }
    return text;
}

// The DN without its first RDN, as the splitter cuts it.
std::string ParentDN(const std::string& dn)
{
    std::vector<std::string> rdns;
    if (!arbldap::SplitDN(dn, rdns) || rdns.size() < 2)
        return std::string();
    std::string parent;
    for (size_t i = 1; i < rdns.size(); ++i) {
        if (!parent.empty())
            parent += ',';
        parent += rdns[i];
    }
    return parent;
}

} // namespace

SelectionSummary::SelectionSummary(const std::vector<CDataObject*>& nodes)
{
    for (CDataObject* node : nodes) {
        if (!node)
            continue;
        const uint32_t size = node->GetSize();
        if (size != kSizeUnknown)
            m_totalSize += size;
        switch (node->GetType()) {
        case kNodeServer: {
            ++m_servers;
            auto* server = dynamic_cast<const CLDAPObject*>(node);
            if (server && server->IsAttributesLoaded())
                ++m_openedServers;
            break;
        }
        case kNodeEntry:
            ++m_entries;
            if (auto* entry = dynamic_cast<const CEntryObject*>(node))
                TakeLocation(*node, ParentDN(entry->GetDN().GetText()));
            break;
        case kNodeAttribute:
            ++m_attributes;
            if (auto* value = dynamic_cast<const CAttrObject*>(node))
                TakeLocation(*node, value->GetOwner() ? value->GetOwner()->GetDN().GetText() : std::string());
            break;
        default:
            ++m_others;
            break;
        }
    }
}

void SelectionSummary::TakeLocation(const CDataObject& node, const std::string& dn)
{
    if (!m_location.empty() || !m_server.empty())
        return;
    if (CServerProfile* profile = node.GetServerProfile())
        m_server = profile->GetHostName() + L" : " + std::to_wstring(profile->GetPort());
    m_location = dn;
}

SelectionSummary::Kind SelectionSummary::GetKind() const
{
    if (m_attributes > 0 && m_entries == 0 && m_servers == 0)
        return OnlyAttributes;
    if (m_entries > 0 && m_attributes == 0 && m_servers == 0)
        return OnlyEntries;
    if (m_servers > 0 && m_attributes == 0 && m_entries == 0)
        return OnlyServers;
    return Mixed;
}

std::wstring SelectionSummary::SummaryText() const
{
    return FormatCounts(LoadResourceText(kStrSummary), {m_servers, m_entries, m_attributes});
}

std::wstring SelectionSummary::SizeText() const
{
    return std::to_wstring(m_totalSize) + L" byte(s)";
}

std::wstring SelectionSummary::KindText() const
{
    switch (GetKind()) {
    case OnlyAttributes: return LoadResourceText(kStrAllOf) + LoadResourceText(kStrAttributes);
    case OnlyEntries: return LoadResourceText(kStrAllOf) + LoadResourceText(kStrEntries);
    case OnlyServers: return LoadResourceText(kStrAllOf) + LoadResourceText(kStrServers);
    default: return LoadResourceText(kStrMixed);
    }
}

std::wstring SelectionSummary::LocationText() const
{
    return m_location.empty() ? std::wstring(L"RootDSE") : Utf8ToWideString(m_location);
}
