#include "base/StringStreamIn.h"

#include <algorithm>
#include <cstring>

unsigned long StringStreamInCallback(std::string* cookie, unsigned char* buffer, long count, long* written)
{
    size_t n = 0;
    if (cookie && buffer && count > 0) {
        n = std::min(static_cast<size_t>(count), cookie->size());
        std::memcpy(buffer, cookie->data(), n);
        cookie->erase(0, n);
    }
    if (written) *written = static_cast<long>(n);
    return 0;
}
