// Values made here are what the server checks a bind against, and values
// the server's own tool makes pass our check.

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "base/Utf8.h"
#include "dialogcore/PasswordHash.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"
#include "model/values/PasswordScheme.h"
#include "tests/support/LiveSupport.h"

namespace {

// Salts of every length the dialog may draw, the longest among them.
class FixedLengthSalt {
public:
    explicit FixedLengthSalt(unsigned char lengthByte)
        : m_previous(SetSaltSource([lengthByte, first = true](unsigned char* bytes, size_t n) mutable {
              for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>(0xA0 + i);
              if (first) bytes[0] = lengthByte;
              first = false;
              return true;
          }))
    {
    }
    ~FixedLengthSalt() { SetSaltSource(std::move(m_previous)); }
    FixedLengthSalt(const FixedLengthSalt&) = delete;
    FixedLengthSalt& operator=(const FixedLengthSalt&) = delete;

private:
    SaltSource m_previous;
};

struct BindCase {
    const char* name;
    int scheme;
    std::wstring password;
    int saltLengthByte;  // -1: the system's source
};

TEST(PasswordBind, TheServerAcceptsTheValuesWeMake)
{
    RefPtr<arbldap::LDAPSyncConnection> admin = live::OpenAdmin();
    const BindCase cases[] = {
        {"sha", kSchemeSHA, L"plain secret", -1},
        {"ssha", kSchemeSSHA, L"plain secret", -1},
        {"ssha 41 byte salt", kSchemeSSHA, L"Jos\u00e9 \u20ac long", 33},
        {"md5", kSchemeMD5, L"Jos\u00e9 \u00fcber", -1},
        {"smd5", kSchemeSMD5, L"plain secret", -1},
        {"smd5 41 byte salt", kSchemeSMD5, L"plain secret", 33},
        {"smd5 8 byte salt", kSchemeSMD5, L"short salt", 0},
        {"crypt", kSchemeCrypt, L"crypted", -1},
    };
    int n = 0;
    for (const BindCase& c : cases) {
        std::wstring value;
        if (c.saltLengthByte >= 0) {
            FixedLengthSalt salt(static_cast<unsigned char>(c.saltLengthByte));
            value = MakePasswordHash(c.password, c.scheme);
        } else {
            value = MakePasswordHash(c.password, c.scheme);
        }
        ASSERT_FALSE(value.empty()) << c.name;
        const std::string cn = "hash" + std::to_string(getpid()) + "-" + std::to_string(++n);
        const std::string dn = "cn=" + cn + "," + live::kScratch;
        auto* attributes = new arbldap::LDAPAttributeList;
        attributes->AddValue("objectClass", "person");
        attributes->AddValue("cn", cn);
        attributes->AddValue("sn", "hash");
        attributes->AddValue("userPassword", WideToUtf8Text(value));
        admin->Add(arbldap::LDAPEntry(dn, attributes));
        EXPECT_EQ(live::BindResultCode(dn, WideToUtf8Text(c.password)), 0) << c.name << " " << WideToUtf8Text(value);
        EXPECT_EQ(live::BindResultCode(dn, WideToUtf8Text(c.password) + "x"), 49) << c.name;
        admin->Delete(dn);
    }
}

TEST(PasswordBind, ValuesOfTheServersToolPassOurCheck)
{
    struct ToolCase {
        const char* option;
        int scheme;
    };
    // Every scheme the tool offers that we know; crypt with the two-character DES salt.
    const ToolCase cases[] = {{"-h '{SSHA}'", kSchemeSSHA}, {"-h '{SHA}'", kSchemeSHA},
                              {"-h '{SMD5}'", kSchemeSMD5}, {"-h '{MD5}'", kSchemeMD5},
                              {"-h '{CRYPT}' -c '%.2s'", kSchemeCrypt}};
    for (const ToolCase& c : cases) {
        for (const char* password : {"tool secret", "Jos\xc3\xa9"}) {
            std::string value =
                testsupport::Run(std::string("slappasswd ") + c.option + " -s '" + password + "'");
            while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
            EXPECT_EQ(GetPasswordScheme(Utf8ToWideString(value)), c.scheme) << value;
            EXPECT_TRUE(CheckPasswordHash(std::string(password), c.scheme, value)) << value;
            // DES crypt reads eight characters: the change comes first.
            EXPECT_FALSE(CheckPasswordHash("!" + std::string(password), c.scheme, value)) << value;
        }
    }
}

} // namespace
