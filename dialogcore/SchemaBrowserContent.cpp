#include "dialogcore/SchemaBrowserContent.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <cwctype>

#include "base/Utf8.h"
#include "platform/TimeStamps.h"

namespace {

std::wstring W(const std::string& utf8)
{
    return Utf8ToWideString(utf8);
}

SchemaTreeItem Line(const std::wstring& text)
{
    SchemaTreeItem item;
    item.text = text;
    return item;
}

SchemaTreeItem Line(const wchar_t* label, const std::string& value)
{
    return Line(label + W(value));
}

SchemaTreeItem Line(const wchar_t* label, const std::wstring& value)
{
    return Line(label + value);
}

size_t KindCount(const CSchemaContent& content, int kind)
{
    switch (kind) {
    case kBrowseAttributeTypes: return content.GetAttributeTypes().size();
    case kBrowseObjectClasses: return content.GetObjectClasses().size();
    case kBrowseMatchingRules: return content.GetMatchingRules().size();
    case kBrowseMatchingRuleUse: return content.GetMatchingRuleUses().size();
    case kBrowseSyntaxes: return content.GetSyntaxes().size();
    default: return 0;
    }
}

const int kOfferOrder[] = {kBrowseSyntaxes, kBrowseAttributeTypes, kBrowseObjectClasses, kBrowseMatchingRules,
                           kBrowseMatchingRuleUse};

const wchar_t* KindName(int kind)
{
    switch (kind) {
    case kBrowseGeneral: return L"General";
    case kBrowseAttributeTypes: return L"Attribute Types";
    case kBrowseObjectClasses: return L"Object Classes";
    case kBrowseMatchingRules: return L"Matching Rules";
    case kBrowseMatchingRuleUse: return L"Matching Rule Use";
    case kBrowseSyntaxes: return L"Syntaxes";
    default: return L"";
    }
}

const wchar_t* CountFormat(int kind)
{
    switch (kind) {
    case kBrowseAttributeTypes: return L"AttributeTypes: %d";
    case kBrowseObjectClasses: return L"ObjectClasses: %d";
    case kBrowseMatchingRules: return L"MatchingRules: %d";
    case kBrowseMatchingRuleUse: return L"MatchingRuleUses: %d";
    case kBrowseSyntaxes: return L"Syntaxes: %d";
    default: return L"";
    }
}

std::wstring FormatInt(const wchar_t* format, long long value)
{
    wchar_t text[128];
    std::swprintf(text, sizeof text / sizeof text[0], format, static_cast<int>(value));
    return text;
}

bool LessNoCase(const std::wstring& a, const std::wstring& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) < std::towlower(static_cast<wint_t>(y));
    });
}

template <class Map>
void AddLabels(const Map& map, bool namesMode, std::vector<SchemaElementLabel>& out)
{
    for (const auto& entry : map)
        out.push_back({W(namesMode ? entry.second.GetDisplayName() : entry.second.GetOID()), entry.first});
}

// Names, OID, description and extensions: the lines every kind starts with.
void AddCommonLines(const SchemaElement& e, bool namesMode, std::vector<SchemaTreeItem>& out)
{
    const StringList& names = e.GetNames();
    if (names.GetCount() >= 2)
        out.push_back(SchemaGroupItem(L"Names", names));
    else if (names.GetCount() == 1)
        out.push_back(Line(L"Name: ", *names.begin()));
    if (namesMode) out.push_back(Line(L"OID: ", e.GetOID()));
    out.push_back(Line(L"Description: ", e.GetDescription()));
    if (!e.GetExtensions().empty()) {
        SchemaTreeItem group = SchemaGroupItem(L"Extentions", StringList());
        for (const auto& extension : e.GetExtensions())
            group.children.push_back(SchemaGroupItem(W(extension.second.name), extension.second.values));
        out.push_back(group);
    }
}

void AddIfSet(const wchar_t* label, const std::string& value, std::vector<SchemaTreeItem>& out)
{
    if (!value.empty()) out.push_back(Line(label, value));
}

void AddListOrGroup(const wchar_t* one, const wchar_t* title, const StringList& values,
                    std::vector<SchemaTreeItem>& out)
{
    if (values.GetCount() == 1)
        out.push_back(Line(one, *values.begin()));
    else if (values.GetCount() > 1)
        out.push_back(SchemaGroupItem(title, values));
}

const wchar_t* UsageText(int usage)
{
    switch (usage) {
    case kUsageUserApplications: return L"User Application";
    case kUsageDirectoryOperation: return L"Directory Operation";
    case kUsageDistributedOperation: return L"Distributed Operation";
    case kUsageDSAOperation: return L"DSA Operation";
    default: return L"Unknown or invalid";
    }
}

const wchar_t* ClassKindText(int kind)
{
    switch (kind) {
    case kClassAbstract: return L"Abstract";
    case kClassStructural: return L"Structural";
    case kClassAuxiliary: return L"Auxiliary";
    default: return L"Unknown or invalid";
    }
}

template <class Map>
const typename Map::mapped_type* Find(const Map& map, const std::string& oid)
{
    auto it = map.find(oid);
    return it == map.end() ? nullptr : &it->second;
}

} // namespace

std::vector<SchemaKindChoice> SchemaKindChoices(const CSchemaContent& content, bool withElements)
{
    std::vector<SchemaKindChoice> choices{{KindName(kBrowseGeneral), kBrowseGeneral}};
    if (!withElements) return choices;
    for (int kind : kOfferOrder)
        if (KindCount(content, kind) > 0) choices.push_back({KindName(kind), kind});
    return choices;
}

SchemaTreeItem SchemaGroupItem(const std::wstring& title, const StringList& lines)
{
    SchemaTreeItem group;
    group.text = title;
    group.image = kSchemaImageGroup;
    group.selectedImage = kSchemaImageGroupSelected;
    for (const std::string& line : lines) group.children.push_back(Line(W(line)));
    return group;
}

std::wstring SchemaLoadStateText(int loadState)
{
    switch (loadState) {
    case kSchemaFetchInProgress: return L"Schema fetch in progress...";
    case kSchemaFetchFailed: return L"Schema fetch failed";
    case kSchemaDefaultUsed: return L"Default schema was used";
    case kSchemaLoaded: return L"Schema loaded";
    default: return L"Unknown status";
    }
}

std::wstring SchemaTimestampText(int64_t timestamp)
{
    std::time_t time = 0;
    const std::wstring digits = std::to_wstring(timestamp);
    std::tm local{};
    wchar_t text[160];
    if (timestamp > 0 && platform::ParseTimeStamp(digits, time) && time != static_cast<std::time_t>(-1) &&
        localtime_r(&time, &local) &&
        std::wcsftime(text, sizeof text / sizeof text[0], L"%A, %B %d, %Y %H:%M:%S", &local) > 0)
        return text;
    return digits;
}

std::vector<SchemaTreeItem> SchemaGeneralItems(int loadState, const CSchemaContent& content, int64_t timestamp,
                                               const std::wstring& groupTitle)
{
    std::vector<SchemaTreeItem> items;
    items.push_back(Line(L"Schema DN: ", content.GetRootInfo().subschemaDN));
    items.push_back(Line(L"Schema status: ", SchemaLoadStateText(loadState)));
    if (loadState == kSchemaFetchInProgress) return items;
    SchemaTreeItem group = SchemaGroupItem(groupTitle, StringList());
    group.children.push_back(Line(L"Timestamp: ", SchemaTimestampText(timestamp)));
    for (int kind : kOfferOrder) {
        const size_t count = KindCount(content, kind);
        if (count > 0) group.children.push_back(Line(FormatInt(CountFormat(kind), static_cast<long long>(count))));
    }
    items.push_back(group);
    return items;
}

std::vector<SchemaElementLabel> SchemaElementLabels(const CSchemaContent& content, int kind, bool namesMode)
{
    std::vector<SchemaElementLabel> labels;
    switch (kind) {
    case kBrowseAttributeTypes: AddLabels(content.GetAttributeTypes(), namesMode, labels); break;
    case kBrowseObjectClasses: AddLabels(content.GetObjectClasses(), namesMode, labels); break;
    case kBrowseMatchingRules: AddLabels(content.GetMatchingRules(), namesMode, labels); break;
    case kBrowseMatchingRuleUse: AddLabels(content.GetMatchingRuleUses(), namesMode, labels); break;
    case kBrowseSyntaxes: AddLabels(content.GetSyntaxes(), namesMode, labels); break;
    default: break;
    }
    std::stable_sort(labels.begin(), labels.end(),
                     [](const SchemaElementLabel& a, const SchemaElementLabel& b) { return LessNoCase(a.label, b.label); });
    return labels;
}

std::vector<SchemaTreeItem> SchemaElementDetails(const CSchemaContent& content, int kind, const std::string& oid,
                                                 bool namesMode, const std::wstring& yes, const std::wstring& no)
{
    std::vector<SchemaTreeItem> out;
    auto flag = [&](const wchar_t* label, bool value) { out.push_back(Line(label, value ? yes : no)); };
    switch (kind) {
    case kBrowseAttributeTypes:
        if (const SchemaAttributeType* a = Find(content.GetAttributeTypes(), oid)) {
            AddCommonLines(*a, namesMode, out);
            flag(L"Obsolete: ", a->IsObsolete());
            AddIfSet(L"Superior: ", a->GetSuperior(), out);
            AddIfSet(L"Equality OID: ", a->GetEquality(), out);
            AddIfSet(L"Ordering OID: ", a->GetOrdering(), out);
            AddIfSet(L"Substring OID: ", a->GetSubstring(), out);
            AddIfSet(L"Syntax OID: ", a->GetSyntax(), out);
            if (a->GetSyntaxLength() != 0)
                out.push_back(Line(FormatInt(L"Max. attribute value length: %d", a->GetSyntaxLength())));
            flag(L"Single value: ", a->IsSingleValue());
            flag(L"Collective: ", a->IsCollective());
            flag(L"Read only: ", !a->IsUserModifiable());
            out.push_back(Line(L"Usage: ", std::wstring(UsageText(a->GetUsage()))));
        }
        break;
    case kBrowseObjectClasses:
        if (const SchemaObjectClass* c = Find(content.GetObjectClasses(), oid)) {
            AddCommonLines(*c, namesMode, out);
            flag(L"Obsolete: ", c->IsObsolete());
            AddListOrGroup(L"Superior: ", L"Superiors", c->GetSuperiors(), out);
            out.push_back(Line(L"Kind: ", std::wstring(ClassKindText(c->GetKind()))));
            if (!c->GetMust().IsEmpty()) out.push_back(SchemaGroupItem(L"Must", c->GetMust()));
            if (!c->GetMay().IsEmpty()) out.push_back(SchemaGroupItem(L"May", c->GetMay()));
        }
        break;
    case kBrowseMatchingRules:
        if (const SchemaMatchingRule* r = Find(content.GetMatchingRules(), oid)) {
            AddCommonLines(*r, namesMode, out);
            flag(L"Obsolete: ", r->IsObsolete());
            AddIfSet(L"Syntax OID: ", r->GetSyntax(), out);
        }
        break;
    case kBrowseMatchingRuleUse:
        if (const SchemaMatchingRuleUse* u = Find(content.GetMatchingRuleUses(), oid)) {
            AddCommonLines(*u, namesMode, out);
            flag(L"Obsolete: ", u->IsObsolete());
            if (!u->GetApplies().IsEmpty()) out.push_back(SchemaGroupItem(L"Applies OIDs", u->GetApplies()));
        }
        break;
    case kBrowseSyntaxes:
        if (const SchemaSyntax* s = Find(content.GetSyntaxes(), oid)) AddCommonLines(*s, namesMode, out);
        break;
    default: break;
    }
    return out;
}
