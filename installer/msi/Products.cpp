#include "installer/msi/Products.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "installer/msi/Machine.h"
#include "installer/msi/TextOut.h"

namespace msi {
namespace {

bool SameCode(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

bool IsBracedGuid(const char* text)
{
    if (!text || std::strlen(text) != 38 || text[0] != '{' || text[37] != '}') return false;
    for (int i = 1; i < 37; ++i) {
        bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
        if (hyphen ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

void Products::Add(const std::string& productCode, const std::string& upgradeCode,
                   std::map<std::string, std::string> info)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    products_.push_back({productCode, upgradeCode, std::move(info)});
}

void Products::Clear()
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    products_.clear();
}

UINT Products::Info(const std::string& productCode, const std::string& property, std::string* value) const
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    for (const auto& p : products_) {
        if (!SameCode(p.code, productCode)) continue;
        auto it = p.info.find(property);
        if (it == p.info.end()) return ERROR_UNKNOWN_PROPERTY;
        *value = it->second;
        return ERROR_SUCCESS;
    }
    return ERROR_UNKNOWN_PRODUCT;
}

std::vector<std::string> Products::Related(const std::string& upgradeCode) const
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    std::vector<std::string> out;
    for (const auto& p : products_)
        if (!p.upgradeCode.empty() && SameCode(p.upgradeCode, upgradeCode)) out.push_back(p.code);
    return out;
}

} // namespace msi

extern "C" UINT MsiGetProductInfoA(const char* szProduct, const char* szProperty, char* lpValueBuf,
                                   DWORD* pcchValueBuf)
{
    if (!msi::IsBracedGuid(szProduct) || !szProperty) return ERROR_INVALID_PARAMETER;
    std::string value;
    UINT r = msi::Machine::Get().GetProducts().Info(szProduct, szProperty, &value);
    return r == ERROR_SUCCESS ? msi::CopyOut(value, lpValueBuf, pcchValueBuf) : r;
}

extern "C" UINT MsiEnumRelatedProductsA(const char* lpUpgradeCode, DWORD dwReserved, DWORD iProductIndex,
                                        char* lpProductBuf)
{
    if (dwReserved != 0 || !msi::IsBracedGuid(lpUpgradeCode) || !lpProductBuf) return ERROR_INVALID_PARAMETER;
    auto related = msi::Machine::Get().GetProducts().Related(lpUpgradeCode);
    if (iProductIndex >= related.size()) return ERROR_NO_MORE_ITEMS;
    const std::string& code = related[iProductIndex];
    std::memcpy(lpProductBuf, code.c_str(), std::min<size_t>(code.size(), 38) + 1);
    lpProductBuf[38] = 0;
    return ERROR_SUCCESS;
}
