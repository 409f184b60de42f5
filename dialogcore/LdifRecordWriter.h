#pragma once
// LDIF records as text: the export and the LDIF report write with it. A
// value (or DN) that is not a safe string is written base64 after "::" in
// lines of 76 characters, each further line starting with one space; a safe
// one is written as it is and never folded. Records are separated by one
// empty line; the version line has no line end of its own, every record
// starts with one.

#include <cstddef>
#include <string>
#include <string_view>

namespace arbldap {
class LDAPAttributeList;
class LDAPEntry;
}

enum class LdifLineEnd { CrLf, Lf };

class LdifRecordWriter {
public:
    // dnKeyword: what names the DN line ("dn").
    LdifRecordWriter(LdifLineEnd lineEnd, std::string dnKeyword);

    // Whether bytes may be written as they are: no NUL, CR or LF, nothing
    // from 0x80 on, no control byte or space, ':' or '<' first, no space last.
    static bool IsSafeString(std::string_view bytes);

    // The header text with each "\n" turned into the chosen line end.
    void AppendHeader(const std::string& text);
    void AppendVersion();
    // The record's DN line, preceded by the line end that closes the line
    // before it (so the first record follows the version line directly).
    void BeginRecord(std::string_view dn);
    void AppendAttribute(std::string_view name, std::string_view value);
    void AppendAttributes(const arbldap::LDAPAttributeList& attributes);
    // BeginRecord and AppendAttributes.
    void AppendEntry(const arbldap::LDAPEntry& entry);
    // The records since the writer began; the first one has no empty line before it.
    size_t GetRecordCount() const { return m_records; }

    // The text written since the last Take.
    std::string& Buffer() { return m_buffer; }
    std::string Take();

private:
    void AppendLine(std::string_view name, std::string_view value);

    std::string m_lineEnd;
    std::string m_dnKeyword;
    std::string m_buffer;
    size_t m_records = 0;
};
