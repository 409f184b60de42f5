#include "ldap/LDAPDN.h"

#include <cstdint>
#include <utility>

#include "ldap/DNSplit.h"
#include "base/ArchiveText.h"
#include "base/NoCase.h"
#include "base/Archive.h"

namespace arbldap {

namespace {

bool SamePartTexts(const LDAPRDN& a, const LDAPRDN& b)
{
    return EqualNoCase(a.GetText(), b.GetText());
}

// An unescaped '+' joins several types and values in one part.
bool IsMultiValued(const LDAPRDN& part)
{
    const std::string& text = part.GetText();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '+')
            return true;
    }
    return false;
}

bool SamePartValues(const LDAPRDN& a, const LDAPRDN& b)
{
    if (SamePartTexts(a, b))
        return true;
    if (IsMultiValued(a) || IsMultiValued(b))
        return false;
    return EqualNoCase(a.GetType(), b.GetType()) && EqualNoCase(a.GetValue(), b.GetValue());
}

} // namespace

LDAPDN::LDAPDN(const char* text)
{
    Parse(text);
}

LDAPDN::LDAPDN(const std::string& text)
{
    Parse(text);
}

LDAPDN& LDAPDN::operator=(const char* text)
{
    m_parts.clear();
    m_text = text ? text : "";
    Parse(m_text);
    return *this;
}

LDAPDN& LDAPDN::operator=(const std::string& text)
{
    m_parts.clear();
    m_text = text;
    Parse(m_text);
    return *this;
}

LDAPDN& LDAPDN::operator=(const LDAPRDN& rdn)
{
    m_parts.clear();
    m_parts.reserve(5);
    if (!rdn.GetText().empty())
        m_parts.push_back(rdn);
    ComposeText();
    return *this;
}

LDAPDN& LDAPDN::operator+=(const LDAPDN& other)
{
    if (&other == this) {
        std::vector<LDAPRDN> copy(m_parts);
        m_parts.insert(m_parts.end(), copy.begin(), copy.end());
    } else {
        m_parts.insert(m_parts.end(), other.m_parts.begin(), other.m_parts.end());
    }
    ComposeText();
    return *this;
}

LDAPRDN LDAPDN::FirstPartOf(const std::string& text)
{
    LDAPRDN part;
    std::string rdn;
    if (CutFirstRDN(text, rdn))
        part.SetText(rdn);
    return part;
}

bool LDAPDN::IsParsedFromText() const
{
    const LDAPDN parsed(m_text);
    if (parsed.m_text != m_text || parsed.m_parts.size() != m_parts.size())
        return false;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        const LDAPRDN& a = parsed.m_parts[i];
        const LDAPRDN& b = m_parts[i];
        if (a.GetText() != b.GetText() || a.GetType() != b.GetType() || a.GetValue() != b.GetValue())
            return false;
    }
    return true;
}

LDAPDN LDAPDN::ChildOf(const std::string& text, const LDAPDN& parent)
{
    const std::string& tail = parent.m_text;
    const size_t cut = text.size() > tail.size() ? text.size() - tail.size() - 1 : 0;
    std::string rdn;
    if (parent.m_parts.empty() || cut == 0 || text[cut] != ',' || text.compare(cut + 1, tail.size(), tail) != 0 ||
        !SplitOneRDN(text.substr(0, cut), rdn))
        return LDAPDN(text);
    LDAPDN dn;
    dn.m_parts.reserve(parent.m_parts.size() + 1);
    dn.m_parts.emplace_back();
    dn.m_parts.back().SetText(rdn);
    dn.m_parts.insert(dn.m_parts.end(), parent.m_parts.begin(), parent.m_parts.end());
    dn.m_text = rdn + ',' + tail;
    return dn;
}

void LDAPDN::Parse(const char* text)
{
    if (text)
        Parse(std::string(text));
}

void LDAPDN::Parse(const std::string& text)
{
    if (text.empty())
        return;
    std::vector<std::string> rdns;
    if (!SplitDN(text, rdns))
        return;
    m_parts.reserve(m_parts.size() + rdns.size());
    for (const std::string& r : rdns) {
        LDAPRDN part;
        part.SetText(r);
        m_parts.push_back(std::move(part));
    }
    ComposeText();
}

void LDAPDN::ComposeText()
{
    std::string text;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        if (i) text += ',';
        text += m_parts[i].GetText();
    }
    m_text = std::move(text);
}

const LDAPRDN& LDAPDN::GetFirstPart() const
{
    // Built on first use, so a static initialiser elsewhere may call this too.
    static const LDAPRDN empty;
    return m_parts.empty() ? empty : m_parts.front();
}

bool LDAPDN::operator==(const LDAPDN& other) const
{
    if (m_parts.size() != other.m_parts.size())
        return false;
    for (size_t i = 0; i < m_parts.size(); ++i)
        if (!SamePartTexts(m_parts[i], other.m_parts[i]))
            return false;
    return true;
}

bool LDAPDN::EndsWith(const LDAPDN& other) const
{
    const size_t n = m_parts.size(), m = other.m_parts.size();
    if (n > m)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (!SamePartTexts(m_parts[i], other.m_parts[m - n + i]))
            return false;
    return true;
}

bool SameDNValue(const LDAPDN& a, const LDAPDN& b)
{
    if (a.GetPartCount() != b.GetPartCount())
        return false;
    for (size_t i = 0; i < a.GetPartCount(); ++i)
        if (!SamePartValues(a.GetParts()[i], b.GetParts()[i]))
            return false;
    return true;
}

bool EndsWithDNValue(const LDAPDN& tail, const LDAPDN& dn)
{
    const size_t n = tail.GetPartCount(), m = dn.GetPartCount();
    if (n > m)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (!SamePartValues(tail.GetParts()[i], dn.GetParts()[m - n + i]))
            return false;
    return true;
}

CArchive& WriteDN(CArchive& ar, const LDAPDN& dn)
{
    WriteStdString(ar, dn.GetText());
    ar.WriteUInt32(static_cast<uint32_t>(dn.GetPartCount()));
    for (const LDAPRDN& part : dn.GetParts()) {
        WriteStdString(ar, part.GetText());
        WriteStdString(ar, part.GetType());
        WriteStdString(ar, part.GetValue());
    }
    return ar;
}

CArchive& ReadDN(CArchive& ar, LDAPDN& dn)
{
    std::string text;
    ReadStdString(ar, text);
    // Every part takes at least its three length fields.
    const uint32_t count = ar.ReadCount(3 * 4);
    std::vector<LDAPRDN> parts;
    parts.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        std::string partText, type, value;
        ReadStdString(ar, partText);
        ReadStdString(ar, type);
        ReadStdString(ar, value);
        parts.emplace_back(std::move(partText), std::move(type), std::move(value));
    }
    dn.m_text = std::move(text);
    dn.m_parts = std::move(parts);
    return ar;
}

} // namespace arbldap
