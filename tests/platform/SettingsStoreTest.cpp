#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <sqlite3.h>

#include "tests/support/RefusingSettings.h"
#include "tests/support/SimultaneousStarts.h"
#include "platform/RegistryKey.h"
#include "tests/support/TempHome.h"

using namespace platform;

namespace {

const wchar_t* const kSettings = L"Software\\Vellumar\\Arbolite\\Settings\\";

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

unsigned FileMode(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0xFFFFu;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// A plain SQLite database that is not a settings store.
void MakeForeignDatabase(const std::string& path)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(42);", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

} // namespace

class SettingsStoreTest : public testsupport::TempHomeTest {};

TEST_F(SettingsStoreTest, ValueNamesMayHoldAnyCharacter)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(std::wstring(kSettings) + L"RecentItems\\Filters\\"));
    const std::wstring names[] = {L"(ou=a/b)", L"a\\b", L"\\", L"/", L"", L"with blank", L"Gr\u00fc\u00dfe \u65e5\u672c",
                                  L"0000 : fav\\x", L"a\\\\b\\"};
    for (const std::wstring& n : names)
        EXPECT_TRUE(key.Write(n, L"data of " + n));
    for (const std::wstring& n : names) {
        std::wstring text;
        ASSERT_TRUE(key.Read(n, text));
        EXPECT_EQ(text, L"data of " + n);
    }
    std::vector<std::wstring> listed;
    ASSERT_TRUE(key.ReadValueNames(listed));
    EXPECT_EQ(listed.size(), std::size(names));
    // A '\' in a value name never makes a key.
    std::vector<std::wstring> subKeys;
    ASSERT_TRUE(key.ReadSubKeys(subKeys));
    EXPECT_TRUE(subKeys.empty());
}

TEST_F(SettingsStoreTest, NamesCompareIgnoringAsciiCaseOnly)
{
    RegistryKey writer(RegRoot::CurrentUser, false);
    ASSERT_TRUE(writer.CreateKey(kSettings));
    ASSERT_TRUE(writer.Write(L"LangID", 1033u));
    ASSERT_TRUE(writer.Write(L"\u00c4rger", L"upper umlaut"));
    ASSERT_TRUE(writer.Write(L"\u00e4rger", L"lower umlaut"));

    RegistryKey reader(RegRoot::CurrentUser, true);
    for (const wchar_t* path : {L"SOFTWARE\\vellumar\\ARBOLITE\\settings", L"software\\VELLUMAR\\arbolite\\SeTtInGs\\"}) {
        ASSERT_TRUE(reader.Open(path)) << path;
        uint32_t v = 0;
        EXPECT_TRUE(reader.Read(L"langid", v));
        EXPECT_EQ(v, 1033u);
    }
    std::wstring text;
    ASSERT_TRUE(reader.Read(L"\u00c4RGER", text));  // only the ASCII letters fold
    EXPECT_EQ(text, L"upper umlaut");
    ASSERT_TRUE(reader.Read(L"\u00e4rGer", text));
    EXPECT_EQ(text, L"lower umlaut");

    // Rewriting under another case keeps the first spelling of the name.
    ASSERT_TRUE(writer.Write(L"LANGID", 1031u));
    std::vector<std::wstring> names;
    ASSERT_TRUE(reader.ReadValueNames(names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"LangID", L"\u00c4rger", L"\u00e4rger"}));

    // Creating a key under another case opens the existing one.
    ASSERT_TRUE(writer.CreateKey(L"software\\vellumar\\arbolite\\settings\\"));
    EXPECT_EQ(writer.GetPath(), L"software\\vellumar\\arbolite\\settings\\");
    RegistryKey top(RegRoot::CurrentUser, true);
    ASSERT_TRUE(top.Open(L"Software\\Vellumar\\Arbolite"));
    ASSERT_TRUE(top.ReadSubKeys(names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Settings"}));
}

TEST_F(SettingsStoreTest, TypedValuesRoundTripWithTypeAndSize)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(kSettings));

    struct TextCase { const wchar_t* name; std::wstring text; uint32_t bytes; };
    const TextCase texts[] = {
        {L"ascii", L"C:\\exports\\file.ldif", 20},
        {L"empty", L"", 0},
        {L"umlauts", L"\u00c4rger \u00fcber Stra\u00dfen", 21},
        {L"cjk and emoji", L"\u65e5\u672c \U0001F600", 11},
        {L"embedded zero", std::wstring(L"a\0b", 3), 3},
    };
    for (const TextCase& c : texts) {
        ASSERT_TRUE(key.Write(c.name, c.text)) << c.name;
        std::wstring back = L"stale";
        ASSERT_TRUE(key.Read(c.name, back)) << c.name;
        EXPECT_EQ(back, c.text) << c.name;
        EXPECT_EQ(key.GetLastResult(), ERROR_SUCCESS);
        EXPECT_EQ(key.GetLastType(), REG_SZ);
        EXPECT_EQ(key.GetLastSize(), c.bytes) << c.name;
    }

    for (uint32_t v : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        ASSERT_TRUE(key.Write(L"dword", v));
        uint32_t back = 12345;
        ASSERT_TRUE(key.Read(L"dword", back));
        EXPECT_EQ(back, v);
        EXPECT_EQ(key.GetLastType(), REG_DWORD);
        EXPECT_EQ(key.GetLastSize(), 4u);
        int32_t signedBack = 0;
        ASSERT_TRUE(key.Read(L"dword", signedBack));
        EXPECT_EQ(signedBack, static_cast<int32_t>(v));
    }
    // A DWORD's stored bytes are little-endian.
    ASSERT_TRUE(key.Write(L"dword", 0x11223344u));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(key.Read(L"dword", bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));

    const std::vector<uint8_t> blobs[] = {{}, {0x00}, {0xFF}, {0x00, 0xFF, 0x00, 0x80, 0x7F, 0xFF}};
    for (const auto& blob : blobs) {
        ASSERT_TRUE(key.Write(L"binary", blob));
        std::vector<uint8_t> back{9, 9, 9};
        ASSERT_TRUE(key.Read(L"binary", back));
        EXPECT_EQ(back, blob);
        EXPECT_EQ(key.GetLastType(), REG_BINARY);
        EXPECT_EQ(key.GetLastSize(), blob.size());
    }
    const char raw[] = {'\0', '\xFF', 'x'};
    ASSERT_TRUE(key.WriteBinary(L"raw", raw, sizeof raw));
    ASSERT_TRUE(key.Read(L"raw", bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x00, 0xFF, 'x'}));

    // A value is replaced whole, type included.
    ASSERT_TRUE(key.Write(L"changing", L"text"));
    ASSERT_TRUE(key.Write(L"changing", 7u));
    uint32_t seven = 0;
    EXPECT_TRUE(key.Read(L"changing", seven));
    EXPECT_EQ(seven, 7u);
}

TEST_F(SettingsStoreTest, ReadsOfAnotherTypeOrMissingValuesFail)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(kSettings));
    ASSERT_TRUE(key.Write(L"text", L"12"));
    ASSERT_TRUE(key.Write(L"number", 12u));
    ASSERT_TRUE(key.Write(L"blob", std::vector<uint8_t>{1, 2, 3, 4}));

    uint32_t number = 99;
    EXPECT_FALSE(key.Read(L"text", number));
    EXPECT_EQ(key.GetLastResult(), ERROR_UNSUPPORTED_TYPE);
    EXPECT_FALSE(key.Read(L"blob", number));  // four bytes, but not a DWORD
    EXPECT_EQ(number, 99u);
    std::wstring text = L"untouched";
    EXPECT_FALSE(key.Read(L"number", text));
    EXPECT_EQ(key.GetLastResult(), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(key.GetLastType(), REG_DWORD);  // the found value's record stays
    EXPECT_EQ(text, L"untouched");

    // Bytes are readable whatever the type: a text gives its UTF-8.
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(key.Read(L"text", bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'1', '2'}));

    EXPECT_FALSE(key.Read(L"missing", text));
    EXPECT_EQ(key.GetLastResult(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.GetLastType(), REG_NONE);
    EXPECT_EQ(key.GetLastSize(), 0u);
    EXPECT_FALSE(key.ValueExists(L"missing"));
    EXPECT_TRUE(key.ValueExists(L"TEXT"));
}

TEST_F(SettingsStoreTest, SubKeysAndValueNamesComeSorted)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    const std::wstring base = L"Software\\Vellumar\\Arbolite\\Profiles\\";
    // Written out of order; sorted as upper case, so '_' (after 'Z') follows the letters.
    for (const wchar_t* name : {L"gamma", L"_under", L"Alpha", L"9", L"beta", L"ALPHA2", L"10", L"Common Templates"})
        ASSERT_TRUE(key.CreateKey(base + name));
    ASSERT_TRUE(key.Open(base));
    std::vector<std::wstring> names;
    ASSERT_TRUE(key.ReadSubKeys(names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"10", L"9", L"Alpha", L"ALPHA2", L"beta", L"Common Templates",
                                                L"gamma", L"_under"}));

    ASSERT_TRUE(key.CreateKey(base + L"{GUID}\\Attributes"));
    for (const wchar_t* name : {L"0010", L"0002", L"0000", L"0001", L"zeta", L"Eta", L""})
        ASSERT_TRUE(key.Write(name, std::wstring(name)));
    ASSERT_TRUE(key.ReadValueNames(names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"", L"0000", L"0001", L"0002", L"0010", L"Eta", L"zeta"}));

    // Sub-keys and values are separate name spaces.
    ASSERT_TRUE(key.CreateKey(base + L"{GUID}\\Attributes\\zeta"));
    ASSERT_TRUE(key.Open(base + L"{GUID}\\Attributes"));
    ASSERT_TRUE(key.ReadSubKeys(names));
    EXPECT_EQ(names, std::vector<std::wstring>{L"zeta"});
    ASSERT_TRUE(key.ReadValueNames(names));
    EXPECT_EQ(names.size(), 7u);
}

TEST_F(SettingsStoreTest, PathsIgnoreEmptyParts)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(L"\\a\\\\b\\"));
    ASSERT_TRUE(key.Write(L"v", 1u));
    RegistryKey reader(RegRoot::CurrentUser, true);
    for (const wchar_t* path : {L"a\\b", L"a\\b\\", L"\\a\\b", L"A\\\\B"}) {
        ASSERT_TRUE(reader.Open(path)) << path;
        EXPECT_TRUE(reader.ValueExists(L"v")) << path;
    }
    // "" is the root itself.
    ASSERT_TRUE(reader.Open(L""));
    std::vector<std::wstring> names;
    ASSERT_TRUE(reader.ReadSubKeys(names));
    EXPECT_EQ(names, std::vector<std::wstring>{L"a"});
}

TEST_F(SettingsStoreTest, OpenForReadingNeverCreates)
{
    RegistryKey reader(RegRoot::CurrentUser, true);
    EXPECT_FALSE(reader.Open(L"Software\\Vellumar\\Missing"));
    EXPECT_EQ(reader.GetLastResult(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(reader.IsOpen());
    RegistryKey writer(RegRoot::CurrentUser, false);
    EXPECT_FALSE(writer.Open(L"Software\\Vellumar\\Missing"));  // Open never creates, writable or not
    EXPECT_FALSE(writer.KeyExists(L"Software\\Vellumar\\Missing"));
    EXPECT_FALSE(writer.KeyExists(L"Software"));
    EXPECT_TRUE(writer.KeyExists(L""));

    // A read-only object neither creates nor writes.
    EXPECT_FALSE(reader.CreateKey(L"Software"));
    EXPECT_EQ(reader.GetLastResult(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(writer.CreateKey(L"Software"));
    ASSERT_TRUE(writer.Write(L"kept", 1u));
    ASSERT_TRUE(reader.Open(L"Software"));
    EXPECT_FALSE(reader.Write(L"x", 1u));
    EXPECT_EQ(reader.GetLastResult(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(reader.DeleteValue(L"kept"));
    EXPECT_FALSE(reader.DeleteKey(L"Software"));
    EXPECT_TRUE(reader.ValueExists(L"kept"));
}

TEST_F(SettingsStoreTest, CallsOnAKeyThatIsNotOpenFail)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    std::wstring text;
    std::vector<std::wstring> names{L"stale"};
    EXPECT_FALSE(key.Write(L"v", 1u));
    EXPECT_EQ(key.GetLastResult(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(key.Read(L"v", text));
    EXPECT_EQ(key.GetLastResult(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(key.ReadSubKeys(names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(key.ReadValueNames(names));
    EXPECT_FALSE(key.DeleteValue(L"v"));
    ASSERT_TRUE(key.CreateKey(L"k"));
    key.Close();
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.Write(L"v", 1u));
}

TEST_F(SettingsStoreTest, DeleteValue)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(kSettings));
    ASSERT_TRUE(key.Write(L"a/b", L"x"));
    ASSERT_TRUE(key.Write(L"keep", L"y"));
    EXPECT_TRUE(key.DeleteValue(L"A/B"));
    EXPECT_FALSE(key.ValueExists(L"a/b"));
    EXPECT_FALSE(key.DeleteValue(L"a/b"));
    EXPECT_EQ(key.GetLastResult(), ERROR_FILE_NOT_FOUND);
    std::vector<std::wstring> names;
    ASSERT_TRUE(key.ReadValueNames(names));
    EXPECT_EQ(names, std::vector<std::wstring>{L"keep"});
}

TEST_F(SettingsStoreTest, DeleteKeyTakesEverythingBelow)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    for (const wchar_t* path : {L"P\\a\\b\\c", L"P\\a\\b\\d", L"P\\a\\e", L"P\\ab"}) {
        ASSERT_TRUE(key.CreateKey(path));
        ASSERT_TRUE(key.Write(L"v", std::wstring(path)));
    }
    RegistryKey inside(RegRoot::CurrentUser, false);
    ASSERT_TRUE(inside.Open(L"P\\a\\b\\c"));

    ASSERT_TRUE(key.DeleteKey(L"p\\A\\b\\"));
    for (const wchar_t* gone : {L"P\\a\\b", L"P\\a\\b\\c", L"P\\a\\b\\d"})
        EXPECT_FALSE(key.KeyExists(gone)) << gone;
    for (const wchar_t* kept : {L"P\\a", L"P\\a\\e", L"P\\ab"})
        EXPECT_TRUE(key.KeyExists(kept)) << kept;

    // The key opened below the deleted one fails cleanly, even after its path is made again.
    ASSERT_TRUE(key.CreateKey(L"P\\a\\b\\c"));
    ASSERT_TRUE(key.Write(L"v", L"new"));
    std::wstring text;
    EXPECT_FALSE(inside.Read(L"v", text));
    EXPECT_EQ(inside.GetLastResult(), ERROR_KEY_DELETED);
    EXPECT_FALSE(inside.Write(L"v", L"lost"));
    EXPECT_EQ(inside.GetLastResult(), ERROR_KEY_DELETED);
    std::vector<std::wstring> names;
    EXPECT_FALSE(inside.ReadValueNames(names));
    EXPECT_FALSE(inside.ReadSubKeys(names));
    EXPECT_FALSE(inside.DeleteValue(L"v"));
    ASSERT_TRUE(key.Read(L"v", text));
    EXPECT_EQ(text, L"new");
    // Recreated keys hold none of the old values.
    ASSERT_TRUE(key.Open(L"P\\a\\b"));
    EXPECT_FALSE(key.ValueExists(L"v"));

    EXPECT_FALSE(key.DeleteKey(L"P\\nothing"));
    EXPECT_EQ(key.GetLastResult(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key.DeleteKey(L""));  // the root stays
    EXPECT_FALSE(key.DeleteKey(L"\\"));
    EXPECT_TRUE(key.KeyExists(L"P"));
}

// A list key is replaced whole: its values and its sub-keys go and the texts
// come in one transaction; a failure half-way leaves the key as it was.
TEST_F(SettingsStoreTest, ReplacingAKeysTextsIsAllOrNothing)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(L"L\\sub\\deeper"));
    ASSERT_TRUE(key.Write(L"v", L"below"));
    ASSERT_TRUE(key.CreateKey(L"L"));
    ASSERT_TRUE(key.Write(L"0000", L"old first"));
    ASSERT_TRUE(key.Write(L"0001", L"old second"));
    ASSERT_TRUE(key.Write(L"0002", L"old third"));
    ASSERT_TRUE(key.Write(L"n", uint32_t(7)));
    auto contents = [](const wchar_t* path) {
        RegistryKey reader(RegRoot::CurrentUser, true);
        std::vector<std::wstring> names, subKeys;
        std::vector<std::pair<std::wstring, std::wstring>> texts;
        if (!reader.Open(path) || !reader.ReadValueNames(names) || !reader.ReadSubKeys(subKeys)) return texts;
        for (const std::wstring& name : names) {
            std::wstring text;
            texts.emplace_back(name, reader.Read(name, text) ? text : L"(not a text)");
        }
        for (const std::wstring& sub : subKeys) texts.emplace_back(L"key", sub);
        return texts;
    };
    typedef std::vector<std::pair<std::wstring, std::wstring>> Texts;

    ASSERT_TRUE(key.ReplaceKeyTexts(L"l\\", {{L"0000", L"first"}, {L"0001", L"second"}}));
    const Texts replaced{{L"0000", L"first"}, {L"0001", L"second"}};
    EXPECT_EQ(contents(L"L"), replaced);
    EXPECT_FALSE(key.KeyExists(L"L\\sub"));
    // A key opened before goes on: it is the same key.
    ASSERT_TRUE(key.Open(L"L"));
    ASSERT_TRUE(key.ReplaceKeyTexts(L"L", {{L"0000", L"first"}, {L"0001", L"second"}}));
    std::wstring text;
    EXPECT_TRUE(key.Read(L"0001", text));
    EXPECT_EQ(text, L"second");
    // A missing key is made; an empty list empties it; the root is refused.
    ASSERT_TRUE(key.ReplaceKeyTexts(L"M\\N", {{L"a", L"b"}}));
    EXPECT_EQ(contents(L"M\\N"), (Texts{{L"a", L"b"}}));
    ASSERT_TRUE(key.ReplaceKeyTexts(L"M\\N", {}));
    EXPECT_TRUE(key.KeyExists(L"M\\N"));
    EXPECT_TRUE(contents(L"M\\N").empty());
    EXPECT_FALSE(key.ReplaceKeyTexts(L"", {{L"a", L"b"}}));

    // The store refuses the third text (a trigger stands in for a full disk):
    // nothing of the new list is kept.
    ASSERT_TRUE(testsupport::RefuseSettingsValues(UserFile(), "bad"));
    EXPECT_FALSE(key.ReplaceKeyTexts(L"L", {{L"0000", L"new"}, {L"0001", L"new too"}, {L"bad", L"x"}}));
    EXPECT_EQ(key.GetLastResult(), ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(contents(L"L"), replaced);
}

TEST_F(SettingsStoreTest, SettingsPersistAcrossReopen)
{
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(kSettings));
        ASSERT_TRUE(key.Write(L"Build", 2100u));
        ASSERT_TRUE(key.Write(L"CertificatePath", L"/home/\u00e9/certs"));
    }
    platform::ResetUserRoot();
    RegistryKey key(RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(kSettings));
    uint32_t build = 0;
    EXPECT_TRUE(key.Read(L"Build", build));
    EXPECT_EQ(build, 2100u);
    std::wstring path;
    EXPECT_TRUE(key.Read(L"CertificatePath", path));
    EXPECT_EQ(path, L"/home/\u00e9/certs");

    // The same file opened directly shows the same tree.
    auto store = SettingsStore::Open(UserFile(), false);
    SettingsStore::KeyId id = 0;
    ASSERT_EQ(store->OpenKey("software\\vellumar\\arbolite\\settings", id), ERROR_SUCCESS);
    std::vector<std::string> names;
    ASSERT_EQ(store->ListValueNames(id, names), ERROR_SUCCESS);
    EXPECT_EQ(names, (std::vector<std::string>{"Build", "CertificatePath"}));
}

TEST_F(SettingsStoreTest, UserRootFollowsArboliteHome)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(L"first"));
    const std::string firstFile = UserFile();
    EXPECT_EQ(firstFile, m_home + "/config/settings.db");

    const std::string other = m_home + "/other";
    setenv("ARBOLITE_HOME", other.c_str(), 1);
    platform::ResetUserRoot();
    EXPECT_FALSE(key.KeyExists(L"first"));
    ASSERT_TRUE(key.CreateKey(L"second"));
    EXPECT_TRUE(Exists(other + "/config/settings.db"));
}

TEST_F(SettingsStoreTest, UserFileIsPrivate)
{
    mode_t old = umask(0);  // the mode must not depend on the umask
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(kSettings));
        ASSERT_TRUE(key.Write(L"Password", L"secret"));
        SettingsStore::Open(m_home + "/direct.db", true);
    }
    umask(old);
    EXPECT_EQ(FileMode(UserFile()), 0600u);
    EXPECT_EQ(FileMode(m_home + "/direct.db"), 0600u);

    // A store file that came in readable by others is made private when opened as the user root.
    platform::ResetUserRoot();
    ASSERT_EQ(chmod(UserFile().c_str(), 0644), 0);
    RegistryKey key(RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(kSettings));
    EXPECT_EQ(FileMode(UserFile()), 0600u);
    std::wstring pw;
    EXPECT_TRUE(key.Read(L"Password", pw));
}

TEST_F(SettingsStoreTest, MachineRootIsReadOnlyButFillableByTests)
{
    {
        auto file = SettingsStore::Open(m_machineFile, true);
        ASSERT_TRUE(file->IsWritable());
        RegistryKey fill(file, false);
        ASSERT_TRUE(fill.CreateKey(L"Software\\Vellumar\\Arbolite\\DefaultSchema\\attributeTypes"));
        ASSERT_TRUE(fill.Write(L"1", L"( 1.2.3 NAME 'x' )"));
    }
    RegistryKey reader(RegRoot::LocalMachine, true);
    ASSERT_TRUE(reader.Open(L"Software\\Vellumar\\Arbolite\\DefaultSchema\\attributeTypes\\"));
    std::wstring def;
    ASSERT_TRUE(reader.Read(L"1", def));
    EXPECT_EQ(def, L"( 1.2.3 NAME 'x' )");
    EXPECT_FALSE(reader.Write(L"2", L"nope"));

    EXPECT_FALSE(GetSettingsRoot(RegRoot::LocalMachine)->IsWritable());
    RegistryKey writer(RegRoot::LocalMachine, false);
    EXPECT_FALSE(writer.Open(L"Software\\Vellumar\\Arbolite\\DefaultSchema\\attributeTypes"));
    EXPECT_EQ(writer.GetLastResult(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(writer.CreateKey(L"Software\\Vellumar\\Arbolite\\New"));
    EXPECT_FALSE(writer.DeleteKey(L"Software"));
    EXPECT_EQ(writer.GetLastResult(), ERROR_ACCESS_DENIED);
    // Even the store's own calls refuse to write.
    auto machine = GetSettingsRoot(RegRoot::LocalMachine);
    SettingsStore::KeyId id = 0;
    ASSERT_EQ(machine->OpenKey("Software", id), ERROR_SUCCESS);
    EXPECT_EQ(machine->SetValue(id, "x", REG_DWORD, std::string(4, '\0')), ERROR_ACCESS_DENIED);
    EXPECT_EQ(machine->CreateKey("Software\\New", id), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(reader.KeyExists(L"Software\\Vellumar\\Arbolite\\DefaultSchema"));
    EXPECT_FALSE(reader.KeyExists(L"Software\\New"));

    // The user root is a separate tree.
    RegistryKey user(RegRoot::CurrentUser, true);
    EXPECT_FALSE(user.Open(L"Software\\Vellumar\\Arbolite\\DefaultSchema"));
}

TEST_F(SettingsStoreTest, MissingMachineFileIsAnEmptyRoot)
{
    RegistryKey reader(RegRoot::LocalMachine, true);
    ASSERT_TRUE(reader.Open(L""));
    std::vector<std::wstring> names{L"stale"};
    EXPECT_TRUE(reader.ReadSubKeys(names));
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(reader.ReadValueNames(names));
    EXPECT_FALSE(reader.ValueExists(L""));
    EXPECT_FALSE(reader.Open(L"Software"));
    EXPECT_EQ(reader.GetLastResult(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Exists(m_machineFile));  // reading never creates the file
}

TEST_F(SettingsStoreTest, BadFilesNeverCrash)
{
    struct BadFile { const char* what; std::string bytes; bool sqlite; };
    std::string header("SQLite format 3\0", 16);
    const BadFile cases[] = {
        {"garbage", std::string("\x00\xFF\x13garbage bytes \x01\x02", 20) + std::string(5000, '\xAB'), false},
        {"short text", "not a store", false},
        {"damaged header", header + std::string(4096, '\xFF'), false},
        {"another program's database", "", true},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.what);
        platform::ResetUserRoot();
        SetMachineRootFile(m_machineFile);
        const std::string user = UserFile();
        std::remove((user + ".bad").c_str());
        for (const std::string& path : {user, m_machineFile}) {
            std::remove(path.c_str());
            if (c.sqlite)
                MakeForeignDatabase(path);
            else
                WriteFile(path, c.bytes);
        }
        const std::string machineBefore = FileBytes(m_machineFile);
        const std::string userBefore = FileBytes(user);

        // Machine root: read as empty, file left alone.
        RegistryKey machine(RegRoot::LocalMachine, true);
        EXPECT_TRUE(machine.Open(L""));
        std::vector<std::wstring> names;
        EXPECT_TRUE(machine.ReadSubKeys(names));
        EXPECT_TRUE(names.empty());
        EXPECT_FALSE(machine.Open(L"Software"));
        EXPECT_EQ(FileBytes(m_machineFile), machineBefore);

        // User root: the bad file is kept aside, a new store starts empty and works.
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.Open(L""));
        ASSERT_TRUE(key.ReadSubKeys(names));
        EXPECT_TRUE(names.empty());
        EXPECT_EQ(FileBytes(user + ".bad"), userBefore);
        ASSERT_TRUE(key.CreateKey(kSettings));
        ASSERT_TRUE(key.Write(L"Build", 1u));
        EXPECT_EQ(FileMode(user), 0600u);
        platform::ResetUserRoot();
        EXPECT_TRUE(key.Open(kSettings));
        EXPECT_TRUE(key.ValueExists(L"Build"));
    }
}

TEST_F(SettingsStoreTest, StaleJournalOfABadFileDoesNotReachTheNewStore)
{
    const std::string user = UserFile();
    WriteFile(user, "definitely not a store");
    WriteFile(user + "-journal", std::string(2048, '\x11'));
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(L"k"));
        ASSERT_TRUE(key.Write(L"v", 5u));
    }
    EXPECT_EQ(FileBytes(user + ".bad"), "definitely not a store");
    EXPECT_FALSE(Exists(user + "-journal"));
    platform::ResetUserRoot();
    RegistryKey key(RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(L"k"));
    uint32_t v = 0;
    EXPECT_TRUE(key.Read(L"v", v));
    EXPECT_EQ(v, 5u);
}

TEST_F(SettingsStoreTest, EmptyFileBecomesAStore)
{
    WriteFile(UserFile(), "");
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(L"k"));
    EXPECT_FALSE(Exists(UserFile() + ".bad"));
}

TEST_F(SettingsStoreTest, ThreadsWritingDifferentKeys)
{
    constexpr int kThreads = 2;
    constexpr int kValues = 150;
    std::atomic<int> failures{0};
    std::atomic<bool> writing{true};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            RegistryKey key(RegRoot::CurrentUser, false);
            if (!key.CreateKey(L"Profiles\\thread" + std::to_wstring(t))) ++failures;
            for (int i = 0; i < kValues; ++i)
                if (!key.Write(L"v" + std::to_wstring(i), static_cast<uint32_t>(t * 1000 + i))) ++failures;
        });
    }
    // A reader walks the tree meanwhile, as a worker reading profiles would.
    std::thread reader([&writing, &failures] {
        RegistryKey key(RegRoot::CurrentUser, true);
        while (writing) {
            if (key.Open(L"Profiles")) {
                std::vector<std::wstring> names;
                if (!key.ReadSubKeys(names)) ++failures;
            }
        }
    });
    for (auto& th : threads) th.join();
    writing = false;
    reader.join();
    EXPECT_EQ(failures.load(), 0);

    for (int t = 0; t < kThreads; ++t) {
        RegistryKey key(RegRoot::CurrentUser, true);
        ASSERT_TRUE(key.Open(L"Profiles\\thread" + std::to_wstring(t)));
        std::vector<std::wstring> names;
        ASSERT_TRUE(key.ReadValueNames(names));
        EXPECT_EQ(names.size(), static_cast<size_t>(kValues));
        uint32_t last = 0;
        EXPECT_TRUE(key.Read(L"v" + std::to_wstring(kValues - 1), last));
        EXPECT_EQ(last, static_cast<uint32_t>(t * 1000 + kValues - 1));
    }
}

TEST_F(SettingsStoreTest, TwoStoresOnOneFileSeeEachOthersWrites)
{
    const std::string path = m_home + "/shared.db";
    auto a = SettingsStore::Open(path, true);
    auto b = SettingsStore::Open(path, true);
    SettingsStore::KeyId ka = 0, kb = 0;
    ASSERT_EQ(a->CreateKey("k", ka), ERROR_SUCCESS);
    ASSERT_EQ(a->SetValue(ka, "v", REG_BINARY, std::string("\x00\xFF", 2)), ERROR_SUCCESS);
    ASSERT_EQ(b->OpenKey("K", kb), ERROR_SUCCESS);
    uint32_t type = 0;
    std::string data;
    ASSERT_EQ(b->GetValue(kb, "V", type, data), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(data, std::string("\x00\xFF", 2));
}

TEST_F(SettingsStoreTest, DeletingInAFileWhoseKeysLoopEnds)
{
    std::string path = m_home + "/looped.db";
    {
        auto store = platform::SettingsStore::Open(path, true);
        platform::SettingsStore::KeyId id;
        ASSERT_EQ(store->CreateKey("A\\B", id), platform::ERROR_SUCCESS);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE keys SET parent=(SELECT id FROM keys WHERE name='A') WHERE id=1", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    auto store = platform::SettingsStore::Open(path, true);
    store->DeleteKey("A");  // must return, whatever it answers
    SUCCEED();
}

// Several programs starting at once each make or open the store and write;
// none may take a store for a foreign file and move it aside, nor move aside
// the new store another made in place of a foreign file.
TEST_F(SettingsStoreTest, SimultaneousStartsKeepEveryAcknowledgedWrite)
{
    constexpr int kRounds = 20;
    constexpr int kProcesses = 6;
    const std::string foreign = "not a settings store";
    for (bool foreignFirst : {false, true}) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(std::string(foreignFirst ? "foreign file" : "fresh folder") + ", round " + std::to_string(round));
            const std::string folder = m_home + "/" + (foreignFirst ? "foreign" : "fresh") + std::to_string(round);
            ASSERT_TRUE(MakeFolders(folder));
            const std::string path = folder + "/settings.db";
            if (foreignFirst) WriteFile(path, foreign);
            auto run = testsupport::RunSimultaneously(kProcesses, [&](char id) {
                auto store = SettingsStore::Open(path, true);
                SettingsStore::KeyId key = 0;
                return store->CreateKey("k", key) == ERROR_SUCCESS &&
                       store->SetValue(key, std::string("v") + id, REG_DWORD, std::string(4, id)) == ERROR_SUCCESS;
            });
            EXPECT_TRUE(run.allExitedCleanly);
            const std::string& acknowledged = run.acknowledged;

            if (foreignFirst)
                EXPECT_TRUE(FileBytes(path + ".bad") == foreign) << "a store was moved aside";
            else
                EXPECT_FALSE(Exists(path + ".bad")) << "a store was moved aside";
            EXPECT_FALSE(acknowledged.empty());
            auto store = SettingsStore::Open(path, false);
            SettingsStore::KeyId key = 0;
            ASSERT_EQ(store->OpenKey("k", key), ERROR_SUCCESS);
            for (char id : acknowledged) {
                uint32_t type = 0;
                std::string data;
                EXPECT_EQ(store->GetValue(key, std::string("v") + id, type, data), ERROR_SUCCESS) << "lost: v" << id;
            }
            if (HasFailure()) return;
        }
    }
}
