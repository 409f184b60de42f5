#pragma once
// A distinguished name: its text and its RDNs, leaf first. DNs compare by
// their RDN texts, ignoring ASCII letter case.

#include <string>
#include <vector>

#include "ldap/LDAPRDN.h"

class CArchive;

namespace arbldap {

class LDAPDN {
public:
    LDAPDN() = default;
    // Parses the text; a null text, or one that is not a DN, gives an empty
    // DN (empty text, no parts).
    LDAPDN(const char* text);
    LDAPDN(const std::string& text);
    LDAPDN(const LDAPDN&) = default;
    LDAPDN(LDAPDN&&) = default;
    ~LDAPDN() = default;

    LDAPDN& operator=(const LDAPDN&) = default;
    LDAPDN& operator=(LDAPDN&&) = default;
    // Empties the parts, stores the text and parses it. A text that is not a
    // DN stays as the text, with no parts.
    LDAPDN& operator=(const char* text);
    LDAPDN& operator=(const std::string& text);
    // Just this RDN (none when its text is empty).
    LDAPDN& operator=(const LDAPRDN& rdn);
    // Appends copies of the other DN's parts: child RDN += parent DN.
    LDAPDN& operator+=(const LDAPDN& other);

    // The DN of text, named as a child of parent: when text is one RDN, a
    // ',' and the parent's own text, only that RDN is parsed and the
    // parent's RDNs are copied (a long list of children under one base
    // parses the base once). Otherwise as LDAPDN(text).
    static LDAPDN ChildOf(const std::string& text, const LDAPDN& parent);

    // Appends the RDNs of the text after the present ones and recomposes the
    // text. A null or empty text, or one that is not a DN, changes nothing.
    void Parse(const char* text);
    void Parse(const std::string& text);
    // Text = part texts joined by ",".
    void ComposeText();

    const std::string& GetText() const { return m_text; }
    const std::vector<LDAPRDN>& GetParts() const { return m_parts; }
    // Call ComposeText after changing parts through this.
    std::vector<LDAPRDN>& GetParts() { return m_parts; }
    size_t GetPartCount() const { return m_parts.size(); }
    // Throws std::out_of_range for an index not below the count.
    const LDAPRDN& GetPart(size_t index) const { return m_parts.at(index); }
    // The leaf RDN, or a shared empty one for a DN without parts.
    const LDAPRDN& GetFirstPart() const;

    // The leaf RDN of a DN's text, cut alone: for a text that parses as a DN,
    // what LDAPDN(text).GetFirstPart() gives.
    static LDAPRDN FirstPartOf(const std::string& text);
    // True when LDAPDN(GetText()) gives this DN back exactly: the same text
    // and, part by part, the same text, type and value.
    bool IsParsedFromText() const;

    // Same number of parts, each pair of texts equal ignoring ASCII case.
    bool operator==(const LDAPDN& other) const;
    bool operator!=(const LDAPDN& other) const { return !(*this == other); }
    // True when other is this DN or lies below it: its last parts equal
    // this DN's parts. A DN without parts is a tail of every DN.
    bool EndsWith(const LDAPDN& other) const;

private:
    friend CArchive& ReadDN(CArchive& ar, LDAPDN& dn);

    std::string m_text;
    std::vector<LDAPRDN> m_parts;
};

// Whether two DNs name the same entry: the same number of parts, each pair
// with the same type and the same unescaped value (ASCII case ignored), so
// "cn=a\,b" and "cn=a\2Cb" (as a server writes it) agree. A part with more
// than one type and value compares by its text.
bool SameDNValue(const LDAPDN& a, const LDAPDN& b);
// EndsWith by the same measure: dn is tail or lies below it.
bool EndsWithDNValue(const LDAPDN& tail, const LDAPDN& dn);

// Text, 32-bit part count, then text, type and value of each part.
CArchive& WriteDN(CArchive& ar, const LDAPDN& dn);
// Replaces the DN with the stored one. A damaged archive throws
// CArchiveException and leaves the DN as it was.
CArchive& ReadDN(CArchive& ar, LDAPDN& dn);

} // namespace arbldap
