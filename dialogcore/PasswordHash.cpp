#include "dialogcore/PasswordHash.h"

#include <crypt.h>
#include <sys/random.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include <openssl/evp.h>

#include "base/Base64.h"
#include "base/Utf8.h"
#include "model/values/PasswordScheme.h"

namespace {

const char kCryptSaltAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890./";
constexpr size_t kMinSalt = 8;
constexpr size_t kSaltLengths = 34;  // 8 to 41 bytes
constexpr size_t kSha1Length = 20;
constexpr size_t kMd5Length = 16;

const char* const kPrefixes[] = {"{SHA}", "{SSHA}", "{MD5}", "{SMD5}", "{CRYPT}"};

bool SystemRandom(unsigned char* bytes, size_t n)
{
    size_t done = 0;
    while (done < n) {
        ssize_t got = getrandom(bytes + done, n - done, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

std::mutex& SourceLock()
{
    static std::mutex lock;
    return lock;
}

SaltSource& Source()
{
    static SaltSource source = SystemRandom;
    return source;
}

bool RandomBytes(unsigned char* bytes, size_t n)
{
    SaltSource source;
    {
        std::lock_guard<std::mutex> hold(SourceLock());
        source = Source();
    }
    return source && source(bytes, n);
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

std::string ToBase64(const std::string& bytes)
{
    size_t length = 0;
    std::unique_ptr<char, FreeDeleter> text(
        Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &length));
    return text ? std::string(text.get(), length) : std::string();
}

// False when the text is not base64.
bool FromBase64(const std::string& text, std::string& bytes)
{
    size_t length = 0;
    std::unique_ptr<unsigned char, FreeDeleter> data(Base64Decode(text.data(), text.size(), &length));
    if (!data) return false;
    bytes.assign(reinterpret_cast<const char*>(data.get()), length);
    return true;
}

std::string Digest(const EVP_MD* md, const std::string& data)
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!EVP_Digest(data.data(), data.size(), out, &length, md, nullptr)) return std::string();
    return std::string(reinterpret_cast<const char*>(out), length);
}

const EVP_MD* SchemeDigest(int scheme)
{
    switch (scheme) {
    case kSchemeSHA:
    case kSchemeSSHA: return EVP_sha1();
    case kSchemeMD5:
    case kSchemeSMD5: return EVP_md5();
    default: return nullptr;
    }
}

// The 13-character DES crypt text, empty on failure (a salt outside the
// alphabet, say).
std::string DesCrypt(const std::string& password, const std::string& salt)
{
    if (salt.size() != 2) return std::string();
    auto data = std::make_unique<crypt_data>();
    std::memset(data.get(), 0, sizeof(crypt_data));
    const std::string phrase(password.c_str());
    const char* result = crypt_rn(phrase.c_str(), salt.c_str(), data.get(), static_cast<int>(sizeof(crypt_data)));
    if (!result || std::strlen(result) != 13 || result[0] == '*') return std::string();
    return result;
}

// The body of a stored value in the scheme, without its prefix.
std::string MakeBody(const std::string& password, int scheme, const std::string& salt)
{
    switch (scheme) {
    case kSchemeSHA:
    case kSchemeMD5: {
        const std::string digest = Digest(SchemeDigest(scheme), password);
        return digest.empty() ? std::string() : ToBase64(digest);
    }
    case kSchemeSSHA:
    case kSchemeSMD5: {
        if (salt.empty()) return std::string();
        const std::string digest = Digest(SchemeDigest(scheme), password + salt);
        return digest.empty() ? std::string() : ToBase64(digest + salt);
    }
    case kSchemeCrypt: return DesCrypt(password, salt);
    default: return std::string();
    }
}

} // namespace

SaltSource SetSaltSource(SaltSource source)
{
    std::lock_guard<std::mutex> hold(SourceLock());
    SaltSource previous = std::move(Source());
    Source() = std::move(source);
    return previous;
}

std::string MakePasswordSalt(int scheme)
{
    if (scheme == kSchemeSSHA || scheme == kSchemeSMD5) {
        unsigned char length = 0;
        if (!RandomBytes(&length, 1)) return std::string();
        std::string salt(kMinSalt + length % kSaltLengths, '\0');
        if (!RandomBytes(reinterpret_cast<unsigned char*>(&salt[0]), salt.size())) return std::string();
        return salt;
    }
    if (scheme == kSchemeCrypt) {
        unsigned char pick[2];
        if (!RandomBytes(pick, 2)) return std::string();
        // 256 is a multiple of 64: every character is as likely.
        return std::string{kCryptSaltAlphabet[pick[0] % 64], kCryptSaltAlphabet[pick[1] % 64]};
    }
    return std::string();
}

std::string MakePasswordHashWithSalt(const std::string& password, int scheme, const std::string& salt)
{
    if (scheme < kSchemeSHA || scheme > kSchemeCrypt) return std::string();
    // Hashed up to the first NUL, as the text a C caller would pass.
    const std::string body = MakeBody(std::string(password.c_str()), scheme, salt);
    return body.empty() ? std::string() : kPrefixes[scheme] + body;
}

std::wstring MakePasswordHash(const std::wstring& password, int scheme)
{
    const std::string utf8 = WideToUtf8Text(std::wstring(password.c_str()));
    return Utf8ToWideString(MakePasswordHashWithSalt(utf8, scheme, MakePasswordSalt(scheme)));
}

bool CheckPasswordHash(const std::string& password, int scheme, const std::string& stored)
{
    const size_t brace = stored.find('}');
    const std::string body = brace == std::string::npos ? stored : stored.substr(brace + 1);
    if (body.empty()) return false;
    const std::string phrase(password.c_str());
    std::string computed;
    switch (scheme) {
    case kSchemeSHA:
    case kSchemeMD5:
        computed = MakeBody(phrase, scheme, std::string());
        break;
    case kSchemeSSHA:
    case kSchemeSMD5: {
        std::string decoded;
        const size_t digestLength = scheme == kSchemeSSHA ? kSha1Length : kMd5Length;
        // Without a byte beyond the digest there is no salt to take.
        if (!FromBase64(body, decoded) || decoded.size() <= digestLength) return false;
        computed = MakeBody(phrase, scheme, decoded.substr(digestLength));
        break;
    }
    case kSchemeCrypt:
        if (body.size() < 2) return false;
        computed = DesCrypt(phrase, body.substr(0, 2));
        break;
    default:
        return false;
    }
    return !computed.empty() && computed == body;
}

bool CheckPasswordHash(const std::wstring& password, int scheme, const std::wstring& stored)
{
    return CheckPasswordHash(WideToUtf8Text(std::wstring(password.c_str())), scheme, WideToUtf8Text(stored));
}
