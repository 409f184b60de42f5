#pragma once
// Values of the subschema attributes (attributeTypes, objectClasses,
// matchingRules, matchingRuleUse, ldapSyntaxes) in the description syntax of
// RFC 2252, parsed into records and printed back as text.
//
// The parser is lenient towards servers that stray from the RFC: definitions
// without a numeric OID, quoted OIDs, syntax names in place of syntax OIDs, a
// repeated SYNTAX, and NOTES in place of DESC. Inside quoted strings the
// escapes \27 and \5C stand for a quote and a backslash; the printer writes
// them, so every printed definition reads back to the same record.

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Result codes of the parsers.
enum SchemaParseCode : int {
    kSchemaSuccess = 0,
    kSchemaOutOfMemory = 1,
    kSchemaUnexpectedToken = 2,
    kSchemaNoLeftParen = 3,
    kSchemaNoRightParen = 4,
    kSchemaExpectingDigit = 5,
    kSchemaExpectingName = 6,
    kSchemaBadDescription = 7, // never written
    kSchemaBadSuperiors = 8,   // never written
    kSchemaDuplicateOption = 9,
    kSchemaNoText = 10,
};

// Relaxations of the parsers' flags argument.
enum SchemaParseFlags : unsigned {
    // A missing or non-numeric OID is tolerated (object classes: any bit).
    kSchemaAllowNoOid = 0x01,
    // Matching-rule and matching-rule-use OIDs, and a matching rule's SYNTAX,
    // may be enclosed in single quotes.
    kSchemaAllowQuotedOid = 0x02,
    // An attribute type's SYNTAX may be one of the names of SyntaxNameToOid.
    kSchemaAllowSyntaxNames = 0x10,
    // A repeated SYNTAX of an attribute type replaces the one before.
    kSchemaAllowSyntaxRepeat = 0x20,
    // What the program always passes.
    kSchemaAllowAll = 0xFF,
};

enum SchemaUsage : int {
    kUsageUserApplications = 0,
    kUsageDirectoryOperation = 1,
    kUsageDistributedOperation = 2,
    kUsageDSAOperation = 3,
};

enum SchemaClassKind : int {
    kClassAbstract = 0,
    kClassStructural = 1,
    kClassAuxiliary = 2,
};

typedef std::vector<std::string> SchemaStrings;

struct SchemaExtensionItem {
    std::string name; // begins "X-"
    SchemaStrings values;

    bool operator==(const SchemaExtensionItem& o) const { return name == o.name && values == o.values; }
    bool operator!=(const SchemaExtensionItem& o) const { return !(*this == o); }
};
typedef std::vector<SchemaExtensionItem> SchemaExtensionItems;

// What every kind of description has. An absent string is nullopt; an absent
// list is empty.
struct SchemaDescriptionBase {
    std::optional<std::string> oid;
    SchemaStrings names;
    std::optional<std::string> desc;
    SchemaExtensionItems extensions; // in the order met

protected:
    bool BaseEquals(const SchemaDescriptionBase& o) const
    {
        return oid == o.oid && names == o.names && desc == o.desc && extensions == o.extensions;
    }
};

struct SyntaxDescription : SchemaDescriptionBase {
    bool operator==(const SyntaxDescription& o) const { return BaseEquals(o); }
    bool operator!=(const SyntaxDescription& o) const { return !(*this == o); }
};

struct MatchingRuleDescription : SchemaDescriptionBase {
    bool obsolete = false;
    std::optional<std::string> syntax;

    bool operator==(const MatchingRuleDescription& o) const
    {
        return BaseEquals(o) && obsolete == o.obsolete && syntax == o.syntax;
    }
    bool operator!=(const MatchingRuleDescription& o) const { return !(*this == o); }
};

struct MatchingRuleUseDescription : SchemaDescriptionBase {
    bool obsolete = false;
    SchemaStrings applies;

    bool operator==(const MatchingRuleUseDescription& o) const
    {
        return BaseEquals(o) && obsolete == o.obsolete && applies == o.applies;
    }
    bool operator!=(const MatchingRuleUseDescription& o) const { return !(*this == o); }
};

struct AttributeTypeDescription : SchemaDescriptionBase {
    bool obsolete = false;
    std::optional<std::string> sup;
    std::optional<std::string> equality;
    std::optional<std::string> ordering;
    std::optional<std::string> substr;
    std::optional<std::string> syntax; // without the length
    int syntaxLength = 0;              // 0: none
    bool singleValue = false;
    bool collective = false;
    bool noUserModification = false;
    int usage = kUsageUserApplications;

    bool operator==(const AttributeTypeDescription& o) const
    {
        return BaseEquals(o) && obsolete == o.obsolete && sup == o.sup && equality == o.equality
            && ordering == o.ordering && substr == o.substr && syntax == o.syntax
            && syntaxLength == o.syntaxLength && singleValue == o.singleValue
            && collective == o.collective && noUserModification == o.noUserModification
            && usage == o.usage;
    }
    bool operator!=(const AttributeTypeDescription& o) const { return !(*this == o); }
};

struct ObjectClassDescription : SchemaDescriptionBase {
    bool obsolete = false;
    SchemaStrings sup;
    int kind = kClassStructural;
    SchemaStrings must;
    SchemaStrings may;

    bool operator==(const ObjectClassDescription& o) const
    {
        return BaseEquals(o) && obsolete == o.obsolete && sup == o.sup && kind == o.kind
            && must == o.must && may == o.may;
    }
    bool operator!=(const ObjectClassDescription& o) const { return !(*this == o); }
};

// Parsers. A zero-terminated text in; the record, or null with *code set and
// *errorPos at the place in the text where parsing stopped (a null text gives
// kSchemaNoText and an empty text). code and errorPos may be null.
std::unique_ptr<AttributeTypeDescription> ParseAttributeTypeDescription(
    const char* text, int* code, const char** errorPos, unsigned flags);
std::unique_ptr<ObjectClassDescription> ParseObjectClassDescription(
    const char* text, int* code, const char** errorPos, unsigned flags);
std::unique_ptr<MatchingRuleDescription> ParseMatchingRuleDescription(
    const char* text, int* code, const char** errorPos, unsigned flags);
std::unique_ptr<MatchingRuleUseDescription> ParseMatchingRuleUseDescription(
    const char* text, int* code, const char** errorPos, unsigned flags);
std::unique_ptr<SyntaxDescription> ParseSyntaxDescription(const char* text, int* code, const char** errorPos);

// Printers: the record as description text.
std::string PrintAttributeTypeDescription(const AttributeTypeDescription& d);
std::string PrintObjectClassDescription(const ObjectClassDescription& d);
std::string PrintMatchingRuleDescription(const MatchingRuleDescription& d);
std::string PrintMatchingRuleUseDescription(const MatchingRuleUseDescription& d);
std::string PrintSyntaxDescription(const SyntaxDescription& d);

// "Success", "Out of memory", ...; "Unknown error" for any other code.
const char* SchemaErrorText(int code);

// The first NAME, else the OID, else an empty text.
std::string DescriptionDisplayName(const SchemaDescriptionBase& d);

// The syntax OID for one of the twelve old syntax names ("DirectoryString",
// "DN", ...; exact case), or null.
const char* SyntaxNameToOid(const char* name);
