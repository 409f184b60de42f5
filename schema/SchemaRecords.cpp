#include "schema/SchemaRecords.h"

namespace {

StringList ToStringList(const SchemaStrings& strings)
{
    StringList list;
    for (const std::string& s : strings)
        list.Add(s);
    return list;
}

const std::string& OrEmpty(const std::optional<std::string>& s)
{
    static const std::string kEmpty;
    return s ? *s : kEmpty;
}

} // namespace

SchemaExtensionMap MakeExtensionMap(const SchemaExtensionItems& items)
{
    SchemaExtensionMap map;
    for (const SchemaExtensionItem& item : items) {
        SchemaExtension& x = map[item.name];
        x.name = item.name;
        x.values = ToStringList(item.values);
    }
    return map;
}

SchemaElement::SchemaElement(const SchemaDescriptionBase& d)
    : m_oid(OrEmpty(d.oid)),
      m_names(ToStringList(d.names)),
      m_desc(OrEmpty(d.desc)),
      m_extensions(MakeExtensionMap(d.extensions))
{
}

std::string SchemaElement::GetDisplayName() const
{
    return m_names.IsEmpty() ? m_oid : *m_names.begin();
}

bool SchemaElement::GetExtension(const std::string& name, StringList& values) const
{
    values.Clear();
    auto it = m_extensions.find(name);
    if (it != m_extensions.end())
        values = it->second.values;
    return values.IsEmpty();
}

SchemaAttributeType::SchemaAttributeType(const AttributeTypeDescription& d)
    : SchemaElement(d),
      m_obsolete(d.obsolete),
      m_sup(OrEmpty(d.sup)),
      m_equality(OrEmpty(d.equality)),
      m_ordering(OrEmpty(d.ordering)),
      m_substr(OrEmpty(d.substr)),
      m_syntax(OrEmpty(d.syntax)),
      m_syntaxLength(d.syntaxLength),
      m_singleValue(d.singleValue),
      m_collective(d.collective),
      m_noUserModification(d.noUserModification),
      m_usage(d.usage),
      m_humanReadable(true)
{
}

bool SchemaAttributeType::operator==(const SchemaAttributeType& o) const
{
    return ElementEquals(o) && m_obsolete == o.m_obsolete && m_sup == o.m_sup && m_equality == o.m_equality
        && m_ordering == o.m_ordering && m_substr == o.m_substr && m_syntax == o.m_syntax
        && m_syntaxLength == o.m_syntaxLength && m_singleValue == o.m_singleValue
        && m_collective == o.m_collective && m_noUserModification == o.m_noUserModification
        && m_usage == o.m_usage && m_humanReadable == o.m_humanReadable;
}

SchemaObjectClass::SchemaObjectClass(const ObjectClassDescription& d)
    : SchemaElement(d),
      m_obsolete(d.obsolete),
      m_sup(ToStringList(d.sup)),
      m_kind(d.kind),
      m_must(ToStringList(d.must)),
      m_may(ToStringList(d.may))
{
}

bool SchemaObjectClass::operator==(const SchemaObjectClass& o) const
{
    return ElementEquals(o) && m_obsolete == o.m_obsolete && m_sup == o.m_sup && m_kind == o.m_kind
        && m_must == o.m_must && m_may == o.m_may;
}

SchemaMatchingRule::SchemaMatchingRule(const MatchingRuleDescription& d)
    : SchemaElement(d), m_obsolete(d.obsolete), m_syntax(OrEmpty(d.syntax))
{
}

bool SchemaMatchingRule::operator==(const SchemaMatchingRule& o) const
{
    return ElementEquals(o) && m_obsolete == o.m_obsolete && m_syntax == o.m_syntax;
}

SchemaMatchingRuleUse::SchemaMatchingRuleUse(const MatchingRuleUseDescription& d)
    : SchemaElement(d), m_obsolete(d.obsolete), m_applies(ToStringList(d.applies))
{
}

bool SchemaMatchingRuleUse::operator==(const SchemaMatchingRuleUse& o) const
{
    return ElementEquals(o) && m_obsolete == o.m_obsolete && m_applies == o.m_applies;
}
