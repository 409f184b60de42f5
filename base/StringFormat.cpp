#include "base/StringFormat.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

void FormatString(std::string& out, const char* format, ...)
{
    if (!format) {
        out.clear();
        return;
    }
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (n < 0) {
        va_end(again);
        out.clear();
        return;
    }
    out.assign(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), format, again);
    va_end(again);
    out.resize(std::strlen(out.c_str()));
}
