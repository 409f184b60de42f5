#include "model/profiles/ProfilePassword.h"

#include <cstdlib>
#include <memory>

#include "base/Base64.h"

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// Bytes 8 to 11 of the GUID's in-memory layout.
void XorWithId(std::string& bytes, const GUID& id)
{
    unsigned char raw[16];
    GuidToBytes(id, raw);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(bytes[i] ^ raw[8 + i % 4]);
}

} // namespace

std::string EncodeStoredPassword(const std::string& password, const GUID& id)
{
    if (password.empty()) return std::string();
    std::string bytes = password;
    XorWithId(bytes, id);
    size_t length = 0;
    std::unique_ptr<char, FreeDeleter> text(
        Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &length));
    return text ? std::string(text.get(), length) : std::string();
}

std::string DecodeStoredPassword(const std::string& stored, const GUID& id)
{
    if (stored.empty()) return std::string();
    size_t length = 0;
    std::unique_ptr<unsigned char, FreeDeleter> raw(Base64Decode(stored.c_str(), stored.size(), &length));
    if (!raw) return std::string();
    std::string bytes(reinterpret_cast<const char*>(raw.get()), length);
    XorWithId(bytes, id);
    return bytes;
}
