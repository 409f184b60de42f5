#include "model/values/ValueLinks.h"

namespace {

bool IsKeptInAddress(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '@': case '.': case '-': case '_': case '~': case '!': case '$': case '\'': case '*': case '+':
        return true;
    default:
        return false;
    }
}

} // namespace

std::string MakeMailtoLink(const std::string& address)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string link = "mailto:";
    for (char ch : address) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (IsKeptInAddress(c)) {
            link += ch;
        } else {
            link += '%';
            link += kHex[c >> 4];
            link += kHex[c & 0x0F];
        }
    }
    return link;
}

std::string GetLabeledUriLink(const std::string& value)
{
    size_t blank = value.find(' ');
    return blank == std::string::npos ? value : value.substr(0, blank);
}
