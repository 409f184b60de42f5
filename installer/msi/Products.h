#pragma once
// The machine's installed products: each product code with its information
// ("VersionString", "Language", "InstalledProductName", ...) and the upgrade
// code that relates it to other packages.

#include <map>
#include <string>
#include <vector>

#include "installer/msi/Msi.h"

namespace msi {

class Products {
public:
    void Add(const std::string& productCode, const std::string& upgradeCode,
             std::map<std::string, std::string> info);
    void Clear();

    // ERROR_SUCCESS, ERROR_UNKNOWN_PRODUCT or ERROR_UNKNOWN_PROPERTY.
    UINT Info(const std::string& productCode, const std::string& property, std::string* value) const;
    // Product codes related to upgradeCode, in the order they were added.
    std::vector<std::string> Related(const std::string& upgradeCode) const;

private:
    struct Product {
        std::string code, upgradeCode;
        std::map<std::string, std::string> info;
    };
    std::vector<Product> products_;
};

// A product or upgrade code in its braced form: 38 characters.
bool IsBracedGuid(const char* text);

} // namespace msi
