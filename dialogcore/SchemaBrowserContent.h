#pragma once
// What the schema browser shows, without the window: the element kinds a
// schema offers, the General summary, the labels of a kind's elements and
// the detail lines of one element, as wide texts with the images of the
// browser's image strip.

#include <cstdint>
#include <string>
#include <vector>

#include "schema/LDAPSchema.h"

// The kinds of the browser, by the data its choice list carries.
enum SchemaBrowserKind : int {
    kBrowseGeneral = 0,
    kBrowseAttributeTypes = 1,
    kBrowseObjectClasses = 2,
    kBrowseMatchingRules = 3,
    kBrowseMatchingRuleUse = 4,
    kBrowseSyntaxes = 5,
};

// Images of the strip (bitmap 210).
constexpr int kSchemaImageDetail = 3;
constexpr int kSchemaImageGroup = 9;
constexpr int kSchemaImageGroupSelected = 22;

struct SchemaKindChoice {
    std::wstring name;
    int kind;
};

// "General", then each kind that has elements in the order Syntaxes,
// Attribute Types, Object Classes, Matching Rules, Matching Rule Use;
// General alone unless withElements.
std::vector<SchemaKindChoice> SchemaKindChoices(const CSchemaContent& content, bool withElements);

struct SchemaTreeItem {
    std::wstring text;
    int image = kSchemaImageDetail;
    int selectedImage = kSchemaImageDetail;
    std::vector<SchemaTreeItem> children;

    bool IsGroup() const { return image == kSchemaImageGroup; }
};

// A titled group of one line per string.
SchemaTreeItem SchemaGroupItem(const std::wstring& title, const StringList& lines);

// The General summary: the subschema DN and the load state, and, once
// loading has ended, a group (titled groupTitle) with the time stamp and the
// count of each kind that has elements.
std::vector<SchemaTreeItem> SchemaGeneralItems(int loadState, const CSchemaContent& content, int64_t timestamp,
                                               const std::wstring& groupTitle);
// "Schema fetch in progress...", ... for a load state.
std::wstring SchemaLoadStateText(int loadState);
// The stamp YYYYMMDDHHMMSS as "%A, %B %d, %Y %H:%M:%S"; the number itself
// when it is not such a stamp.
std::wstring SchemaTimestampText(int64_t timestamp);

struct SchemaElementLabel {
    std::wstring label;
    std::string oid;  // the element's key in its map
};

// One label per element of the kind, sorted ignoring case: the first NAME
// (the OID when it has none) in names mode, else the OID.
std::vector<SchemaElementLabel> SchemaElementLabels(const CSchemaContent& content, int kind, bool namesMode);

// The detail lines of the kind's element with that OID; none when there is
// no such element. yes and no: the words of true and false values.
std::vector<SchemaTreeItem> SchemaElementDetails(const CSchemaContent& content, int kind, const std::string& oid,
                                                 bool namesMode, const std::wstring& yes, const std::wstring& no);
