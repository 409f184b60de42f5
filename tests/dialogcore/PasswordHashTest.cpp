#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <deque>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "base/Base64.h"
#include "base/Utf8.h"
#include "dialogcore/PasswordHash.h"
#include "model/values/PasswordScheme.h"

namespace {

const std::string kCryptAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890./";

// Puts a source in for the test's life.
class SaltSourceScope {
public:
    explicit SaltSourceScope(SaltSource source) : m_previous(SetSaltSource(std::move(source))) {}
    ~SaltSourceScope() { SetSaltSource(std::move(m_previous)); }
    SaltSourceScope(const SaltSourceScope&) = delete;
    SaltSourceScope& operator=(const SaltSourceScope&) = delete;

private:
    SaltSource m_previous;
};

// A source that hands out the bytes given, in order, then fails.
SaltSource Bytes(std::vector<unsigned char> bytes)
{
    auto left = std::make_shared<std::deque<unsigned char>>(bytes.begin(), bytes.end());
    return [left](unsigned char* out, size_t n) {
        if (left->size() < n) return false;
        for (size_t i = 0; i < n; ++i) {
            out[i] = left->front();
            left->pop_front();
        }
        return true;
    };
}

std::string Decode(const std::string& text)
{
    size_t n = 0;
    unsigned char* bytes = Base64Decode(text.data(), text.size(), &n);
    std::string out = bytes ? std::string(reinterpret_cast<char*>(bytes), n) : std::string();
    std::free(bytes);
    return out;
}

std::string Encode(const std::string& bytes)
{
    size_t n = 0;
    char* text = Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &n);
    std::string out(text, n);
    std::free(text);
    return out;
}

// Every value a test made, for the reviewer: "<password>\t<value>" a line.
void LeaveMadeValues(const std::vector<std::pair<std::string, std::string>>& made)
{
    const std::filesystem::path folder = std::filesystem::path(ARB_TEST_OUTPUT_DIR) / "passwords";
    std::filesystem::create_directories(folder);
    const std::filesystem::path temp = folder / "made.txt.new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const auto& line : made) out << line.first << '\t' << line.second << '\n';
        ASSERT_TRUE(out.good());
    }
    std::filesystem::rename(temp, folder / "made.txt");
}

struct KnownValue {
    int scheme;
    const char* salt;
    const char* value;
};

const KnownValue kKnown[] = {
    {kSchemeSHA, "", "{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g="},
    {kSchemeMD5, "", "{MD5}X03MO1qnZdYdgyfeuILPmQ=="},
    {kSchemeSSHA, "saltsalt", "{SSHA}yrht1iYXEIkejLVu42JWkadd80RzYWx0c2FsdA=="},
    {kSchemeSMD5, "saltsalt", "{SMD5}/b3zQZ//mL2wJBOQ9iqds3NhbHRzYWx0"},
    {kSchemeCrypt, "ab", "{CRYPT}abJnggxhB/yWI"},
};

TEST(PasswordHashTest, KnownValuesOfPassword)
{
    std::vector<std::pair<std::string, std::string>> made;
    for (const KnownValue& known : kKnown) {
        const std::string value = MakePasswordHashWithSalt("password", known.scheme, known.salt);
        EXPECT_EQ(value, known.value) << known.scheme;
        made.emplace_back("password", value);
    }
    // And with fresh salts from the system's source, a non-ASCII password among them.
    for (const wchar_t* password : {L"password", L"Jos\u00e9 \u00fcber \u20ac"}) {
        for (int scheme = kSchemeSHA; scheme <= kSchemeCrypt; ++scheme) {
            const std::wstring value = MakePasswordHash(password, scheme);
            EXPECT_TRUE(CheckPasswordHash(std::wstring(password), scheme, value)) << scheme;
            made.emplace_back(WideToUtf8Text(password), WideToUtf8Text(value));
        }
    }
    LeaveMadeValues(made);
}

struct CheckCase {
    const char* name;
    const char* password;
    int scheme;
    std::string stored;
    bool match;
};

TEST(PasswordHashTest, CheckAgainstStoredValues)
{
    const std::string sha20 = Encode(std::string(20, 'x'));
    const std::string md16 = Encode(std::string(16, 'x'));
    const CheckCase cases[] = {
        {"sha", "password", kSchemeSHA, "{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=", true},
        {"md5", "password", kSchemeMD5, "{MD5}X03MO1qnZdYdgyfeuILPmQ==", true},
        {"ssha", "password", kSchemeSSHA, "{SSHA}yrht1iYXEIkejLVu42JWkadd80RzYWx0c2FsdA==", true},
        {"smd5", "password", kSchemeSMD5, "{SMD5}/b3zQZ//mL2wJBOQ9iqds3NhbHRzYWx0", true},
        {"crypt", "password", kSchemeCrypt, "{CRYPT}abJnggxhB/yWI", true},
        {"sha wrong", "Password", kSchemeSHA, "{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=", false},
        {"md5 wrong", "passwor", kSchemeMD5, "{MD5}X03MO1qnZdYdgyfeuILPmQ==", false},
        {"ssha wrong", "password ", kSchemeSSHA, "{SSHA}yrht1iYXEIkejLVu42JWkadd80RzYWx0c2FsdA==", false},
        {"smd5 wrong", "", kSchemeSMD5, "{SMD5}/b3zQZ//mL2wJBOQ9iqds3NhbHRzYWx0", false},
        {"crypt wrong", "passwort", kSchemeCrypt, "{CRYPT}abJnggxhB/yWI", false},
        // Crypt reads eight characters only.
        {"crypt eight", "password1", kSchemeCrypt, "{CRYPT}abJnggxhB/yWI", true},
        {"mixed case prefix", "password", kSchemeSSHA, "{sSHa}yrht1iYXEIkejLVu42JWkadd80RzYWx0c2FsdA==", true},
        {"lower case crypt", "password", kSchemeCrypt, "{crypt}abJnggxhB/yWI", true},
        {"no prefix", "password", kSchemeSHA, "W6ph5Mm5Pz8GgiULbPgzG37mj9g=", true},
        {"body changed in case", "password", kSchemeSHA, "{SHA}w6ph5Mm5Pz8GgiULbPgzG37mj9g=", false},
        {"empty body", "", kSchemeSHA, "{SHA}", false},
        {"empty value", "", kSchemeMD5, "", false},
        {"ssha digest only", "password", kSchemeSSHA, "{SSHA}" + sha20, false},
        {"ssha without salt", "password", kSchemeSSHA, "{SSHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=", false},
        {"smd5 without salt", "password", kSchemeSMD5, "{SMD5}X03MO1qnZdYdgyfeuILPmQ==", false},
        {"ssha shorter than digest", "password", kSchemeSSHA, "{SSHA}" + md16, false},
        {"ssha one byte", "password", kSchemeSSHA, "{SSHA}eA==", false},
        {"smd5 digest only", "password", kSchemeSMD5, "{SMD5}" + md16, false},
        {"smd5 one byte", "password", kSchemeSMD5, "{SMD5}eA==", false},
        {"ssha not base64", "password", kSchemeSSHA, "{SSHA}a=b=c=", false},
        {"crypt one character", "password", kSchemeCrypt, "{CRYPT}a", false},
        {"crypt empty", "", kSchemeCrypt, "{CRYPT}", false},
        {"crypt salt outside alphabet", "password", kSchemeCrypt, "{CRYPT}!!Jnggxhb/yWI", false},
        {"crypt of another kind", "password", kSchemeCrypt, "{CRYPT}$1$abcdefgh$0123456789abcdefghijkl", false},
        {"private scheme", "password", kSchemePrivate, "{X-PLAIN}password", false},
        {"no scheme", "password", kSchemeNone, "password", false},
    };
    for (const CheckCase& c : cases)
        EXPECT_EQ(CheckPasswordHash(std::string(c.password), c.scheme, c.stored), c.match) << c.name;
}

TEST(PasswordHashTest, TheWideCheckHashesUpToTheFirstNul)
{
    const std::wstring withNul(L"password\0more", 13);
    EXPECT_TRUE(CheckPasswordHash(withNul, kSchemeSHA, std::wstring(L"{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=")));
    EXPECT_EQ(MakePasswordHash(withNul, kSchemeMD5), L"{MD5}X03MO1qnZdYdgyfeuILPmQ==");
    EXPECT_EQ(MakePasswordHash(L"password", kSchemePrivate), L"");
    EXPECT_EQ(MakePasswordHash(L"password", kSchemeNone), L"");
}

TEST(PasswordHashTest, SaltsComeFromTheSourceWithTheirLengthsAndAlphabet)
{
    struct SaltCase {
        int scheme;
        std::vector<unsigned char> bytes;
        size_t length;
    };
    std::vector<unsigned char> many(64, 0x5a);
    auto with = [&](unsigned char first) {
        std::vector<unsigned char> bytes{first};
        bytes.insert(bytes.end(), many.begin(), many.end());
        return bytes;
    };
    const SaltCase cases[] = {
        {kSchemeSSHA, with(0), 8}, {kSchemeSSHA, with(33), 41}, {kSchemeSMD5, with(34), 8},
        {kSchemeSMD5, with(255), 8 + 255 % 34},
    };
    for (const SaltCase& c : cases) {
        SaltSourceScope source(Bytes(c.bytes));
        const std::string salt = MakePasswordSalt(c.scheme);
        EXPECT_EQ(salt.size(), c.length) << int(c.bytes[0]);
        EXPECT_EQ(salt, std::string(c.length, '\x5a'));
    }
    {
        SaltSourceScope source(Bytes({52, 61 + 64 * 3}));
        EXPECT_EQ(MakePasswordSalt(kSchemeCrypt), "10");
    }
    {
        SaltSourceScope source(Bytes({62, 63}));
        EXPECT_EQ(MakePasswordHash(L"password", kSchemeCrypt).substr(0, 9), L"{CRYPT}./");
    }
    {
        SaltSourceScope source(Bytes({0, 's', 'a', 'l', 't', 's', 'a', 'l', 't'}));
        EXPECT_EQ(MakePasswordHash(L"password", kSchemeSSHA), L"{SSHA}yrht1iYXEIkejLVu42JWkadd80RzYWx0c2FsdA==");
    }
    EXPECT_EQ(MakePasswordSalt(kSchemeSHA), "");
    EXPECT_EQ(MakePasswordSalt(kSchemePrivate), "");
}

TEST(PasswordHashTest, AFailingSourceGivesNoSaltedValue)
{
    SaltSourceScope source([](unsigned char*, size_t) { return false; });
    EXPECT_EQ(MakePasswordHash(L"password", kSchemeSSHA), L"");
    EXPECT_EQ(MakePasswordHash(L"password", kSchemeSMD5), L"");
    EXPECT_EQ(MakePasswordHash(L"password", kSchemeCrypt), L"");
    // Unsalted schemes need no source.
    EXPECT_EQ(MakePasswordHash(L"password", kSchemeSHA), L"{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=");
    EXPECT_EQ(MakePasswordHashWithSalt("password", kSchemeSSHA, ""), "");
    EXPECT_EQ(MakePasswordHashWithSalt("password", kSchemeCrypt, "a"), "");
}

TEST(PasswordHashTest, EveryValueHasAFreshSaltOfTheRightSize)
{
    std::set<std::wstring> seen;
    for (int i = 0; i < 50; ++i) {
        for (int scheme : {kSchemeSSHA, kSchemeSMD5}) {
            const std::wstring value = MakePasswordHash(L"password", scheme);
            // "{SSHA}" and "{SMD5}" are six characters each.
            const std::string decoded = Decode(WideToUtf8Text(value.substr(6)));
            const size_t digest = scheme == kSchemeSSHA ? 20 : 16;
            EXPECT_GE(decoded.size(), digest + 8);
            EXPECT_LE(decoded.size(), digest + 41);
            EXPECT_TRUE(seen.insert(value).second) << "a salt came twice";
        }
        const std::wstring crypt = MakePasswordHash(L"password", kSchemeCrypt);
        ASSERT_EQ(crypt.size(), 7u + 13u);
        EXPECT_NE(kCryptAlphabet.find(static_cast<char>(crypt[7])), std::string::npos);
        EXPECT_NE(kCryptAlphabet.find(static_cast<char>(crypt[8])), std::string::npos);
    }
}

} // namespace
