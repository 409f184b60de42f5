#include "model/clipboard/CArbClipboard.h"

#include <atomic>

#include "base/Archive.h"
#include "model/entries/CLDAPObject.h"
#include "schema/LDAPSchema.h"

using namespace arbldap;

namespace {

const char* const kFormatName = "Vellumar Tessaline 2.1 clipboard format";

std::atomic<platform::ClipboardFormat> g_format{0};

// The own-format block read into context; false (context unchanged) when
// there is none or it cannot be read whole.
bool ReadOwnFormat(platform::ClipboardPort& port, CArbClipboardContext& context)
{
    const platform::ClipboardFormat format = GetArbClipboardFormat();
    std::string bytes;
    if (format == 0 || !port.GetData(format, bytes) || bytes.empty())
        return false;
    try {
        CArchive ar(std::move(bytes));
        context.Serialize(ar);
        return true;
    } catch (const CArchiveException&) {
        return false;
    }
}

// dn equals ancestor or lies below it.
bool IsAtOrBelow(const LDAPDN& dn, const LDAPDN& ancestor)
{
    return ancestor.EndsWith(dn);
}

bool IsChildOf(const LDAPDN& dn, const LDAPDN& parent)
{
    return dn.GetPartCount() == parent.GetPartCount() + 1 && IsAtOrBelow(dn, parent);
}

// An entry copied from source cannot go to target: target is the entry
// itself or below it, or the entry is there already.
bool IsRefusedTarget(const LDAPDN& source, const LDAPDN& target)
{
    return IsAtOrBelow(target, source) || IsChildOf(source, target);
}

}  // namespace

void RegisterArbClipboardFormat()
{
    if (std::shared_ptr<platform::ClipboardPort> port = platform::GetClipboardPort())
        g_format = port->RegisterFormat(kFormatName);
}

platform::ClipboardFormat GetArbClipboardFormat()
{
    return g_format.load();
}

bool IsPasteAllowed(const CArbClipboardContext& context, const LDAPDN& target)
{
    const LDAPDN& source = context.GetDN();
    auto listRefused = [&] {
        for (const LDAPDN& dn : context.GetDNList())
            if (IsRefusedTarget(dn, target))
                return true;
        return false;
    };
    switch (context.GetState()) {
    case kClipboardEntry:
        return !IsRefusedTarget(source, target);
    case kClipboardValues:
        return source != target;
    case kClipboardEntries:
        return !listRefused();
    default:
        return source != target && !listRefused();
    }
}

CArbClipboard::CArbClipboard(const CLDAPObject* node)
{
    if (node)
        m_context = std::make_unique<CArbClipboardContext>(*node);
}

CArbClipboard::~CArbClipboard() = default;

void CArbClipboard::SetContext(const CLDAPObject& node)
{
    m_context = std::make_unique<CArbClipboardContext>(node);
}

void CArbClipboard::SetOperation(uint32_t operation)
{
    if (m_context)
        m_context->SetOperation(operation);
}

void CArbClipboard::AddDN(const LDAPDN& dn)
{
    if (m_context)
        m_context->AddDN(dn);
}

void CArbClipboard::AddAttributeValue(const std::string& name, const std::string& value)
{
    if (m_context)
        m_context->AddAttributeValue(name, value);
}

bool CArbClipboard::Copy()
{
    if (!m_context)
        return false;
    platform::ClipboardSession session;
    if (!session.IsOpen() || !session.Port().Empty())
        return false;
    std::string text = m_context->GetText();
    text.push_back('\0');
    session.Port().SetData(platform::kClipboardText, text);
    if (const platform::ClipboardFormat format = GetArbClipboardFormat()) {
        CArchive ar;
        m_context->Serialize(ar);
        session.Port().SetData(format, ar.GetBuffer());
    }
    return true;
}

bool CArbClipboard::Paste()
{
    if (!m_context)
        m_context = std::make_unique<CArbClipboardContext>();
    platform::ClipboardSession session;
    return session.IsOpen() && ReadOwnFormat(session.Port(), *m_context);
}

bool CArbClipboard::Clear()
{
    platform::ClipboardSession session;
    return session.IsOpen() && session.Port().Empty();
}

bool CArbClipboard::IsPasteAvailable(const CDataObject* target)
{
    CArbClipboardContext context;
    {
        platform::ClipboardSession session;
        if (!session.IsOpen() || !ReadOwnFormat(session.Port(), context))
            return false;
    }
    if (!target)
        return true;
    auto* node = dynamic_cast<const CLDAPObject*>(target);
    RefPtr<CLDAPSchema> schema = node ? node->GetSchema() : RefPtr<CLDAPSchema>();
    // A null identity names no server (a schema that has no place in the
    // cache), so it matches none, not every other such one.
    if (!schema || context.GetGuid() == GUID() || context.GetGuid() != schema->GetHostGuid())
        return false;
    return IsPasteAllowed(context, node->GetDN());
}
