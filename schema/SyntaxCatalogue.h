#pragma once
// The program-wide syntax catalogue (syntax OID -> display name and whether
// its values are text), the syntaxes of well-known operational attributes, and
// the operational attribute names that readers ask for by name. Filled once by
// InitSchemaTables at start-up and only read afterwards, from any thread.

#include <cstdint>
#include <map>
#include <string>

#include "base/StringList.h"
#include "schema/SchemaNames.h"

class SyntaxInfo {
public:
    SyntaxInfo() = default;
    SyntaxInfo(bool humanReadable, std::string name)
        : m_humanReadable(humanReadable ? 1 : 0), m_name(std::move(name)) {}

    // False for syntaxes whose values are binary.
    bool IsHumanReadable() const { return m_humanReadable != 0; }
    const std::string& GetName() const { return m_name; }

private:
    uint8_t m_humanReadable = 1;
    std::string m_name;
};

// Keyed by the exact OID text.
typedef std::map<std::string, SyntaxInfo> SyntaxTable;
// Attribute name (any letter case) -> syntax OID.
typedef std::map<std::string, std::string, NoCaseLess> OperationalSyntaxTable;

// Fills the three tables; later calls do nothing.
void InitSchemaTables();
void FillOperationalSyntaxes();
void FillSyntaxTable();

// The catalogue entry of a syntax OID (exact text), or null.
const SyntaxInfo* FindSyntaxInfo(const std::string& oid);

// "+", "createTimestamp", ... "supportedLDAPVersion": 16 names.
const StringList& GetOperationalAttributeNames();
bool IsOperationalAttribute(const std::string& name);
// The catalogue entry of the operational attribute's syntax, or null when the
// name or its syntax is unknown.
const SyntaxInfo* GetOperationalAttributeSyntax(const std::string& name);

const SyntaxTable& GetSyntaxTable();
const OperationalSyntaxTable& GetOperationalSyntaxTable();
