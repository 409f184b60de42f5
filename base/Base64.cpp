#include "base/Base64.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

char* Base64Encode(const unsigned char* data, size_t n, size_t* outLength)
{
    size_t groups = (n + 2) / 3;
    char* out = static_cast<char*>(std::malloc(groups * 4 + 1));
    if (!out) return nullptr;
    size_t o = 0, i = 0;
    for (; i + 3 <= n; i += 3) {
        unsigned v = unsigned(data[i]) << 16 | unsigned(data[i + 1]) << 8 | data[i + 2];
        out[o++] = kAlphabet[(v >> 18) & 63];
        out[o++] = kAlphabet[(v >> 12) & 63];
        out[o++] = kAlphabet[(v >> 6) & 63];
        out[o++] = kAlphabet[v & 63];
    }
    if (n - i == 1) {
        out[o++] = kAlphabet[data[i] >> 2];
        out[o++] = kAlphabet[(data[i] & 3) << 4];
        out[o++] = '=';
        out[o++] = '=';
    } else if (n - i == 2) {
        out[o++] = kAlphabet[data[i] >> 2];
        out[o++] = kAlphabet[((data[i] & 3) << 4) | (data[i + 1] >> 4)];
        out[o++] = kAlphabet[(data[i + 1] & 15) << 2];
        out[o++] = '=';
    }
    out[o] = '\0';
    if (outLength) *outLength = o;
    return out;
}

unsigned char* Base64Decode(const char* text, size_t length, size_t* outLength)
{
    static const auto table = [] {
        struct T { signed char v[256]; } t;
        std::memset(t.v, -1, sizeof t.v);
        for (int k = 0; k < 64; ++k)
            t.v[static_cast<unsigned char>(kAlphabet[k])] = static_cast<signed char>(k);
        return t;
    }();
    unsigned char* out = static_cast<unsigned char*>(std::calloc(length + 1, 1));
    if (!out) return nullptr;
    if (!text) {
        if (outLength) *outLength = 0;
        return out;
    }
    size_t valid = 0, o = 0;
    bool padded = false;
    for (size_t i = 0; i < length && text[i]; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '=') { padded = true; break; }
        if (c == ' ') c = '+';
        int v = table.v[c];
        if (v < 0) continue;
        switch (valid % 4) {
        case 0: out[o] = static_cast<unsigned char>(v << 2); break;
        case 1: out[o++] |= static_cast<unsigned char>(v >> 4); out[o] = static_cast<unsigned char>((v & 15) << 4); break;
        case 2: out[o++] |= static_cast<unsigned char>(v >> 2); out[o] = static_cast<unsigned char>((v & 3) << 6); break;
        case 3: out[o++] |= static_cast<unsigned char>(v); break;
        }
        ++valid;
    }
    if (padded && valid % 4 <= 1) {
        std::free(out);
        return nullptr;
    }
    // Clear the started, incomplete byte: the length marks the end of the data.
    std::memset(out + o, 0, length + 1 - o);
    if (outLength) *outLength = o;
    return out;
}
