// UpgradeCheckEx: each Upgrade row's action property gets the codes of its
// related products (systems of the 9x family).

#include <string>

#include "installer/setrune/Actions.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/Related.h"

namespace {

// The product's language among the row's list of numbers separated by ';'.
bool LanguageListed(const std::string& list, long language)
{
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string item = list.substr(start, end - start);
        if (item.find_first_not_of(" \t") != std::string::npos && setrune::ToLong(item) == language) return true;
        start = end + 1;
    }
    return false;
}

bool Taken(const setrune::UpgradeRow& row, const std::string& product)
{
    if (row.language.empty()) return true;
    char language[256];
    DWORD count = sizeof language;
    if (MsiGetProductInfoA(product.c_str(), "Language", language, &count) != ERROR_SUCCESS) return false;
    bool listed = LanguageListed(row.language, setrune::ToLong(language));
    return (row.attributes & setrune::kLanguagesExclusive) ? !listed : listed;
}

// True when a row's action property already holds a value.
bool AlreadyFilled(MSIHANDLE hInstall, MSIHANDLE db)
{
    setrune::MsiHandle view, record;
    if (MsiDatabaseOpenViewA(db, "SELECT `ActionProperty` from Upgrade", view.Put()) != ERROR_SUCCESS ||
        MsiViewExecute(view, 0) != ERROR_SUCCESS)
        return false;
    bool filled = false;
    while (!filled && MsiViewFetch(view, record.Put()) == ERROR_SUCCESS) {
        std::string name;
        if (setrune::GetFieldText(record, 1, 256, &name) && !name.empty())
            filled = setrune::PropertyHoldsValue(hInstall, name.c_str(), 1024);
    }
    MsiViewClose(view);
    return filled;
}

} // namespace

SETRUNE_ACTION UpgradeCheckEx(MSIHANDLE hInstall)
{
    setrune::RelatedProducts related;
    if (!related.Start(hInstall, true) || AlreadyFilled(hInstall, related.Database())) return ERROR_SUCCESS;
    setrune::MsiHandle view;
    if (MsiDatabaseOpenViewA(related.Database(),
                             "SELECT `UpgradeCode`,`VersionMin`,`VersionMax`,`Language`,`Attributes`,"
                             "`ActionProperty` from Upgrade",
                             view.Put()) != ERROR_SUCCESS ||
        MsiViewExecute(view, 0) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    setrune::MsiHandle record;
    while (MsiViewFetch(view, record.Put()) == ERROR_SUCCESS) {
        setrune::UpgradeRow row;
        if (!setrune::ReadUpgradeRow(record, true, &row)) continue;
        for (const auto& product : related.InRange(row)) {
            if (!Taken(row, product) || row.actionProperty.empty()) continue;
            std::string value;
            if (!setrune::GetWholeProperty(hInstall, row.actionProperty.c_str(), &value)) continue;
            if (!value.empty()) value += ";";
            value += product;
            MsiSetPropertyA(hInstall, row.actionProperty.c_str(), value.c_str());
        }
    }
    MsiViewClose(view);
    return ERROR_SUCCESS;
}
