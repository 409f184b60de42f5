#include "base/PercentEncoding.h"

bool IsUrlUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AppendPercentEncoded(std::string& out, unsigned char c)
{
    static const char kHex[] = "0123456789ABCDEF";
    out.push_back('%');
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 0xF]);
}

std::string PercentEncode(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (IsUrlUnreserved(c))
            out.push_back(static_cast<char>(c));
        else
            AppendPercentEncoded(out, c);
    }
    return out;
}
