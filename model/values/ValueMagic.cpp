#include "model/values/ValueMagic.h"

#include <cstring>

bool HasMagic(const std::string& value, const char* magic, size_t size)
{
    if (size == 0 || value.size() < size)
        return false;
    return std::memcmp(value.data(), magic, size - 1) == 0;
}

namespace {

struct Signature {
    const char* magic;
    size_t size;
    const char* extension;
};

#define ARB_SIGNATURE(bytes, ext) {bytes, sizeof(bytes), ext}

const Signature kImageSignatures[] = {
    ARB_SIGNATURE("\x4D\x4D\x00\x2A", "tiff"),
    ARB_SIGNATURE("\x49\x49\x2A\x00", "tiff"),
    ARB_SIGNATURE("\x89\x50\x4E\x47", "png"),
    ARB_SIGNATURE("GIF87", "gif"),
    ARB_SIGNATURE("GIF89", "gif"),
    ARB_SIGNATURE("BM", "bmp"),
    ARB_SIGNATURE("\xFF\xD8", "jpg"),
    ARB_SIGNATURE("\x0A", "pcx"),
};

const Signature kSoundSignatures[] = {
    ARB_SIGNATURE("RIFF", "wav"),
    ARB_SIGNATURE(".RMF", "rm"),
    ARB_SIGNATURE("FORM", "aif"),
    ARB_SIGNATURE("MThd", "mid"),
};

#undef ARB_SIGNATURE

template <size_t N>
std::string Detect(const std::string& value, const Signature (&table)[N])
{
    for (const Signature& s : table) {
        if (HasMagic(value, s.magic, s.size))
            return s.extension;
    }
    return std::string();
}

} // namespace

std::string DetectImageExtension(const std::string& value)
{
    return Detect(value, kImageSignatures);
}

std::string DetectSoundExtension(const std::string& value)
{
    return Detect(value, kSoundSignatures);
}
