#pragma once
// What both upgrade checks share: the related products of an Upgrade row
// whose version lies in the row's range.

#include <string>
#include <vector>

#include "installer/msi/Msi.h"
#include "installer/setrune/MsiHandle.h"

namespace setrune {

// Attribute bits of an Upgrade row.
const int kMinInclusive = 0x100;
const int kMaxInclusive = 0x200;
const int kLanguagesExclusive = 0x400;

// <0, 0, >0: the texts read part by part, each part the number at its start
// (0 past the end), parts separated by '.' followed by any '.' and blanks.
int CompareVersions(const std::string& version, const std::string& bound);
// An empty bound is no bound.
bool VersionInRange(const std::string& version, const std::string& min, const std::string& max, int attributes);

struct UpgradeRow {
    std::string upgradeCode, versionMin, versionMax, language, actionProperty;
    int attributes = 0;
};

// The steps both checks begin with: not deferred, the right family of
// systems (Version9X empty for NT, set for 9x), the installer library's
// MsiEnumRelatedProductsA and the active database.
class RelatedProducts {
public:
    RelatedProducts() = default;
    ~RelatedProducts();
    RelatedProducts(const RelatedProducts&) = delete;
    RelatedProducts& operator=(const RelatedProducts&) = delete;

    bool Start(MSIHANDLE hInstall, bool windows9x);
    MSIHANDLE Database() const { return db_; }

    // Related products of the row whose "VersionString" is in range.
    std::vector<std::string> InRange(const UpgradeRow& row) const;

private:
    using EnumRelated = UINT (*)(const char*, DWORD, DWORD, char*);
    void* library_ = nullptr;
    EnumRelated enumRelated_ = nullptr;
    MsiHandle db_;
};

// One row of an Upgrade view: text columns from 1 in the order of names,
// each read into 256 bytes; "Attributes" as a number (null: 0).
bool ReadUpgradeRow(MSIHANDLE record, bool withActionProperty, UpgradeRow* row);

} // namespace setrune
