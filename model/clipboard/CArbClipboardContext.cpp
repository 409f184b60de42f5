#include "model/clipboard/CArbClipboardContext.h"

#include <string_view>

#include "base/ArchiveText.h"
#include "model/entries/CLDAPObject.h"
#include "model/values/FormatDN.h"
#include "schema/LDAPSchema.h"

using namespace arbldap;

namespace {

// The smallest stored DN: its text length and its part count.
constexpr size_t kMinStoredDN = 8;

// A DN read from outside must say the same in its text as in its parts:
// the paste checks look at the parts, the copy job works with the text.
void ReadCheckedDN(CArchive& ar, LDAPDN& dn)
{
    LDAPDN read;
    ReadDN(ar, read);
    if (read != LDAPDN(read.GetText()))
        throw CArchiveException("a DN whose text and parts differ");
    dn = std::move(read);
}

}  // namespace

CArbClipboardContext::CArbClipboardContext(const CLDAPObject& node) : m_dn(node.GetDN())
{
    if (RefPtr<CLDAPSchema> schema = node.GetSchema())
        m_guid = schema->GetHostGuid();
}

int CArbClipboardContext::GetState() const
{
    const bool dns = !m_dnList.empty();
    const bool values = !m_attributes.IsEmpty();
    if (dns)
        return values ? kClipboardEntriesAndValues : kClipboardEntries;
    return values ? kClipboardValues : kClipboardEntry;
}

void CArbClipboardContext::AddAttributeValue(const std::string& name, const std::string& value)
{
    m_attributes.AddValue(name, value);
}

void CArbClipboardContext::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

void CArbClipboardContext::Store(CArchive& ar) const
{
    WriteGuid(ar, m_guid);
    ar.WriteUInt32(m_operation);
    WriteDN(ar, m_dn);
    ar.WriteUInt32(static_cast<uint32_t>(m_dnList.size()));
    for (const LDAPDN& dn : m_dnList)
        WriteDN(ar, dn);
    WriteAttributeList(ar, m_attributes);
}

void CArbClipboardContext::Load(CArchive& ar)
{
    GUID guid;
    ReadGuid(ar, guid);
    const uint32_t operation = ar.ReadUInt32();
    LDAPDN dn;
    ReadCheckedDN(ar, dn);
    DNList dnList;
    const uint32_t count = ar.ReadCount(kMinStoredDN);
    dnList.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        dnList.emplace_back();
        ReadCheckedDN(ar, dnList.back());
    }
    LDAPAttributeList attributes;
    ReadAttributeList(ar, attributes);

    m_guid = guid;
    m_operation = operation;
    m_dn = std::move(dn);
    m_dnList = std::move(dnList);
    m_attributes = std::move(attributes);
}

std::string CArbClipboardContext::GetText() const
{
    std::string text = FormatDN(m_dn);
    if (!m_attributes.IsEmpty())
        text += "\n";
    for (const LDAPAttribute& attribute : m_attributes) {
        if (attribute.IsNotPrintable()) {
            text += attribute.GetName() + ": <binary value>\n";
            continue;
        }
        for (std::string_view value : attribute.GetValues()) {
            text += attribute.GetName() + ": ";
            text.append(value.data(), value.size());
            text += "\n";
        }
    }
    text += "\n";
    for (const LDAPDN& dn : m_dnList)
        text += FormatDN(dn) + "\n\n";
    return text;
}
