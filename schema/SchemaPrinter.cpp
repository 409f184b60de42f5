#include "schema/SchemaDescriptions.h"

#include <cstdio>

namespace {

class Printer {
public:
    Printer() { m_out.reserve(256); }

    std::string Take() { return std::move(m_out); }

    void Word(const char* w) { m_out += w; }
    void Word(const std::string& w) { m_out += w; }

    // One space, unless the text already ends in whitespace.
    void Separator()
    {
        if (!m_out.empty()) {
            char c = m_out.back();
            if (c == ' ' || c == '\t' || c == '\n')
                return;
        }
        m_out += ' ';
    }

    // A quote or backslash inside becomes \27 or \5C, which the parser reads back.
    void Quoted(const std::string& s)
    {
        m_out += '\'';
        for (char c : s) {
            if (c == '\'')
                m_out += "\\27";
            else if (c == '\\')
                m_out += "\\5C";
            else
                m_out += c;
        }
        m_out += '\'';
    }

    // One quoted name, or "( 'a' 'b' )".
    void NameList(const SchemaStrings& names)
    {
        if (names.size() == 1) {
            Separator();
            Quoted(names.front());
            Separator();
            return;
        }
        Separator();
        Word("(");
        for (const std::string& n : names) {
            Separator();
            Quoted(n);
        }
        Separator();
        Word(")");
        Separator();
    }

    // An item that would not read back as one bare word (empty, or holding
    // blanks, parentheses, '$' or quotes) came from a quoted item and is
    // written quoted again where the list allows it.
    void Item(const std::string& item, bool quoteOdd)
    {
        if (quoteOdd && (item.empty() || item.find_first_of(" \t\n()$'") != std::string::npos))
            Quoted(item);
        else
            Word(item);
    }

    // One OID, or "(a $ b )".
    void OidList(const SchemaStrings& oids, bool quoteOdd)
    {
        if (oids.size() == 1) {
            Separator();
            Item(oids.front(), quoteOdd);
            Separator();
            return;
        }
        Word("(");
        bool first = true;
        for (const std::string& o : oids) {
            if (!first) {
                Separator();
                Word("$");
                Separator();
            }
            first = false;
            Item(o, quoteOdd);
        }
        Separator();
        Word(")");
    }

    void Begin(const SchemaDescriptionBase& d)
    {
        Word("(");
        Separator();
        if (d.oid)
            Word(*d.oid);
        Separator();
    }

    void Names(const SchemaDescriptionBase& d)
    {
        if (d.names.empty())
            return;
        Word("NAME");
        NameList(d.names);
    }

    void Desc(const SchemaDescriptionBase& d)
    {
        if (!d.desc)
            return;
        Word("DESC");
        Separator();
        Quoted(*d.desc);
        Separator();
    }

    void Flag(bool on, const char* keyword)
    {
        if (!on)
            return;
        Word(keyword);
        Separator();
    }

    void Oid(const std::optional<std::string>& oid, const char* keyword)
    {
        if (!oid)
            return;
        Word(keyword);
        Separator();
        Word(*oid);
        Separator();
    }

    void List(const SchemaStrings& oids, const char* keyword, bool quoteOdd = false)
    {
        if (oids.empty())
            return;
        Word(keyword);
        Separator();
        OidList(oids, quoteOdd);
        Separator();
    }

    void End(const SchemaDescriptionBase& d)
    {
        Separator();
        for (const SchemaExtensionItem& x : d.extensions) {
            Word(x.name);
            Separator();
            NameList(x.values);
            Separator();
        }
        Word(")");
    }

private:
    std::string m_out;
};

} // namespace

std::string PrintSyntaxDescription(const SyntaxDescription& d)
{
    Printer p;
    p.Begin(d);
    p.Names(d);
    p.Desc(d);
    p.End(d);
    return p.Take();
}

std::string PrintMatchingRuleDescription(const MatchingRuleDescription& d)
{
    Printer p;
    p.Begin(d);
    p.Names(d);
    p.Desc(d);
    p.Flag(d.obsolete, "OBSOLETE");
    p.Oid(d.syntax, "SYNTAX");
    p.End(d);
    return p.Take();
}

std::string PrintMatchingRuleUseDescription(const MatchingRuleUseDescription& d)
{
    Printer p;
    p.Begin(d);
    p.Names(d);
    p.Desc(d);
    p.Flag(d.obsolete, "OBSOLETE");
    p.List(d.applies, "APPLIES", true);
    p.End(d);
    return p.Take();
}

std::string PrintObjectClassDescription(const ObjectClassDescription& d)
{
    Printer p;
    p.Begin(d);
    p.Names(d);
    p.Desc(d);
    p.Flag(d.obsolete, "OBSOLETE");
    p.List(d.sup, "SUP", true);
    switch (d.kind) {
    case kClassAbstract: p.Word("ABSTRACT"); break;
    case kClassStructural: p.Word("STRUCTURAL"); break;
    case kClassAuxiliary: p.Word("AUXILIARY"); break;
    default: p.Word("KIND-UNKNOWN"); break;
    }
    p.Separator();
    p.List(d.must, "MUST");
    p.List(d.may, "MAY");
    p.End(d);
    return p.Take();
}

std::string PrintAttributeTypeDescription(const AttributeTypeDescription& d)
{
    Printer p;
    p.Begin(d);
    p.Names(d);
    p.Desc(d);
    p.Flag(d.obsolete, "OBSOLETE");
    p.Oid(d.sup, "SUP");
    p.Oid(d.equality, "EQUALITY");
    p.Oid(d.ordering, "ORDERING");
    p.Oid(d.substr, "SUBSTR");
    if (d.syntax) {
        p.Word("SYNTAX");
        p.Separator();
        p.Word(*d.syntax);
        if (d.syntaxLength != 0) {
            char length[16];
            std::snprintf(length, sizeof length, "{%d}", d.syntaxLength);
            p.Word(length);
        }
        p.Separator();
    }
    p.Flag(d.singleValue, "SINGLE-VALUE");
    p.Flag(d.collective, "COLLECTIVE");
    p.Flag(d.noUserModification, "NO-USER-MODIFICATION");
    if (d.usage != kUsageUserApplications) {
        p.Word("USAGE");
        p.Separator();
        switch (d.usage) {
        case kUsageDirectoryOperation: p.Word("directoryOperation"); break;
        case kUsageDistributedOperation: p.Word("distributedOperation"); break;
        case kUsageDSAOperation: p.Word("dSAOperation"); break;
        default: p.Word("UNKNOWN"); break;
        }
    }
    p.End(d);
    return p.Take();
}
