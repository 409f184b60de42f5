#include "installer/setrune/Wide.h"

namespace setrune {

std::wstring Widen(const std::string& text)
{
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF5 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
        unsigned long code = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
        bool valid = extra > 0 && i + extra < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            unsigned char d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) valid = false;
            else code = code << 6 | (d & 0x3F);
        }
        if (extra > 0 && valid) {
            out.push_back(static_cast<wchar_t>(code));
            i += static_cast<size_t>(extra) + 1;
        } else {
            out.push_back(static_cast<wchar_t>(c));
            ++i;
        }
    }
    return out;
}

} // namespace setrune
