#include "schema/SchemaDescriptions.h"

#include <climits>
#include <cstring>
#include <new>
#include <string_view>

namespace {

// Characters that end a bare word: the terminator, whitespace, ( ) $ '.
// A carriage return is no whitespace and stays inside a word.
struct DelimiterTable {
    bool delim[256] = {};
    constexpr DelimiterTable()
    {
        for (unsigned char c : {'\0', ' ', '\t', '\n', '(', ')', '$', '\''})
            delim[c] = true;
    }
};
constexpr DelimiterTable kDelimiters;

inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsDelimiter(char c) { return kDelimiters.delim[static_cast<unsigned char>(c)]; }

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y)
            return false;
    }
    return true;
}

inline bool IsExtensionName(std::string_view word) { return word.size() >= 2 && word[0] == 'X' && word[1] == '-'; }

// Text of a quoted string: \27 is a quote and \5C a backslash; any other
// backslash stays as it is, so texts from servers that never escape survive.
std::string Unescape(std::string_view raw)
{
    size_t bs = raw.find('\\');
    if (bs == std::string_view::npos)
        return std::string(raw);
    std::string out;
    out.reserve(raw.size());
    out.append(raw.data(), bs);
    for (size_t i = bs; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\\' && i + 2 < raw.size()) {
            char h = raw[i + 1], l = raw[i + 2];
            if (h == '2' && l == '7') { out += '\''; i += 2; continue; }
            if (h == '5' && (l == 'C' || l == 'c')) { out += '\\'; i += 2; continue; }
        }
        out += c;
    }
    return out;
}

enum TokenType { kEnd, kLeftParen, kRightParen, kDollar, kQuoted, kUnterminated, kBare };

struct Token {
    TokenType type;
    std::string_view text; // a bare word, or a quoted string without its quotes
};

enum Kind { kSyntax, kMatchingRule, kMatchingRuleUse, kAttributeType, kObjectClass };

// Every keyword of a kind; a definition whose first word is one of these has
// no OID.
bool IsKeyword(Kind kind, std::string_view w)
{
    if (w == "NAME" || w == "DESC")
        return true;
    switch (kind) {
    case kSyntax:
        return false;
    case kMatchingRule:
        return w == "OBSOLETE" || w == "SYNTAX";
    case kMatchingRuleUse:
        return w == "OBSOLETE" || w == "APPLIES";
    case kAttributeType:
        return w == "NOTES" || w == "OBSOLETE" || w == "SUP" || w == "EQUALITY" || w == "ORDERING"
            || w == "SUBSTR" || w == "SYNTAX" || w == "SINGLE-VALUE" || w == "COLLECTIVE"
            || w == "NO-USER-MODIFICATION" || w == "USAGE";
    case kObjectClass:
        return w == "NOTES" || w == "OBSOLETE" || w == "SUP" || w == "ABSTRACT" || w == "STRUCTURAL"
            || w == "AUXILIARY" || w == "MUST" || w == "MAY";
    }
    return false;
}

// Options seen so far, one bit each; a second sighting is kSchemaDuplicateOption.
enum Seen : unsigned {
    kSeenName = 1u << 0,
    kSeenDesc = 1u << 1, // DESC or NOTES
    kSeenObsolete = 1u << 2,
    kSeenSup = 1u << 3,
    kSeenEquality = 1u << 4,
    kSeenOrdering = 1u << 5,
    kSeenSubstr = 1u << 6,
    kSeenSyntax = 1u << 7,
    kSeenSingleValue = 1u << 8,
    kSeenCollective = 1u << 9,
    kSeenNoUserMod = 1u << 10,
    kSeenUsage = 1u << 11,
    kSeenKind = 1u << 12, // ABSTRACT, STRUCTURAL or AUXILIARY
    kSeenMust = 1u << 13,
    kSeenMay = 1u << 14,
    kSeenApplies = 1u << 15,
};

enum Outcome { kHandled, kFailed, kNotKeyword };

class Parser {
public:
    Parser(const char* text, unsigned flags) : m_pos(text), m_flags(flags) {}

    const char* Position() const { return m_pos; }
    int Code() const { return m_code; }
    unsigned Flags() const { return m_flags; }

    bool Fail(int code)
    {
        m_code = code;
        return false;
    }

    void SkipSpace()
    {
        while (IsSpace(*m_pos))
            ++m_pos;
    }

    Token Next()
    {
        SkipSpace();
        const char* s = m_pos;
        switch (*s) {
        case '\0':
            return {kEnd, {}};
        case '(':
            ++m_pos;
            return {kLeftParen, {}};
        case ')':
            ++m_pos;
            return {kRightParen, {}};
        case '$':
            ++m_pos;
            return {kDollar, {}};
        case '\'': {
            const char* q = std::strchr(s + 1, '\'');
            if (!q) {
                m_pos = s + std::strlen(s);
                return {kUnterminated, {}};
            }
            m_pos = q + 1;
            return {kQuoted, std::string_view(s + 1, q - s - 1)};
        }
        default:
            while (!IsDelimiter(*m_pos))
                ++m_pos;
            return {kBare, std::string_view(s, m_pos - s)};
        }
    }

    // Digits, then any number of '.' and digits. At the end of the text the
    // OID simply ends, so an empty text gives an empty OID.
    bool NumericOid(std::string_view& out, bool allowQuote)
    {
        bool quoted = false;
        if (allowQuote && *m_pos == '\'') {
            ++m_pos;
            quoted = true;
        }
        const char* s = m_pos;
        for (;;) {
            if (!IsDigit(*m_pos)) {
                if (*m_pos == '\0')
                    break;
                return Fail(kSchemaExpectingDigit);
            }
            while (IsDigit(*m_pos))
                ++m_pos;
            if (*m_pos != '.')
                break;
            ++m_pos;
        }
        out = std::string_view(s, m_pos - s);
        if (quoted) {
            if (*m_pos != '\'')
                return Fail(kSchemaUnexpectedToken);
            ++m_pos;
        }
        return true;
    }

    // The OID after "(", or what stands in for it where the flags allow.
    bool LeadingOid(Kind kind, SchemaDescriptionBase& d, bool allowQuote, bool tolerate)
    {
        SkipSpace();
        const char* start = m_pos;
        std::string_view oid;
        if (NumericOid(oid, allowQuote)) {
            d.oid.emplace(oid);
            return true;
        }
        if (!tolerate)
            return false;
        m_code = kSchemaSuccess;
        m_pos = start;
        Token t = Next();
        if (t.type == kBare) {
            if (IsKeyword(kind, t.text) || IsExtensionName(t.text))
                m_pos = start;
            else if (kind == kAttributeType || kind == kObjectClass)
                d.oid.emplace(t.text);
        } else if (t.type == kRightParen) {
            // "( )": nothing at all, which is how a definition without an OID
            // prints when it has nothing else either.
            m_pos = start;
        }
        SkipSpace();
        return true;
    }

    // One quoted string, or "(" quoted strings ")".
    bool NameList(SchemaStrings& out)
    {
        Token t = Next();
        if (t.type == kQuoted) {
            out.push_back(Unescape(t.text));
            return true;
        }
        if (t.type != kLeftParen)
            return Fail(kSchemaExpectingName);
        for (;;) {
            t = Next();
            if (t.type == kRightParen)
                return true;
            if (t.type != kQuoted)
                return Fail(kSchemaUnexpectedToken);
            out.push_back(Unescape(t.text));
        }
    }

    // One OID, or "(" OIDs separated by "$" ")".
    bool OidList(SchemaStrings& out, bool allowQuoted)
    {
        auto isItem = [allowQuoted](const Token& t) {
            return t.type == kBare || (allowQuoted && t.type == kQuoted);
        };
        auto add = [&out](const Token& t) {
            if (t.type == kBare)
                out.emplace_back(t.text);
            else
                out.push_back(Unescape(t.text));
        };
        Token t = Next();
        if (isItem(t)) {
            add(t);
            return true;
        }
        if (t.type != kLeftParen)
            return Fail(kSchemaExpectingName);
        t = Next();
        if (!isItem(t))
            return Fail(kSchemaUnexpectedToken);
        add(t);
        for (;;) {
            t = Next();
            if (t.type == kRightParen)
                return true;
            if (t.type != kDollar)
                return Fail(kSchemaUnexpectedToken);
            t = Next();
            if (!isItem(t))
                return Fail(kSchemaUnexpectedToken);
            add(t);
        }
    }

    bool SingleOid(std::optional<std::string>& out)
    {
        Token t = Next();
        if (t.type != kBare)
            return Fail(kSchemaUnexpectedToken);
        out.emplace(t.text);
        return true;
    }

    bool QuotedText(std::optional<std::string>& out)
    {
        Token t = Next();
        if (t.type != kQuoted)
            return Fail(kSchemaUnexpectedToken);
        out = Unescape(t.text);
        return true;
    }

    bool Extension(std::string_view name, SchemaExtensionItems& out)
    {
        out.emplace_back();
        out.back().name.assign(name);
        return NameList(out.back().values);
    }

    // Claims an option; false (duplicate) when it was seen before.
    bool Claim(unsigned& seen, unsigned bit)
    {
        if (seen & bit)
            return Fail(kSchemaDuplicateOption);
        seen |= bit;
        return true;
    }

    // NAME, DESC (and NOTES where allowed) and OBSOLETE, shared by the kinds.
    Outcome Common(std::string_view w, SchemaDescriptionBase& d, bool* obsolete, bool notes, unsigned& seen)
    {
        if (w == "NAME") {
            if (!Claim(seen, kSeenName))
                return kFailed;
            if (!NameList(d.names)) {
                m_code = kSchemaExpectingName;
                return kFailed;
            }
            return kHandled;
        }
        if (w == "DESC" || (notes && w == "NOTES")) {
            if (!Claim(seen, kSeenDesc) || !QuotedText(d.desc))
                return kFailed;
            return kHandled;
        }
        if (obsolete && w == "OBSOLETE") {
            if (!Claim(seen, kSeenObsolete))
                return kFailed;
            *obsolete = true;
            return kHandled;
        }
        return kNotKeyword;
    }

    // SYNTAX of an attribute type: an OID with an optional {length}, perhaps
    // quoted, or an old syntax name.
    bool AttributeSyntax(AttributeTypeDescription& d)
    {
        SkipSpace();
        bool quoted = false;
        if (m_flags && *m_pos == '\'') {
            ++m_pos;
            quoted = true;
        }
        const char* oidStart = m_pos;
        std::string_view oid;
        bool ok = NumericOid(oid, false);
        long length = 0;
        if (ok && *m_pos == '{') {
            ++m_pos;
            while (IsDigit(*m_pos)) {
                if (length < INT_MAX)
                    length = length * 10 + (*m_pos - '0');
                ++m_pos;
            }
            if (length > INT_MAX)
                length = INT_MAX;
            if (*m_pos == '}')
                ++m_pos;
            else
                ok = Fail(kSchemaUnexpectedToken);
        }
        if (ok && quoted) {
            if (*m_pos == '\'')
                ++m_pos;
            else
                ok = Fail(kSchemaUnexpectedToken);
        }
        if (ok) {
            d.syntax.emplace(oid);
            d.syntaxLength = static_cast<int>(length);
            return true;
        }
        if (!(m_flags & kSchemaAllowSyntaxNames))
            return false;
        int oidCode = m_code;
        m_pos = oidStart;
        Token t = Next();
        if (t.type != kBare)
            return Fail(kSchemaUnexpectedToken);
        const char* mapped = SyntaxNameToOid(std::string(t.text).c_str());
        if (!mapped)
            return Fail(oidCode);
        if (*m_pos == '\'')
            ++m_pos;
        d.syntax.emplace(mapped);
        d.syntaxLength = 0;
        return true;
    }

    // The option words up to the closing ")".
    template <typename Handler>
    bool Options(Handler&& handle)
    {
        for (;;) {
            Token t = Next();
            if (t.type == kEnd)
                return Fail(kSchemaNoRightParen);
            if (t.type == kRightParen)
                return true;
            if (t.type != kBare)
                return Fail(kSchemaUnexpectedToken);
            Outcome o = handle(t.text);
            if (o == kFailed)
                return false;
            if (o == kNotKeyword)
                return Fail(kSchemaUnexpectedToken);
        }
    }

    bool OpenParen()
    {
        if (*m_pos != '(')
            return Fail(kSchemaNoLeftParen);
        ++m_pos;
        return true;
    }

private:
    const char* m_pos;
    unsigned m_flags;
    int m_code = kSchemaSuccess;
};

// Runs body on a fresh record and reports the outcome the way every parser does.
template <typename Record, typename Body>
std::unique_ptr<Record> RunParser(const char* text, int* code, const char** errorPos, unsigned flags, Body&& body)
{
    static const char kEmpty[] = "";
    if (!text) {
        if (code) *code = kSchemaNoText;
        if (errorPos) *errorPos = kEmpty;
        return nullptr;
    }
    Parser parser(text, flags);
    try {
        auto record = std::make_unique<Record>();
        if (body(parser, *record))
            return record;
        if (code) *code = parser.Code();
    } catch (const std::bad_alloc&) {
        if (code) *code = kSchemaOutOfMemory;
    }
    if (errorPos) *errorPos = parser.Position();
    return nullptr;
}

// Handles an "X-" word, or reports a word that is no keyword.
Outcome ExtensionOrUnknown(Parser& p, std::string_view w, SchemaDescriptionBase& d)
{
    if (!IsExtensionName(w))
        return kNotKeyword;
    return p.Extension(w, d.extensions) ? kHandled : kFailed;
}

} // namespace

std::unique_ptr<AttributeTypeDescription> ParseAttributeTypeDescription(
    const char* text, int* code, const char** errorPos, unsigned flags)
{
    return RunParser<AttributeTypeDescription>(text, code, errorPos, flags, [](Parser& p, AttributeTypeDescription& d) {
        if (!p.OpenParen() || !p.LeadingOid(kAttributeType, d, false, p.Flags() & kSchemaAllowNoOid))
            return false;
        unsigned seen = 0;
        return p.Options([&](std::string_view w) -> Outcome {
            Outcome o = p.Common(w, d, &d.obsolete, true, seen);
            if (o != kNotKeyword)
                return o;
            std::optional<std::string>* single = nullptr;
            unsigned bit = 0;
            if (w == "SUP") single = &d.sup, bit = kSeenSup;
            else if (w == "EQUALITY") single = &d.equality, bit = kSeenEquality;
            else if (w == "ORDERING") single = &d.ordering, bit = kSeenOrdering;
            else if (w == "SUBSTR") single = &d.substr, bit = kSeenSubstr;
            if (single)
                return p.Claim(seen, bit) && p.SingleOid(*single) ? kHandled : kFailed;
            if (w == "SYNTAX") {
                if (seen & kSeenSyntax) {
                    if (!(p.Flags() & kSchemaAllowSyntaxRepeat)) {
                        p.Fail(kSchemaDuplicateOption);
                        return kFailed;
                    }
                    d.syntax.reset();
                    d.syntaxLength = 0;
                }
                seen |= kSeenSyntax;
                return p.AttributeSyntax(d) ? kHandled : kFailed;
            }
            bool* flag = nullptr;
            if (w == "SINGLE-VALUE") flag = &d.singleValue, bit = kSeenSingleValue;
            else if (w == "COLLECTIVE") flag = &d.collective, bit = kSeenCollective;
            else if (w == "NO-USER-MODIFICATION") flag = &d.noUserModification, bit = kSeenNoUserMod;
            if (flag) {
                if (!p.Claim(seen, bit))
                    return kFailed;
                *flag = true;
                return kHandled;
            }
            if (w == "USAGE") {
                if (!p.Claim(seen, kSeenUsage))
                    return kFailed;
                Token t = p.Next();
                static const char* const kUsages[] = {"userApplications", "directoryOperation",
                                                      "distributedOperation", "dSAOperation"};
                if (t.type == kBare) {
                    for (int i = 0; i < 4; ++i) {
                        if (EqualsNoCase(t.text, kUsages[i])) {
                            d.usage = i;
                            return kHandled;
                        }
                    }
                }
                p.Fail(kSchemaUnexpectedToken);
                return kFailed;
            }
            return ExtensionOrUnknown(p, w, d);
        });
    });
}

std::unique_ptr<ObjectClassDescription> ParseObjectClassDescription(
    const char* text, int* code, const char** errorPos, unsigned flags)
{
    return RunParser<ObjectClassDescription>(text, code, errorPos, flags, [](Parser& p, ObjectClassDescription& d) {
        if (!p.OpenParen() || !p.LeadingOid(kObjectClass, d, false, p.Flags() != 0))
            return false;
        unsigned seen = 0;
        return p.Options([&](std::string_view w) -> Outcome {
            Outcome o = p.Common(w, d, &d.obsolete, true, seen);
            if (o != kNotKeyword)
                return o;
            if (w == "SUP")
                return p.Claim(seen, kSeenSup) && p.OidList(d.sup, p.Flags() != 0) ? kHandled : kFailed;
            int kind = w == "ABSTRACT" ? kClassAbstract
                     : w == "STRUCTURAL" ? kClassStructural
                     : w == "AUXILIARY" ? kClassAuxiliary : -1;
            if (kind >= 0) {
                if (!p.Claim(seen, kSeenKind))
                    return kFailed;
                d.kind = kind;
                return kHandled;
            }
            if (w == "MUST")
                return p.Claim(seen, kSeenMust) && p.OidList(d.must, false) ? kHandled : kFailed;
            if (w == "MAY")
                return p.Claim(seen, kSeenMay) && p.OidList(d.may, false) ? kHandled : kFailed;
            return ExtensionOrUnknown(p, w, d);
        });
    });
}

std::unique_ptr<MatchingRuleDescription> ParseMatchingRuleDescription(
    const char* text, int* code, const char** errorPos, unsigned flags)
{
    return RunParser<MatchingRuleDescription>(text, code, errorPos, flags, [](Parser& p, MatchingRuleDescription& d) {
        bool quoted = p.Flags() & kSchemaAllowQuotedOid;
        if (!p.OpenParen() || !p.LeadingOid(kMatchingRule, d, quoted, p.Flags() & kSchemaAllowNoOid))
            return false;
        unsigned seen = 0;
        return p.Options([&](std::string_view w) -> Outcome {
            Outcome o = p.Common(w, d, &d.obsolete, false, seen);
            if (o != kNotKeyword)
                return o;
            if (w == "SYNTAX") {
                if (!p.Claim(seen, kSeenSyntax))
                    return kFailed;
                p.SkipSpace();
                std::string_view oid;
                if (!p.NumericOid(oid, quoted))
                    return kFailed;
                d.syntax.emplace(oid);
                return kHandled;
            }
            return ExtensionOrUnknown(p, w, d);
        });
    });
}

std::unique_ptr<MatchingRuleUseDescription> ParseMatchingRuleUseDescription(
    const char* text, int* code, const char** errorPos, unsigned flags)
{
    return RunParser<MatchingRuleUseDescription>(text, code, errorPos, flags, [](Parser& p, MatchingRuleUseDescription& d) {
        bool quoted = p.Flags() & kSchemaAllowQuotedOid;
        if (!p.OpenParen() || !p.LeadingOid(kMatchingRuleUse, d, quoted, p.Flags() & kSchemaAllowNoOid))
            return false;
        unsigned seen = 0;
        return p.Options([&](std::string_view w) -> Outcome {
            Outcome o = p.Common(w, d, &d.obsolete, false, seen);
            if (o != kNotKeyword)
                return o;
            if (w == "APPLIES")
                return p.Claim(seen, kSeenApplies) && p.OidList(d.applies, p.Flags() != 0) ? kHandled : kFailed;
            return ExtensionOrUnknown(p, w, d);
        });
    });
}

std::unique_ptr<SyntaxDescription> ParseSyntaxDescription(const char* text, int* code, const char** errorPos)
{
    return RunParser<SyntaxDescription>(text, code, errorPos, 0, [](Parser& p, SyntaxDescription& d) {
        if (!p.OpenParen() || !p.LeadingOid(kSyntax, d, false, false))
            return false;
        unsigned seen = 0;
        return p.Options([&](std::string_view w) -> Outcome {
            Outcome o = p.Common(w, d, nullptr, false, seen);
            if (o != kNotKeyword)
                return o;
            return ExtensionOrUnknown(p, w, d);
        });
    });
}

const char* SchemaErrorText(int code)
{
    static const char* const kTexts[] = {
        "Success",
        "Out of memory",
        "Unexpected token",
        "Missing opening parenthesis",
        "Missing closing parenthesis",
        "Expecting digit",
        "Expecting a name",
        "Bad description",
        "Bad superiors",
        "Duplicate option",
        "Unexpected end of data",
    };
    if (code < 0 || code >= static_cast<int>(sizeof kTexts / sizeof kTexts[0]))
        return "Unknown error";
    return kTexts[code];
}

std::string DescriptionDisplayName(const SchemaDescriptionBase& d)
{
    if (!d.names.empty())
        return d.names.front();
    return d.oid.value_or(std::string());
}

const char* SyntaxNameToOid(const char* name)
{
    static const struct {
        const char* name;
        const char* oid;
    } kNames[] = {
        {"Address", "1.3.6.1.4.1.1466.115.121.1.43"},
        {"Boolean", "1.3.6.1.4.1.1466.115.121.1.7"},
        {"DirectoryString", "1.3.6.1.4.1.1466.115.121.1.15"},
        {"Direphone-Number", "1.3.6.1.4.1.1466.115.121.1.50"},
        {"DN", "1.3.6.1.4.1.1466.115.121.1.12"},
        {"DNAddress", "1.3.6.1.4.1.1466.115.121.1.12"},
        {"GeneralizedTime", "1.3.6.1.4.1.1466.115.121.1.24"},
        {"INTEGER", "1.3.6.1.4.1.1466.115.121.1.27"},
        {"NumericString", "1.3.6.1.4.1.1466.115.121.1.36"},
        {"OctetString", "1.3.6.1.4.1.1466.115.121.1.40"},
        {"OID", "1.3.6.1.4.1.1466.115.121.1.38"},
        {"ORName", "1.2.840.113556.1.4.1221"},
    };
    if (!name)
        return nullptr;
    for (const auto& n : kNames)
        if (std::strcmp(n.name, name) == 0)
            return n.oid;
    return nullptr;
}
