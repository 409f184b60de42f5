#include "dialogcore/NodePageTexts.h"

#include "base/Utf8.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/ports/ResourceText.h"
#include "schema/LDAPSchema.h"

namespace {

constexpr unsigned kIconChildrenLoaded = 270;
constexpr unsigned kIconChildrenNotLoaded = 294;
constexpr unsigned kIconOperational = 434;
constexpr unsigned kIconBinary = 436;
constexpr unsigned kIconText = 432;
constexpr unsigned kStrUsageUnknown = 636;
constexpr unsigned kStrUsageFirst = 637;  // 637-640: usages 0-3

const wchar_t* const kRootDSE = L"RootDSE";
const wchar_t* const kNotAvailable = L"N/A";

std::wstring DNText(const std::string& dn)
{
    return dn.empty() ? std::wstring(kRootDSE) : Utf8ToWideString(dn);
}

std::wstring Bytes(uint64_t size)
{
    return std::to_wstring(size) + L" byte(s)";
}

std::wstring OrNotAvailable(const std::string& text)
{
    return text.empty() ? std::wstring(kNotAvailable) : Utf8ToWideString(text);
}

} // namespace

EntryPageTexts ReadEntryPage(const CEntryObject& entry)
{
    EntryPageTexts texts;
    const bool loaded = entry.IsChildrenLoaded();
    texts.iconId = loaded ? kIconChildrenLoaded : kIconChildrenNotLoaded;
    texts.url = entry.GetURL();
    texts.dn = DNText(entry.GetDN().GetText());
    texts.size = loaded ? Bytes(entry.GetSize()) : std::wstring(kNotAvailable);
    texts.childEntries = std::to_wstring(entry.CountChildItems("CEntryObject"));
    texts.attributes = std::to_wstring(entry.GetAttributeCount());
    texts.modifiedBy = entry.GetModifiersNameText();
    texts.modifiedAt = entry.GetModifyTimestampText();
    texts.createdBy = entry.GetCreatorsNameText();
    texts.createdAt = entry.GetCreateTimestampText();
    return texts;
}

AttributePageTexts ReadAttributePage(const CAttrObject& value)
{
    AttributePageTexts texts;
    texts.iconId = value.IsOperational() ? kIconOperational : value.IsBinary() ? kIconBinary : kIconText;
    CEntryObject* owner = value.GetOwner();
    texts.dn = DNText(owner ? owner->GetDN().GetText() : std::string());
    texts.name = Utf8ToWideString(value.GetName());
    texts.value = value.GetValueText();
    texts.type = value.GetTypeName();
    texts.size = Bytes(value.GetValue().size());

    CLDAPObject* server = value.GetServerNode();
    RefPtr<CLDAPSchema> schema = server ? server->GetSchema() : RefPtr<CLDAPSchema>();
    const std::string base = value.GetBaseName();
    int usage = -1;
    if (schema) {
        texts.syntaxName = OrNotAvailable(schema->GetAttributeSyntaxName(base));
        texts.syntaxOid = OrNotAvailable(schema->GetAttributeSyntax(base));
        usage = schema->GetAttributeUsage(base);
        texts.flags[kFlagSingleValued] = schema->IsSingleValued(base);
        texts.flags[kFlagUserModifiable] = schema->IsUserModifiable(base);
        texts.flags[kFlagObsolete] = schema->IsObsolete(base);
        texts.flags[kFlagCollective] = schema->IsCollective(base);
    } else {
        texts.syntaxName = texts.syntaxOid = kNotAvailable;
    }
    texts.usage = LoadResourceText(usage >= 0 && usage <= 3 ? kStrUsageFirst + static_cast<unsigned>(usage)
                                                            : kStrUsageUnknown);
    return texts;
}
