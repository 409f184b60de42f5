#pragma once
// Value records of the elements of a server's subschema, built from parsed
// descriptions and owning everything as strings and StringLists.

#include <cstdint>
#include <map>
#include <string>

#include "base/StringList.h"
#include "schema/SchemaDescriptions.h"
#include "schema/SchemaNames.h"

struct SchemaExtension {
    std::string name;
    StringList values;

    bool operator==(const SchemaExtension& o) const { return name == o.name && values == o.values; }
    bool operator!=(const SchemaExtension& o) const { return !(*this == o); }
};

// Extension name -> extension; names differing only in case share one entry.
typedef std::map<std::string, SchemaExtension, NoCaseLess> SchemaExtensionMap;

// Each item under its name; a later item replaces an earlier one of the same
// name (any letter case).
SchemaExtensionMap MakeExtensionMap(const SchemaExtensionItems& items);

class SchemaElement {
public:
    SchemaElement() = default;
    explicit SchemaElement(const SchemaDescriptionBase& d);

    const std::string& GetOID() const { return m_oid; }
    void SetOID(const std::string& oid) { m_oid = oid; }
    const StringList& GetNames() const { return m_names; }
    void SetNames(const StringList& names) { m_names = names; }
    const std::string& GetDescription() const { return m_desc; }
    void SetDescription(const std::string& desc) { m_desc = desc; }
    const SchemaExtensionMap& GetExtensions() const { return m_extensions; }

    // The first NAME, or the OID when there is none.
    std::string GetDisplayName() const;
    // Replaces values with those of the named extension (any letter case);
    // true when values stayed empty.
    bool GetExtension(const std::string& name, StringList& values) const;

protected:
    bool ElementEquals(const SchemaElement& o) const
    {
        return m_oid == o.m_oid && m_names == o.m_names && m_desc == o.m_desc && m_extensions == o.m_extensions;
    }

private:
    std::string m_oid;
    StringList m_names;
    std::string m_desc;
    SchemaExtensionMap m_extensions;
};

class SchemaAttributeType : public SchemaElement {
public:
    SchemaAttributeType() = default;
    explicit SchemaAttributeType(const AttributeTypeDescription& d);

    bool IsObsolete() const { return m_obsolete; }
    const std::string& GetSuperior() const { return m_sup; }
    const std::string& GetEquality() const { return m_equality; }
    const std::string& GetOrdering() const { return m_ordering; }
    const std::string& GetSubstring() const { return m_substr; }
    // The syntax OID without its length.
    const std::string& GetSyntax() const { return m_syntax; }
    int32_t GetSyntaxLength() const { return m_syntaxLength; }
    bool IsSingleValue() const { return m_singleValue; }
    bool IsCollective() const { return m_collective; }
    bool IsUserModifiable() const { return !m_noUserModification; }
    int32_t GetUsage() const { return m_usage; }
    // True when built; the schema sets it from the syntax catalogue.
    bool IsHumanReadable() const { return m_humanReadable; }
    void SetHumanReadable(bool humanReadable) { m_humanReadable = humanReadable; }

    bool operator==(const SchemaAttributeType& o) const;
    bool operator!=(const SchemaAttributeType& o) const { return !(*this == o); }

private:
    bool m_obsolete = false;
    std::string m_sup;
    std::string m_equality;
    std::string m_ordering;
    std::string m_substr;
    std::string m_syntax;
    int32_t m_syntaxLength = 0;
    bool m_singleValue = false;
    bool m_collective = false;
    bool m_noUserModification = false;
    int32_t m_usage = kUsageUserApplications;
    bool m_humanReadable = true;
};

class SchemaObjectClass : public SchemaElement {
public:
    SchemaObjectClass() = default;
    explicit SchemaObjectClass(const ObjectClassDescription& d);

    bool IsObsolete() const { return m_obsolete; }
    const StringList& GetSuperiors() const { return m_sup; }
    // kClassAbstract, kClassStructural or kClassAuxiliary.
    int32_t GetKind() const { return m_kind; }
    const StringList& GetMust() const { return m_must; }
    const StringList& GetMay() const { return m_may; }

    bool operator==(const SchemaObjectClass& o) const;
    bool operator!=(const SchemaObjectClass& o) const { return !(*this == o); }

private:
    bool m_obsolete = false;
    StringList m_sup;
    int32_t m_kind = kClassStructural;
    StringList m_must;
    StringList m_may;
};

class SchemaMatchingRule : public SchemaElement {
public:
    SchemaMatchingRule() = default;
    explicit SchemaMatchingRule(const MatchingRuleDescription& d);

    bool IsObsolete() const { return m_obsolete; }
    const std::string& GetSyntax() const { return m_syntax; }

    bool operator==(const SchemaMatchingRule& o) const;
    bool operator!=(const SchemaMatchingRule& o) const { return !(*this == o); }

private:
    bool m_obsolete = false;
    std::string m_syntax;
};

class SchemaMatchingRuleUse : public SchemaElement {
public:
    SchemaMatchingRuleUse() = default;
    explicit SchemaMatchingRuleUse(const MatchingRuleUseDescription& d);

    bool IsObsolete() const { return m_obsolete; }
    const StringList& GetApplies() const { return m_applies; }

    bool operator==(const SchemaMatchingRuleUse& o) const;
    bool operator!=(const SchemaMatchingRuleUse& o) const { return !(*this == o); }

private:
    bool m_obsolete = false;
    StringList m_applies;
};

class SchemaSyntax : public SchemaElement {
public:
    SchemaSyntax() = default;
    explicit SchemaSyntax(const SyntaxDescription& d) : SchemaElement(d) {}

    bool operator==(const SchemaSyntax& o) const { return ElementEquals(o); }
    bool operator!=(const SchemaSyntax& o) const { return !(*this == o); }
};

// Element maps, keyed by the OID text in byte order. operator[] is the
// insert-or-fetch: a new OID gets a default record, which the filler then
// assigns, so a later definition with the same OID replaces the earlier one.
typedef std::map<std::string, SchemaAttributeType> SchemaAttributeTypeMap;
typedef std::map<std::string, SchemaObjectClass> SchemaObjectClassMap;
typedef std::map<std::string, SchemaMatchingRule> SchemaMatchingRuleMap;
typedef std::map<std::string, SchemaMatchingRuleUse> SchemaMatchingRuleUseMap;
typedef std::map<std::string, SchemaSyntax> SchemaSyntaxMap;
