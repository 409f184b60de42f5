#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "model/profiles/CServerProfile.h"
#include "platform/RegistryKey.h"
#include "tests/model/profiles/ProfileFields.h"
#include "tests/support/TempHome.h"

using namespace profiletest;
using platform::RegistryKey;
using platform::RegRoot;

namespace {

const wchar_t* const kId = L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";

std::wstring KeyOf(const wchar_t* id) { return std::wstring(L"Software\\Vellumar\\Arbolite\\Profiles\\") + id; }

// A profile key written by hand with the four values a load needs.
void WriteMinimalKey(const wchar_t* id)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(KeyOf(id)));
    ASSERT_TRUE(key.Write(L"ProfileName", std::wstring(L"Hand made")));
    ASSERT_TRUE(key.Write(L"HostName", std::wstring(L"ldap.example.org")));
    ASSERT_TRUE(key.Write(L"Port", uint32_t(389)));
    ASSERT_TRUE(key.Write(L"Version", uint32_t(3)));
}

std::vector<std::wstring> ValueNames(const std::wstring& path)
{
    RegistryKey key(RegRoot::CurrentUser, true);
    std::vector<std::wstring> names;
    if (key.Open(path)) key.ReadValueNames(names);
    return names;
}

std::wstring ReadText(const std::wstring& path, const wchar_t* name)
{
    RegistryKey key(RegRoot::CurrentUser, true);
    std::wstring text = L"<missing>";
    if (key.Open(path)) key.Read(name, text);
    return text;
}

uint32_t ReadNumber(const std::wstring& path, const wchar_t* name)
{
    RegistryKey key(RegRoot::CurrentUser, true);
    uint32_t n = 0xDEADBEEF;
    if (key.Open(path)) key.Read(name, n);
    return n;
}

} // namespace

class ServerProfileStorage : public testsupport::TempHomeTest {};

TEST_F(ServerProfileStorage, SavedProfileLoadsBackEqualInEveryField)
{
    CServerProfile saved;
    FillEveryField(saved);
    const CServerProfile fresh;
    // An anonymous profile stores no credentials: that case has its own test.
    for (const ProfileField& f : Fields())
        if (std::string(f.name) != "anonymous bind") {
            EXPECT_NE(f.show(saved), f.show(fresh)) << f.name << " is not away from its default";
        }

    ASSERT_TRUE(saved.SaveProfile());
    CServerProfile loaded;
    ASSERT_TRUE(loaded.SetIdFromString(saved.GetKeyPath(false)));
    ASSERT_TRUE(loaded.LoadProfile());
    EXPECT_FALSE(loaded.IsLoadFailed());
    EXPECT_EQ(Differences(saved, loaded), "");

    // A second save of the loaded profile stores the same.
    ASSERT_TRUE(loaded.SaveProfile());
    CServerProfile again;
    again.SetIdFromString(saved.GetKeyPath(false));
    ASSERT_TRUE(again.LoadProfile());
    EXPECT_EQ(Differences(saved, again), "");
}

TEST_F(ServerProfileStorage, VersionTwoKeepsSecureConnection)
{
    CServerProfile p;
    p.SetVersion(2);
    p.GetOptions().SetUseSSL(true);
    ASSERT_TRUE(p.SaveProfile());
    EXPECT_EQ(ReadNumber(p.GetKeyPath(true), L"UseSecureConnection"), 1u);
    EXPECT_EQ(ReadNumber(p.GetKeyPath(true), L"Version"), 2u);

    CServerProfile loaded;
    loaded.SetIdFromString(p.GetKeyPath(false));
    ASSERT_TRUE(loaded.LoadProfile());
    EXPECT_EQ(loaded.GetVersion(), 2);
    EXPECT_TRUE(loaded.GetOptions().GetUseSSL());
}

TEST_F(ServerProfileStorage, CredentialsAreStoredOnlyWhenAsked)
{
    struct Case {
        int32_t anonymous;
        int32_t savePassword;
        bool userDNStored;
        bool passwordStored;
    } cases[] = {
        {0, 1, true, true},
        {0, 0, true, false},
        {1, 1, false, false},
        {1, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "anonymous " << c.anonymous << ", save password " << c.savePassword);
        CServerProfile p;
        p.SetAnonymousBind(c.anonymous);
        p.SetSavePassword(c.savePassword);
        p.SetUserDN(arbldap::LDAPDN("cn=admin,dc=example,dc=org"));
        p.SetPassword("secret");
        ASSERT_TRUE(p.SaveProfile());
        EXPECT_EQ(ReadText(p.GetKeyPath(true), L"Password").empty(), !c.passwordStored);
        EXPECT_NE(ReadText(p.GetKeyPath(true), L"Password"), L"secret");

        CServerProfile loaded;
        loaded.SetIdFromString(p.GetKeyPath(false));
        ASSERT_TRUE(loaded.LoadProfile());
        EXPECT_EQ(loaded.GetPassword(), c.passwordStored ? "secret" : "");
        EXPECT_EQ(loaded.GetUserDN().GetText(), c.userDNStored ? "cn=admin,dc=example,dc=org" : "");
        EXPECT_EQ(loaded.GetAnonymousBind(), c.anonymous);
        EXPECT_EQ(loaded.GetSavePassword(), c.savePassword);
    }
}

TEST_F(ServerProfileStorage, StoredPasswordFormIsKept)
{
    // Key bytes 01 02 03 04: "abcd" XOR -> 60 60 60 60 -> base64.
    const wchar_t* id = L"{00000000-0000-0000-0102-030400000000}";
    CServerProfile p;
    ASSERT_TRUE(p.SetIdFromString(id));
    p.SetSavePassword(1);
    p.SetPassword("abcd");
    ASSERT_TRUE(p.SaveProfile());
    EXPECT_EQ(ReadText(KeyOf(id), L"Password"), L"YGBgYA==");

    // A text stored earlier loads as its clear password.
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.Open(KeyOf(id)));
        ASSERT_TRUE(key.Write(L"Password", std::wstring(L"cXNxdw==")));  // "pqrs" XOR 01 02 03 04
    }
    CServerProfile loaded;
    loaded.SetIdFromString(id);
    ASSERT_TRUE(loaded.LoadProfile());
    EXPECT_EQ(loaded.GetPassword(), "pqrs");

    // The key bytes come from the profile's own GUID.
    CServerProfile other;
    ASSERT_TRUE(other.SetIdFromString(L"{00000000-0000-0000-0A0B-0C0D00000000}"));
    other.SetSavePassword(1);
    other.SetPassword("abcd");
    ASSERT_TRUE(other.SaveProfile());
    EXPECT_NE(ReadText(other.GetKeyPath(true), L"Password"), L"YGBgYA==");

    // A stored text that is not base64 gives no password rather than garbage.
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.Open(KeyOf(id)));
        ASSERT_TRUE(key.Write(L"Password", std::wstring(L"Y=")));
    }
    ASSERT_TRUE(loaded.LoadProfile());
    EXPECT_EQ(loaded.GetPassword(), "");
}

TEST_F(ServerProfileStorage, SettingsFileStaysPrivateAfterSave)
{
    CServerProfile p;
    FillEveryField(p);
    ASSERT_TRUE(p.SaveProfile());
    ASSERT_TRUE(p.SaveFavorites());
    struct stat st;
    ASSERT_EQ(stat(UserFile().c_str(), &st), 0);
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        const std::string file = UserFile() + suffix;
        if (stat(file.c_str(), &st) != 0) continue;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << file;
    }
}

TEST_F(ServerProfileStorage, MissingOrIncompleteKeyFailsTheLoad)
{
    struct Case {
        const char* what;
        const wchar_t* dropped;  // null: no key at all
    } cases[] = {
        {"no key", nullptr},
        {"no ProfileName", L"ProfileName"},
        {"no HostName", L"HostName"},
        {"no Port", L"Port"},
        {"no Version", L"Version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegistryKey(RegRoot::CurrentUser, false).DeleteKey(KeyOf(kId));
        if (c.dropped) {
            WriteMinimalKey(kId);
            RegistryKey key(RegRoot::CurrentUser, false);
            ASSERT_TRUE(key.Open(KeyOf(kId)));
            ASSERT_TRUE(key.DeleteValue(c.dropped));
        }
        CServerProfile p;
        p.SetIdFromString(kId);
        EXPECT_FALSE(p.LoadProfile());
        EXPECT_TRUE(p.IsLoadFailed());
    }

    // A required value of the wrong type is as good as missing.
    WriteMinimalKey(kId);
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.Open(KeyOf(kId)));
        ASSERT_TRUE(key.Write(L"Port", std::wstring(L"389")));
    }
    CServerProfile p;
    p.SetIdFromString(kId);
    EXPECT_FALSE(p.LoadProfile());

    // Loading again once the key is whole clears the flag.
    WriteMinimalKey(kId);
    EXPECT_TRUE(p.LoadProfile());
    EXPECT_FALSE(p.IsLoadFailed());
}

TEST_F(ServerProfileStorage, StoredNumbersAreReadByTheirRules)
{
    struct Case {
        const wchar_t* value;
        uint32_t stored;
        const char* field;
        std::string expected;
    } cases[] = {
        {L"Version", 4, "version", "3"},
        {L"Version", 0, "version", "3"},
        {L"Version", 2, "version", "2"},
        {L"UseSecureConnection", 1, "SSL", "1"},
        {L"UseSecureConnection", 2, "SSL", "0"},
        {L"ReferralsOptions", 1, "chase referrals", "1"},
        {L"ReferralsOptions", 2, "chase referrals", "0"},
        {L"DerefAliases", 1, "dereferencing", "1"},
        {L"DerefAliases", 4, "dereferencing", "2"},  // out of range: the setting stays
        {L"DerefAliases", 0xFFFFFFFF, "dereferencing", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << WideToUtf8Text(c.value) << " = " << c.stored);
        WriteMinimalKey(kId);
        {
            RegistryKey key(RegRoot::CurrentUser, false);
            ASSERT_TRUE(key.Open(KeyOf(kId)));
            ASSERT_TRUE(key.Write(c.value, c.stored));
        }
        CServerProfile p;
        p.SetIdFromString(kId);
        p.GetOptions().SetDeref(2);
        p.GetOptions().SetChaseReferrals(true);
        p.GetOptions().SetUseSSL(true);
        ASSERT_TRUE(p.LoadProfile());
        EXPECT_EQ(FieldNamed(c.field).show(p), c.expected);
        RegistryKey(RegRoot::CurrentUser, false).DeleteKey(KeyOf(kId));
    }
}

TEST_F(ServerProfileStorage, KeyWithOnlyRequiredValuesKeepsDefaults)
{
    WriteMinimalKey(kId);
    CServerProfile p;
    p.SetIdFromString(kId);
    p.SetPasswordHistoryEnabled(1);
    ASSERT_TRUE(p.LoadProfile());
    const CServerProfile fresh;
    for (const char* kept : {"time limit", "size limit", "SSL", "chase referrals", "dereferencing", "save password",
                             "anonymous bind", "show operational"})
        EXPECT_EQ(FieldNamed(kept).show(p), FieldNamed(kept).show(fresh)) << kept;
    EXPECT_EQ(p.GetFilter(), "");
    EXPECT_EQ(p.GetBaseDN().GetText(), "");
    EXPECT_EQ(p.GetMonitorDN().GetText(), "");
    EXPECT_EQ(p.IsPasswordHistoryEnabled(), 0);
    EXPECT_EQ(p.GetOptions().GetServerControls(), nullptr);
    EXPECT_EQ(p.GetOptions().GetClientControls(), nullptr);
}

TEST_F(ServerProfileStorage, FavouritesKeepTheirOrder)
{
    CServerProfile p;
    const std::vector<CFavorite> favorites = {
        {"zulu", "ou=Zulu,dc=example,dc=org"},   {"Alpha", "ou=Alpha,dc=example,dc=org"},
        {"alpha", "ou=Alpha,dc=example,dc=org"}, {"a : b", "cn=a,dc=example,dc=org"},
        {"", "dc=example,dc=org"},               {"zulu", "ou=Zulu,dc=example,dc=org"},
    };
    for (const CFavorite& f : favorites) p.AddFavorite(f);
    ASSERT_TRUE(p.SaveProfile());

    CServerProfile loaded;
    loaded.SetIdFromString(p.GetKeyPath(false));
    ASSERT_TRUE(loaded.LoadProfile());
    EXPECT_EQ(ShowFavorites(loaded.GetFavorites()), ShowFavorites(p.GetFavorites()));

    // Dropping one renumbers the rest: no stale value stays behind.
    CFavoriteList shorter;
    for (size_t i = 1; i < favorites.size(); ++i) shorter.Add(favorites[i]);
    p.SetFavorites(shorter);
    ASSERT_TRUE(p.SaveFavorites());
    const std::wstring favKey = p.GetKeyPath(true) + L"\\Favorites";
    const std::vector<std::wstring> names = ValueNames(favKey);
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0], L"0000 : Alpha");
    EXPECT_EQ(names[4], L"0004 : zulu");
    ASSERT_TRUE(loaded.LoadProfile());
    EXPECT_EQ(ShowFavorites(loaded.GetFavorites()), ShowFavorites(shorter));
}

TEST_F(ServerProfileStorage, FavouriteCountersBeyondFourDigitsKeepOrderAndNames)
{
    WriteMinimalKey(kId);
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(KeyOf(kId) + L"\\Favorites"));
        ASSERT_TRUE(key.Write(L"10000 : last", std::wstring(L"cn=last")));
        ASSERT_TRUE(key.Write(L"9999 : before", std::wstring(L"cn=before")));
        ASSERT_TRUE(key.Write(L"0000 : first", std::wstring(L"cn=first")));
    }
    CServerProfile p;
    p.SetIdFromString(kId);
    ASSERT_TRUE(p.LoadProfile());
    EXPECT_EQ(ShowFavorites(p.GetFavorites()), "[first=cn=first][before=cn=before][last=cn=last]");
}

TEST_F(ServerProfileStorage, ControlsSubKeyMissingMeansNoList)
{
    CServerProfile p;
    FillEveryField(p);
    ASSERT_TRUE(p.SaveProfile());
    RegistryKey(RegRoot::CurrentUser, false).DeleteKey(p.GetKeyPath(true) + L"\\ServerControls");

    CServerProfile loaded;
    loaded.SetIdFromString(p.GetKeyPath(false));
    arbldap::LDAPControlList old;
    old.Add(arbldap::LDAPControl(std::string("1.1"), false, std::string(), true));
    loaded.GetOptions().SetServerControls(&old);
    ASSERT_TRUE(loaded.LoadProfile());
    EXPECT_EQ(loaded.GetOptions().GetServerControls(), nullptr);
    EXPECT_EQ(ShowControls(loaded.GetOptions().GetClientControls()), ShowControls(p.GetOptions().GetClientControls()));
}

TEST_F(ServerProfileStorage, SaveLeavesTemplatesAndDeleteRemovesAll)
{
    CServerProfile p;
    ASSERT_TRUE(p.SaveProfile());
    const std::wstring templates = p.GetKeyPath(true) + L"\\Templates\\person";
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(templates));
        ASSERT_TRUE(key.Write(L"Description", std::wstring(L"kept")));
    }
    ASSERT_TRUE(p.SaveProfile());
    EXPECT_EQ(ReadText(templates, L"Description"), L"kept");

    ASSERT_TRUE(p.DeleteProfile());
    RegistryKey key(RegRoot::CurrentUser, true);
    EXPECT_FALSE(key.KeyExists(p.GetKeyPath(true)));
    EXPECT_FALSE(key.KeyExists(templates));
}

TEST_F(ServerProfileStorage, TeamProfileIsNeverStored)
{
    CServerProfile p;
    p.SetProfileName(L"Tessaline Team");
    p.AddFavorite(CFavorite("root", "dc=example"));
    EXPECT_TRUE(p.SaveProfile());
    EXPECT_TRUE(p.SaveFavorites());
    EXPECT_FALSE(RegistryKey(RegRoot::CurrentUser, true).KeyExists(p.GetKeyPath(true)));

    // Only the exact name is the team's.
    p.SetProfileName(L"tessaline team");
    ASSERT_TRUE(p.SaveProfile());
    EXPECT_TRUE(RegistryKey(RegRoot::CurrentUser, true).KeyExists(p.GetKeyPath(true)));
}

TEST_F(ServerProfileStorage, HeldProfileIsNotStoredButItsCopyIs)
{
    CServerProfile p;
    p.SetStorageHeld(true);
    p.AddFavorite(CFavorite("root", "dc=example"));
    EXPECT_TRUE(p.SaveProfile());
    EXPECT_TRUE(p.SaveFavorites());
    EXPECT_FALSE(RegistryKey(RegRoot::CurrentUser, true).KeyExists(p.GetKeyPath(true)));

    const CServerProfile copy(p);
    EXPECT_FALSE(copy.IsStorageHeld());
    ASSERT_TRUE(copy.SaveProfile());
    EXPECT_TRUE(RegistryKey(RegRoot::CurrentUser, true).KeyExists(p.GetKeyPath(true)));
}
