#include "installer/setrune/ProductCode.h"

namespace setrune {

std::string BareProductCode(const std::string& productCode)
{
    std::string out;
    for (char c : productCode)
        if (c != '{' && c != '}' && c != '-') out.push_back(c);
    return out;
}

std::string PackProductCode(const std::string& productCode)
{
    const std::string digits = BareProductCode(productCode);
    // Where each key position takes its digit from.
    static const int kSource[32] = {7,  6,  5,  4,  3,  2,  1,  0,  11, 10, 9,  8,  15, 14, 13, 12,
                                    17, 16, 19, 18, 21, 20, 23, 22, 25, 24, 27, 26, 29, 28, 31, 30};
    std::string key;
    for (int source : kSource) {
        if (static_cast<size_t>(source) >= digits.size()) break;
        key.push_back(digits[source]);
    }
    return key;
}

} // namespace setrune
