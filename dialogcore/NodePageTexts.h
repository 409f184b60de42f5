#pragma once
// What the entry and value property pages show, read from the node once
// when the page is made: the page keeps only these texts, so a node that
// goes while its sheet is open is never touched again.

#include <string>

class CAttrObject;
class CEntryObject;

struct EntryPageTexts {
    unsigned iconId = 0;  // 270 with the children loaded, else 294
    std::wstring url;
    std::wstring dn;  // "RootDSE" for the empty DN
    std::wstring size;  // "N/A" while the children are not loaded
    std::wstring childEntries;
    std::wstring attributes;
    std::wstring modifiedBy;
    std::wstring modifiedAt;
    std::wstring createdBy;
    std::wstring createdAt;
};

EntryPageTexts ReadEntryPage(const CEntryObject& entry);

// The schema flags of a value's attribute, in the order the page lists them.
enum AttributeFlag { kFlagSingleValued, kFlagUserModifiable, kFlagObsolete, kFlagCollective, kAttributeFlagCount };

struct AttributePageTexts {
    unsigned iconId = 0;  // 434 operational, 436 binary, else 432
    std::wstring dn;  // the owning entry's, "RootDSE" when empty
    std::wstring name;
    std::wstring value;
    std::wstring syntaxName;  // "N/A" when the schema has none
    std::wstring syntaxOid;   // "N/A" when the schema has none
    std::wstring type;
    std::wstring size;
    std::wstring usage;
    bool flags[kAttributeFlagCount] = {};
    unsigned flagStrings[kAttributeFlagCount] = {632, 633, 634, 635};
};

// The schema is that of the value's server, asked for the name without its
// options.
AttributePageTexts ReadAttributePage(const CAttrObject& value);
