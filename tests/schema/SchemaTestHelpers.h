#pragma once
// Helpers shared by the schema tests: one entry point per description kind,
// so that tables of cases can name the kind they parse as.

#include <memory>
#include <ostream>
#include <string>

#include "schema/SchemaDescriptions.h"

namespace schematest {

enum class Kind { AttributeType, ObjectClass, MatchingRule, MatchingRuleUse, Syntax };

inline const char* KindName(Kind k)
{
    switch (k) {
    case Kind::AttributeType: return "attribute type";
    case Kind::ObjectClass: return "object class";
    case Kind::MatchingRule: return "matching rule";
    case Kind::MatchingRuleUse: return "matching rule use";
    case Kind::Syntax: return "syntax";
    }
    return "?";
}

struct ParseOutcome {
    bool ok = false;
    int code = -1;
    const char* errorPos = nullptr;
    std::string printed; // the printed record when ok
};

// Parses as the kind and, on success, prints the record.
inline ParseOutcome ParseAs(Kind kind, const char* text, unsigned flags = kSchemaAllowAll)
{
    ParseOutcome r;
    switch (kind) {
    case Kind::AttributeType:
        if (auto d = ParseAttributeTypeDescription(text, &r.code, &r.errorPos, flags)) {
            r.ok = true;
            r.printed = PrintAttributeTypeDescription(*d);
        }
        break;
    case Kind::ObjectClass:
        if (auto d = ParseObjectClassDescription(text, &r.code, &r.errorPos, flags)) {
            r.ok = true;
            r.printed = PrintObjectClassDescription(*d);
        }
        break;
    case Kind::MatchingRule:
        if (auto d = ParseMatchingRuleDescription(text, &r.code, &r.errorPos, flags)) {
            r.ok = true;
            r.printed = PrintMatchingRuleDescription(*d);
        }
        break;
    case Kind::MatchingRuleUse:
        if (auto d = ParseMatchingRuleUseDescription(text, &r.code, &r.errorPos, flags)) {
            r.ok = true;
            r.printed = PrintMatchingRuleUseDescription(*d);
        }
        break;
    case Kind::Syntax:
        if (auto d = ParseSyntaxDescription(text, &r.code, &r.errorPos)) {
            r.ok = true;
            r.printed = PrintSyntaxDescription(*d);
        }
        break;
    }
    return r;
}

// Parse, print, parse the print: the second record must equal the first, and
// printing it again must give the same text. Returns an empty string when all
// holds, else what went wrong.
template <typename Description, typename Parse, typename Print>
std::string RoundTripFailure(const char* text, Parse parse, Print print)
{
    int code = 0;
    const char* pos = nullptr;
    std::unique_ptr<Description> first = parse(text, &code, &pos);
    if (!first)
        return std::string("does not parse: code ") + std::to_string(code) + " at \"" + (pos ? pos : "") + "\"";
    std::string printed = print(*first);
    std::unique_ptr<Description> second = parse(printed.c_str(), &code, &pos);
    if (!second)
        return "printed text does not parse (code " + std::to_string(code) + "): " + printed;
    if (!(*second == *first))
        return "printed text reads back differently: " + printed;
    std::string again = print(*second);
    if (again != printed)
        return "printing is not stable: " + printed + " / " + again;
    return std::string();
}

inline std::string RoundTripFailure(Kind kind, const char* text, unsigned flags = kSchemaAllowAll)
{
    switch (kind) {
    case Kind::AttributeType:
        return RoundTripFailure<AttributeTypeDescription>(
            text, [flags](const char* t, int* c, const char** p) { return ParseAttributeTypeDescription(t, c, p, flags); },
            PrintAttributeTypeDescription);
    case Kind::ObjectClass:
        return RoundTripFailure<ObjectClassDescription>(
            text, [flags](const char* t, int* c, const char** p) { return ParseObjectClassDescription(t, c, p, flags); },
            PrintObjectClassDescription);
    case Kind::MatchingRule:
        return RoundTripFailure<MatchingRuleDescription>(
            text, [flags](const char* t, int* c, const char** p) { return ParseMatchingRuleDescription(t, c, p, flags); },
            PrintMatchingRuleDescription);
    case Kind::MatchingRuleUse:
        return RoundTripFailure<MatchingRuleUseDescription>(
            text, [flags](const char* t, int* c, const char** p) { return ParseMatchingRuleUseDescription(t, c, p, flags); },
            PrintMatchingRuleUseDescription);
    case Kind::Syntax:
        return RoundTripFailure<SyntaxDescription>(
            text, [](const char* t, int* c, const char** p) { return ParseSyntaxDescription(t, c, p); },
            PrintSyntaxDescription);
    }
    return "unknown kind";
}

// Builds a description by hand: Make<ObjectClassDescription>([](auto& d) { ... }).
template <typename Description, typename Fill>
Description Make(Fill fill)
{
    Description d;
    fill(d);
    return d;
}

} // namespace schematest
