#include "dialogcore/LdifRecordWriter.h"

#include <cstdlib>
#include <memory>

#include "base/Base64.h"
#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"

namespace {

constexpr size_t kBase64LineLength = 76;

bool IsSafeFirst(unsigned char c)
{
    return (c >= 0x01 && c <= 0x09) || c == 0x0B || c == 0x0C || (c >= 0x21 && c <= 0x39) || c == 0x3B ||
           (c >= 0x3D && c <= 0x7F);
}

bool IsSafeLater(unsigned char c)
{
    return (c >= 0x01 && c <= 0x09) || c == 0x0B || c == 0x0C || (c >= 0x0E && c <= 0x7F);
}

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

} // namespace

LdifRecordWriter::LdifRecordWriter(LdifLineEnd lineEnd, std::string dnKeyword)
    : m_lineEnd(lineEnd == LdifLineEnd::CrLf ? "\r\n" : "\n"), m_dnKeyword(std::move(dnKeyword))
{
    // Without it no reader would know the record's DN.
    if (m_dnKeyword.empty())
        m_dnKeyword = "dn";
}

bool LdifRecordWriter::IsSafeString(std::string_view bytes)
{
    if (bytes.empty())
        return true;
    if (!IsSafeFirst(static_cast<unsigned char>(bytes.front())) || bytes.back() == ' ')
        return false;
    for (size_t i = 1; i < bytes.size(); ++i)
        if (!IsSafeLater(static_cast<unsigned char>(bytes[i])))
            return false;
    return true;
}

void LdifRecordWriter::AppendHeader(const std::string& text)
{
    for (char c : text) {
        if (c == '\n')
            m_buffer += m_lineEnd;
        else
            m_buffer += c;
    }
}

void LdifRecordWriter::AppendVersion()
{
    m_buffer += "version: 1";
}

void LdifRecordWriter::AppendLine(std::string_view name, std::string_view value)
{
    m_buffer.append(name.data(), name.size());
    if (IsSafeString(value)) {
        m_buffer += ": ";
        m_buffer.append(value.data(), value.size());
        m_buffer += m_lineEnd;
        return;
    }
    size_t length = 0;
    std::unique_ptr<char, FreeDeleter> encoded(
        Base64Encode(reinterpret_cast<const unsigned char*>(value.data()), value.size(), &length));
    if (!encoded)
        throw std::bad_alloc();
    m_buffer += ":: ";
    for (size_t at = 0; at < length; at += kBase64LineLength) {
        if (at)
            m_buffer += ' ';
        m_buffer.append(encoded.get() + at, std::min(kBase64LineLength, length - at));
        m_buffer += m_lineEnd;
    }
}

void LdifRecordWriter::BeginRecord(std::string_view dn)
{
    m_buffer += m_lineEnd;
    AppendLine(m_dnKeyword, dn);
    ++m_records;
}

void LdifRecordWriter::AppendAttribute(std::string_view name, std::string_view value)
{
    AppendLine(name, value);
}

void LdifRecordWriter::AppendAttributes(const arbldap::LDAPAttributeList& attributes)
{
    for (const arbldap::LDAPAttribute& attribute : attributes) {
        const std::string name = attribute.GetName();
        for (std::string_view value : attribute.GetValues())
            AppendLine(name, value);
    }
}

void LdifRecordWriter::AppendEntry(const arbldap::LDAPEntry& entry)
{
    BeginRecord(entry.GetDN());
    AppendAttributes(entry.GetAttributes());
}

std::string LdifRecordWriter::Take()
{
    std::string text;
    text.swap(m_buffer);
    return text;
}
