#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/support/SimultaneousStarts.h"
#include "schema/compound/CompoundStorage.h"

using namespace platform;

namespace {

constexpr uint32_t kRW = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr uint32_t kRO = STGM_READ | STGM_SHARE_EXCLUSIVE;

std::string Pattern(size_t n, unsigned seed)
{
    std::string s(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        s[i] = static_cast<char>(x >> 16);
    }
    return s;
}

HRESULT WriteAll(CStream& s, const std::string& bytes)
{
    uint32_t written = 0;
    HRESULT hr = s.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
    if (SUCCEEDED(hr) && written != bytes.size()) return E_FAIL;
    return hr;
}

// The whole stream from its start.
std::string ReadAll(CStream& s)
{
    uint64_t size = 0;
    if (FAILED(s.GetSize(size)) || FAILED(s.Seek(0, STREAM_SEEK_SET, nullptr))) return "<error>";
    std::string out(size, '\0');
    uint32_t read = 0;
    if (FAILED(s.Read(&out[0], static_cast<uint32_t>(size), &read)) || read != size) return "<short>";
    return out;
}

std::vector<std::string> Names(const CStorage& st)
{
    std::vector<StorageElementInfo> elements;
    std::vector<std::string> names;
    if (FAILED(st.EnumElements(elements))) return {"<error>"};
    for (const auto& e : elements) names.push_back(e.name + (e.type == STGTY_STORAGE ? "/" : ""));
    return names;
}

class CompoundStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/arbstore-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
        m_path = m_dir + "/cache.dat";
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    void WriteFile(const std::string& bytes)
    {
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string FileBytes()
    {
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // A closed store holding one stream "data" with the given bytes.
    void MakeStore(const std::string& bytes)
    {
        CStorage root;
        ASSERT_EQ(CStorage::CreateFile(m_path, kRW | STGM_CREATE, root), S_OK);
        CStream s;
        ASSERT_EQ(root.CreateStream("data", kRW, s), S_OK);
        ASSERT_EQ(WriteAll(s, bytes), S_OK);
    }

    std::string m_dir;
    std::string m_path;
};

TEST_F(CompoundStorageTest, StreamBytesSurviveCloseAndReopen)
{
    // Sizes around the inner chunk boundaries.
    const size_t sizes[] = {0, 1, 4095, 4096, 4097, 8192, 12289, 100000};
    {
        CStorage root;
        ASSERT_EQ(CStorage::CreateFile(m_path, kRW, root), S_OK);
        for (size_t n : sizes) {
            CStream s;
            ASSERT_EQ(root.CreateStream("s" + std::to_string(n), kRW, s), S_OK);
            ASSERT_EQ(WriteAll(s, Pattern(n, static_cast<unsigned>(n))), S_OK);
            EXPECT_EQ(s.GetPosition(), n);
        }
    }
    EXPECT_TRUE(CStorage::IsStorageFile(m_path));
    CStorage root;
    ASSERT_EQ(CStorage::OpenFile(m_path, kRO, root), S_OK);
    for (size_t n : sizes) {
        SCOPED_TRACE(n);
        CStream s;
        ASSERT_EQ(root.OpenStream("s" + std::to_string(n), kRO, s), S_OK);
        uint64_t size = 0;
        ASSERT_EQ(s.GetSize(size), S_OK);
        EXPECT_EQ(size, n);
        EXPECT_TRUE(ReadAll(s) == Pattern(n, static_cast<unsigned>(n)));
    }
}

TEST_F(CompoundStorageTest, SeekReadWriteAndSizeInsideAStream)
{
    CStorage root;
    ASSERT_EQ(CStorage::CreateFile(m_path, kRW, root), S_OK);
    CStream s;
    ASSERT_EQ(root.CreateStream("s", kRW, s), S_OK);
    ASSERT_EQ(WriteAll(s, "hello world"), S_OK);

    // Overwrite in the middle.
    uint64_t pos = 0;
    ASSERT_EQ(s.Seek(6, STREAM_SEEK_SET, &pos), S_OK);
    EXPECT_EQ(pos, 6u);
    ASSERT_EQ(WriteAll(s, "WORLD"), S_OK);
    EXPECT_EQ(ReadAll(s), "hello WORLD");

    // Writing past the end leaves zeros in the gap, across a chunk boundary.
    ASSERT_EQ(s.Seek(5000, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(WriteAll(s, "tail"), S_OK);
    std::string all = ReadAll(s);
    ASSERT_EQ(all.size(), 5004u);
    EXPECT_EQ(all.substr(0, 11), "hello WORLD");
    EXPECT_EQ(all.substr(11, 5000 - 11), std::string(5000 - 11, '\0'));
    EXPECT_EQ(all.substr(5000), "tail");

    // Reads at and past the end give nothing and succeed.
    char buf[8];
    uint32_t read = 99;
    ASSERT_EQ(s.Seek(0, STREAM_SEEK_END, &pos), S_OK);
    EXPECT_EQ(pos, 5004u);
    EXPECT_EQ(s.Read(buf, sizeof buf, &read), S_OK);
    EXPECT_EQ(read, 0u);
    ASSERT_EQ(s.Seek(100, STREAM_SEEK_CUR, &pos), S_OK);
    EXPECT_EQ(s.Read(buf, sizeof buf, &read), S_OK);
    EXPECT_EQ(read, 0u);
    ASSERT_EQ(s.Seek(-3, STREAM_SEEK_END, nullptr), S_OK);
    EXPECT_EQ(s.Read(buf, sizeof buf, &read), S_OK);
    EXPECT_EQ(std::string(buf, read), "ail");

    // Before the start, or an unknown origin: refused, position kept.
    ASSERT_EQ(s.Seek(2, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(s.Seek(-3, STREAM_SEEK_CUR, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s.Seek(0, 7, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s.GetPosition(), 2u);

    // Cutting and growing again shows zeros, not the old bytes.
    ASSERT_EQ(s.SetSize(3), S_OK);
    EXPECT_EQ(ReadAll(s), "hel");
    ASSERT_EQ(s.SetSize(8), S_OK);
    EXPECT_EQ(ReadAll(s), std::string("hel\0\0\0\0\0", 8));
    ASSERT_EQ(s.SetSize(0), S_OK);
    EXPECT_EQ(ReadAll(s), "");

    // Two handles on one stream: own positions, shared bytes.
    CStream a, b;
    ASSERT_EQ(root.CreateStream("t", kRW, a), S_OK);
    ASSERT_EQ(root.OpenStream("T", kRW, b), S_OK);
    ASSERT_EQ(WriteAll(a, "abc"), S_OK);
    EXPECT_EQ(b.GetPosition(), 0u);
    EXPECT_EQ(ReadAll(b), "abc");
    CStream c;
    ASSERT_EQ(a.Clone(c), S_OK);
    EXPECT_EQ(c.GetPosition(), 3u);
    ASSERT_EQ(WriteAll(c, "def"), S_OK);
    EXPECT_EQ(a.GetPosition(), 3u);
    EXPECT_EQ(ReadAll(a), "abcdef");
}

TEST_F(CompoundStorageTest, StoredSizeCountsTheBytesTheFileHolds)
{
    CStorage root;
    ASSERT_EQ(CStorage::CreateFile(m_path, kRW, root), S_OK);
    CStream s;
    ASSERT_EQ(root.CreateStream("s", kRW, s), S_OK);
    auto stored = [&]() {
        uint64_t n = 99;
        EXPECT_EQ(s.GetStoredSize(n), S_OK);
        return n;
    };
    EXPECT_EQ(stored(), 0u);
    ASSERT_EQ(WriteAll(s, Pattern(5000, 1)), S_OK);
    EXPECT_EQ(stored(), 5000u);
    // Grown without writing: a size with nothing behind it.
    ASSERT_EQ(s.SetSize(255u << 20), S_OK);
    EXPECT_EQ(stored(), 5000u);
    // A write past the end leaves a gap that holds nothing but the zeros
    // before it in its own chunk of 4096 bytes.
    ASSERT_EQ(s.Seek(20000, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(WriteAll(s, "tail"), S_OK);
    EXPECT_EQ(stored(), 5000u + 20000 % 4096 + 4);
    // Cut inside a chunk: what is past the size does not count.
    ASSERT_EQ(s.SetSize(4500), S_OK);
    EXPECT_EQ(stored(), 4500u);
    ASSERT_EQ(s.SetSize(0), S_OK);
    EXPECT_EQ(stored(), 0u);
    CStream none;
    uint64_t n = 0;
    EXPECT_EQ(none.GetStoredSize(n), STG_E_INVALIDPOINTER);
}

TEST_F(CompoundStorageTest, NestedStoragesPathsEnumerationAndDestruction)
{
    CStorage root;
    ASSERT_EQ(CStorage::CreateFile(m_path, kRW, root), S_OK);
    CStream s;
    ASSERT_EQ(root.CreateStreamAt("hosts/A1/attributeTypes", kRW, s), S_OK);
    ASSERT_EQ(WriteAll(s, "one"), S_OK);
    ASSERT_EQ(root.CreateStreamAt("hosts/A1/objectClasses", kRW, s), S_OK);
    ASSERT_EQ(WriteAll(s, "two!"), S_OK);
    ASSERT_EQ(root.CreateStreamAt("hosts/b2/meta", kRW, s), S_OK);
    ASSERT_EQ(root.CreateStream("HostsInformation", kRW, s), S_OK);
    s.Close();

    EXPECT_EQ(Names(root), (std::vector<std::string>{"hosts/", "HostsInformation"}));
    CStorage hosts, a1;
    ASSERT_EQ(root.OpenStorage("hosts", kRW, hosts), S_OK);
    EXPECT_EQ(Names(hosts), (std::vector<std::string>{"A1/", "b2/"}));
    ASSERT_EQ(root.OpenStorageAt("HOSTS/a1", kRW, a1), S_OK);
    std::vector<StorageElementInfo> elements;
    ASSERT_EQ(a1.EnumElements(elements), S_OK);
    EXPECT_EQ(elements, (std::vector<StorageElementInfo>{{"attributeTypes", STGTY_STREAM, 3},
                                                        {"objectClasses", STGTY_STREAM, 4}}));

    ASSERT_EQ(root.OpenStreamAt("hosts/A1/objectClasses", kRO, s), S_OK);
    EXPECT_EQ(ReadAll(s), "two!");
    EXPECT_EQ(root.OpenStreamAt("hosts/zz/objectClasses", kRO, s), STG_E_PATHNOTFOUND);
    EXPECT_EQ(root.OpenStreamAt("hosts/A1/nothing", kRO, s), STG_E_FILENOTFOUND);

    // Renaming keeps the content; a clash or a missing source is refused.
    ASSERT_EQ(hosts.RenameElement("b2", "C3"), S_OK);
    EXPECT_EQ(Names(hosts), (std::vector<std::string>{"A1/", "C3/"}));
    EXPECT_EQ(hosts.RenameElement("C3", "a1"), STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(hosts.RenameElement("b2", "D4"), STG_E_FILENOTFOUND);
    ASSERT_EQ(hosts.RenameElement("c3", "c3"), S_OK);  // a change of case only
    EXPECT_EQ(Names(hosts), (std::vector<std::string>{"A1/", "c3/"}));

    // Destroying a storage takes everything below it; open handles on it go dead.
    CStream held;
    ASSERT_EQ(a1.OpenStream("attributeTypes", kRW, held), S_OK);
    ASSERT_EQ(hosts.DestroyElement("a1"), S_OK);
    EXPECT_EQ(Names(hosts), (std::vector<std::string>{"c3/"}));
    EXPECT_EQ(held.Write("x", 1, nullptr), STG_E_REVERTED);
    char b;
    EXPECT_EQ(held.Read(&b, 1, nullptr), STG_E_REVERTED);
    EXPECT_EQ(a1.EnumElements(elements), STG_E_REVERTED);
    EXPECT_EQ(a1.CreateStream("again", kRW, s), STG_E_REVERTED);
    EXPECT_EQ(hosts.DestroyElement("a1"), STG_E_FILENOTFOUND);
    // A new element of the same name is a different element.
    CStorage again;
    ASSERT_EQ(hosts.CreateStorage("A1", kRW, again), S_OK);
    EXPECT_EQ(held.Write("x", 1, nullptr), STG_E_REVERTED);
    EXPECT_EQ(Names(again), std::vector<std::string>{});

    // Nothing of the destroyed subtree is left in the file.
    root.Close();
    hosts.Close();
    a1.Close();
    again.Close();
    held.Close();
    s.Close();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(m_path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT count(*) FROM chunks c JOIN elements e ON e.id=c.element "
                                     "WHERE e.name IN ('attributeTypes','objectClasses')",
                                 -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST_F(CompoundStorageTest, ElementNamesAndCreationRules)
{
    CStorage root;
    ASSERT_EQ(CStorage::CreateFile(m_path, kRW, root), S_OK);
    CStream s;
    CStorage st;
    struct Case {
        std::string name;
        HRESULT expected;
    };
    const Case cases[] = {
        {"", STG_E_INVALIDNAME},
        {std::string(31, 'n'), S_OK},
        {std::string(32, 'n'), STG_E_INVALIDNAME},
        {"a/b", STG_E_INVALIDNAME},
        {"a\\b", STG_E_INVALIDNAME},
        {"a:b", STG_E_INVALIDNAME},
        {"a!b", STG_E_INVALIDNAME},
        {std::string("a\0b", 3), STG_E_INVALIDNAME},
        {"with space and \xC3\xA4", S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(root.CreateStream(c.name, kRW, s), c.expected);
        EXPECT_EQ(root.CreateStorage(c.name, kRW | STGM_CREATE, st), c.expected);
    }

    // Names meet ignoring ASCII case; the first spelling is kept.
    ASSERT_EQ(root.CreateStream("SchemaMetaInformation", kRW, s), S_OK);
    ASSERT_EQ(WriteAll(s, "16 bytes of meta"), S_OK);
    EXPECT_EQ(root.CreateStream("schemametainformation", kRW, s), STG_E_FILEALREADYEXISTS);
    ASSERT_EQ(root.OpenStream("SCHEMAMETAINFORMATION", kRO, s), S_OK);
    EXPECT_EQ(ReadAll(s), "16 bytes of meta");
    // A stream is not a storage and the other way round.
    EXPECT_EQ(root.OpenStorage("SchemaMetaInformation", kRW, st), STG_E_FILENOTFOUND);
    EXPECT_EQ(root.CreateStorage("SchemaMetaInformation", kRW, st), STG_E_FILEALREADYEXISTS);
    // STGM_CREATE replaces the element, whatever it was, with an empty one.
    ASSERT_EQ(root.CreateStream("schemaMetaInformation", kRW | STGM_CREATE, s), S_OK);
    EXPECT_EQ(ReadAll(s), "");
    ASSERT_EQ(root.CreateStorage("SchemaMetaInformation", kRW | STGM_CREATE, st), S_OK);
    EXPECT_EQ(root.OpenStream("SchemaMetaInformation", kRO, s), STG_E_FILENOTFOUND);
    // Flags that make no sense here.
    EXPECT_EQ(root.CreateStream("x", STGM_READWRITE | STGM_WRITE, s), STG_E_INVALIDFLAG);
    EXPECT_EQ(root.OpenStream("x", kRW | STGM_CREATE, s), STG_E_INVALIDFLAG);
    // A closed handle answers, it does not crash.
    CStorage none;
    CStream noStream;
    EXPECT_EQ(none.CreateStream("x", kRW, s), STG_E_INVALIDPOINTER);
    EXPECT_EQ(noStream.Write("x", 1, nullptr), STG_E_INVALIDPOINTER);
    EXPECT_EQ(noStream.Seek(0, STREAM_SEEK_SET, nullptr), STG_E_INVALIDPOINTER);
}

TEST_F(CompoundStorageTest, ReadOnlyAccessRefusesEveryChange)
{
    MakeStore("payload");
    CStorage root;
    ASSERT_EQ(CStorage::OpenFile(m_path, kRO, root), S_OK);
    CStream s;
    CStorage st;
    EXPECT_EQ(root.CreateStream("new", kRW, s), STG_E_ACCESSDENIED);
    EXPECT_EQ(root.OpenStream("data", kRW, s), STG_E_ACCESSDENIED);  // more than the parent allows
    EXPECT_EQ(root.DestroyElement("data"), STG_E_ACCESSDENIED);
    EXPECT_EQ(root.RenameElement("data", "other"), STG_E_ACCESSDENIED);
    ASSERT_EQ(root.OpenStream("data", kRO, s), S_OK);
    EXPECT_EQ(s.Write("x", 1, nullptr), STG_E_ACCESSDENIED);
    EXPECT_EQ(s.SetSize(0), STG_E_ACCESSDENIED);
    EXPECT_EQ(ReadAll(s), "payload");
    root.Close();
    s.Close();

    // A read-only stream handle in a writable file.
    ASSERT_EQ(CStorage::OpenFile(m_path, kRW, root), S_OK);
    ASSERT_EQ(root.OpenStream("data", kRO, s), S_OK);
    EXPECT_EQ(s.Write("x", 1, nullptr), STG_E_ACCESSDENIED);
    EXPECT_EQ(ReadAll(s), "payload");
    // A file cannot be created for reading only.
    CStorage other;
    EXPECT_EQ(CStorage::CreateFile(m_dir + "/ro.dat", kRO, other), STG_E_INVALIDFLAG);
}

TEST_F(CompoundStorageTest, DirectFilesKeepEveryWriteAtOnce)
{
    CStorage root;
    ASSERT_EQ(CStorage::CreateFile(m_path, STGM_READWRITE | STGM_SHARE_DENY_NONE, root), S_OK);
    CStream s;
    ASSERT_EQ(root.CreateStream("s", STGM_READWRITE, s), S_OK);
    ASSERT_EQ(WriteAll(s, "kept"), S_OK);
    EXPECT_EQ(root.Revert(), S_OK);  // nothing pending in a direct file
    EXPECT_EQ(ReadAll(s), "kept");

    // Another reader sees the write before anything is committed or closed.
    CStorage reader;
    ASSERT_EQ(CStorage::OpenFile(m_path, STGM_READ | STGM_SHARE_DENY_NONE, reader), S_OK);
    CStream r;
    ASSERT_EQ(reader.OpenStream("s", STGM_READ, r), S_OK);
    EXPECT_EQ(ReadAll(r), "kept");
}

TEST_F(CompoundStorageTest, TransactedFilesCommitOrRevertAsAWhole)
{
    const uint32_t kTx = kRW | STGM_TRANSACTED;
    {
        CStorage root;
        ASSERT_EQ(CStorage::CreateFile(m_path, kTx, root), S_OK);
        CStream s;
        ASSERT_EQ(root.CreateStreamAt("host/meta", kRW, s), S_OK);
        ASSERT_EQ(WriteAll(s, "first"), S_OK);
        ASSERT_EQ(root.Commit(STGC_DEFAULT), S_OK);

        // Revert drops every change since the commit, in every storage...
        ASSERT_EQ(s.Seek(0, STREAM_SEEK_SET, nullptr), S_OK);
        ASSERT_EQ(WriteAll(s, "FIRST, longer"), S_OK);
        CStream other;
        ASSERT_EQ(root.CreateStream("other", kRW, other), S_OK);
        ASSERT_EQ(root.DestroyElement("host"), S_OK);
        EXPECT_EQ(Names(root), std::vector<std::string>{"other"});
        ASSERT_EQ(root.Revert(), S_OK);
        EXPECT_EQ(Names(root), std::vector<std::string>{"host/"});
        // ...and the handles opened below the root are dead; the root lives on.
        EXPECT_EQ(s.Write("x", 1, nullptr), STG_E_REVERTED);
        EXPECT_EQ(other.Write("x", 1, nullptr), STG_E_REVERTED);
        ASSERT_EQ(root.OpenStreamAt("host/meta", kRW, s), S_OK);
        EXPECT_EQ(ReadAll(s), "first");

        // Changes left uncommitted when the file closes are dropped.
        ASSERT_EQ(WriteAll(s, " and second"), S_OK);
        ASSERT_EQ(root.CreateStream("late", kRW, other), S_OK);
        EXPECT_EQ(ReadAll(s), "first and second");
    }
    {
        CStorage root;
        ASSERT_EQ(CStorage::OpenFile(m_path, kTx, root), S_OK);
        EXPECT_EQ(Names(root), std::vector<std::string>{"host/"});
        CStream s;
        ASSERT_EQ(root.OpenStreamAt("host/meta", kRW, s), S_OK);
        EXPECT_EQ(ReadAll(s), "first");
        // Commit on any storage of the file commits the file.
        CStorage host;
        ASSERT_EQ(root.OpenStorage("host", kRW, host), S_OK);
        ASSERT_EQ(s.SetSize(2), S_OK);
        ASSERT_EQ(host.Commit(), S_OK);
    }
    CStorage root;
    ASSERT_EQ(CStorage::OpenFile(m_path, kRO, root), S_OK);
    CStream s;
    ASSERT_EQ(root.OpenStreamAt("host/meta", kRO, s), S_OK);
    EXPECT_EQ(ReadAll(s), "fi");
}

TEST_F(CompoundStorageTest, FilesThatAreNotStoresAreNeverFatal)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string sqliteHeader("SQLite format 3\0", 16);
    const Case cases[] = {
        {"empty file", ""},
        {"text", "this is not a store\r\n"},
        {"random bytes", Pattern(10000, 7)},
        {"an old compound file header", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + Pattern(504, 3)},
        {"an SQLite header and garbage", sqliteHeader + Pattern(4080, 9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(c.bytes);
        EXPECT_FALSE(CStorage::IsStorageFile(m_path));
        CStorage root;
        EXPECT_EQ(CStorage::OpenFile(m_path, kRW, root), STG_E_INVALIDHEADER);
        EXPECT_FALSE(root.IsOpen());
        EXPECT_EQ(CStorage::OpenFile(m_path, kRO, root), STG_E_INVALIDHEADER);
        EXPECT_EQ(FileBytes(), c.bytes);  // opening does not touch it
        EXPECT_EQ(CStorage::CreateFile(m_path, kRW, root), STG_E_FILEALREADYEXISTS);

        // Conversion keeps the old bytes in "CONTENTS".
        ASSERT_EQ(CStorage::CreateFile(m_path, kRW | STGM_CONVERT, root), STG_S_CONVERTED);
        CStream contents;
        ASSERT_EQ(root.OpenStream("CONTENTS", kRW, contents), S_OK);
        EXPECT_TRUE(ReadAll(contents) == c.bytes);
        ASSERT_EQ(root.DestroyElement("CONTENTS"), S_OK);
        EXPECT_EQ(Names(root), std::vector<std::string>{});
        contents.Close();
        root.Close();
        EXPECT_TRUE(CStorage::IsStorageFile(m_path));

        // Taken as an empty store.
        WriteFile(c.bytes);
        ASSERT_EQ(CStorage::OpenOrReplaceFile(m_path, kRW, root), S_FALSE);
        EXPECT_EQ(Names(root), std::vector<std::string>{});
        CStream s;
        ASSERT_EQ(root.CreateStream("fresh", kRW, s), S_OK);
        ASSERT_EQ(WriteAll(s, "ok"), S_OK);
        s.Close();
        root.Close();
        ASSERT_EQ(CStorage::OpenOrReplaceFile(m_path, kRW, root), S_OK);
        EXPECT_EQ(Names(root), std::vector<std::string>{"fresh"});
    }
}

TEST_F(CompoundStorageTest, TruncatedStoresAreRefusedCleanly)
{
    MakeStore(Pattern(200000, 1));
    std::string whole = FileBytes();
    ASSERT_GT(whole.size(), 200000u);
    const size_t cuts[] = {10, 100, 4096, whole.size() / 2, whole.size() - 4096};
    for (size_t cut : cuts) {
        SCOPED_TRACE(cut);
        WriteFile(whole.substr(0, cut));
        CStorage root;
        HRESULT hr = CStorage::OpenFile(m_path, kRW, root);
        EXPECT_EQ(hr, STG_E_INVALIDHEADER);
        ASSERT_EQ(CStorage::OpenOrReplaceFile(m_path, kRW, root), S_FALSE);
        EXPECT_EQ(Names(root), std::vector<std::string>{});
    }
}

TEST_F(CompoundStorageTest, OtherSQLiteFilesAreNotStores)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(m_path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE elements(id INTEGER); INSERT INTO elements VALUES(1);", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    CStorage root;
    EXPECT_FALSE(CStorage::IsStorageFile(m_path));
    EXPECT_EQ(CStorage::OpenFile(m_path, kRW, root), STG_E_INVALIDHEADER);
}

TEST_F(CompoundStorageTest, MissingFilesAndFolders)
{
    CStorage root;
    EXPECT_EQ(CStorage::OpenFile(m_path, kRW, root), STG_E_FILENOTFOUND);
    EXPECT_FALSE(CStorage::IsStorageFile(m_path));
    EXPECT_EQ(CStorage::CreateFile(m_dir + "/no/such/folder/x.dat", kRW, root), STG_E_PATHNOTFOUND);
    EXPECT_EQ(CStorage::OpenFile(m_path, kRW | STGM_CREATE, root), STG_E_INVALIDFLAG);
    EXPECT_EQ(CStorage::CreateFile(m_path, kRW | STGM_CREATE | STGM_CONVERT, root), STG_E_INVALIDFLAG);
    // Converting a file that is not there just creates it.
    EXPECT_EQ(CStorage::CreateFile(m_path, kRW | STGM_CONVERT, root), S_OK);
    EXPECT_EQ(Names(root), std::vector<std::string>{});
    // No temporary files stay behind.
    root.Close();
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(m_dir)) left.push_back(e.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"cache.dat"});
}

TEST_F(CompoundStorageTest, ExclusiveHoldersShutOthersOut)
{
    MakeStore("x");
    // Another process is refused by the file lock. It is forked before this
    // one opens the file, so it knows nothing of that but the lock.
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char c;
        if (read(ready[0], &c, 1) != 1) _exit(2);
        CStorage other;
        HRESULT opened = CStorage::OpenFile(m_path, kRW, other);
        // Nor is the file replaced under its holder.
        HRESULT replaced = CStorage::CreateFile(m_path, kRW | STGM_CREATE, other);
        _exit(opened == STG_E_LOCKVIOLATION && replaced == STG_E_LOCKVIOLATION ? 0 : 1);
    }
    CStorage first;
    ASSERT_EQ(CStorage::OpenFile(m_path, kRW, first), S_OK);
    ASSERT_EQ(write(ready[1], "g", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other process got in";
    for (int fd : {ready[0], ready[1], done[0], done[1]}) close(fd);
    CStream data;
    ASSERT_EQ(first.OpenStream("data", kRW, data), S_OK);
    EXPECT_EQ(ReadAll(data), "x");
    data.Close();

    CStorage second;
    EXPECT_EQ(CStorage::OpenFile(m_path, kRW, second), STG_E_SHAREVIOLATION);
    EXPECT_EQ(CStorage::OpenFile(m_path, STGM_READ | STGM_SHARE_DENY_NONE, second), STG_E_SHAREVIOLATION);
    EXPECT_EQ(CStorage::CreateFile(m_path, kRW | STGM_CREATE, second), STG_E_SHAREVIOLATION);
    EXPECT_EQ(CStorage::OpenOrReplaceFile(m_path, kRW, second), STG_E_SHAREVIOLATION);

    first.Close();
    EXPECT_EQ(CStorage::OpenFile(m_path, kRW, second), S_OK);

    // Holders that share get in side by side.
    CStorage a, b;
    second.Close();
    ASSERT_EQ(CStorage::OpenFile(m_path, STGM_READWRITE | STGM_SHARE_DENY_NONE, a), S_OK);
    ASSERT_EQ(CStorage::OpenFile(m_path, STGM_READ | STGM_SHARE_DENY_NONE, b), S_OK);
    EXPECT_EQ(CStorage::OpenFile(m_path, kRW, second), STG_E_SHAREVIOLATION);
}

TEST_F(CompoundStorageTest, WritersOnManyThreadsAreSerialised)
{
    constexpr int kThreads = 8;
    constexpr int kRecords = 150;
    constexpr uint32_t kRecordSize = 37;  // records straddle the inner chunks
    CStorage root;
    ASSERT_EQ(CStorage::CreateFile(m_path, kRW, root), S_OK);
    CStream shared;
    ASSERT_EQ(root.CreateStream("shared", kRW, shared), S_OK);
    ASSERT_EQ(shared.SetSize(uint64_t(kThreads) * kRecords * kRecordSize), S_OK);

    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Each thread: its own sub-storage and stream, plus its own handle on
            // one shared stream where it writes every kThreads-th record.
            CStorage mine;
            CStream own, common;
            if (FAILED(root.CreateStorageAt("threads/t" + std::to_string(t), kRW, mine)) ||
                FAILED(mine.CreateStream("log", kRW, own)) || FAILED(root.OpenStream("shared", kRW, common))) {
                ++failures;
                return;
            }
            for (int r = 0; r < kRecords; ++r) {
                std::string rec = Pattern(kRecordSize, static_cast<unsigned>(t * 1000 + r));
                uint64_t at = (uint64_t(r) * kThreads + t) * kRecordSize;
                if (FAILED(WriteAll(own, rec)) || FAILED(common.Seek(static_cast<int64_t>(at), STREAM_SEEK_SET, nullptr)) ||
                    FAILED(WriteAll(common, rec)))
                    ++failures;
            }
        });
    }
    for (auto& th : threads) th.join();
    ASSERT_EQ(failures.load(), 0);
    root.Close();
    shared.Close();

    ASSERT_EQ(CStorage::OpenFile(m_path, kRO, root), S_OK);
    ASSERT_EQ(root.OpenStream("shared", kRO, shared), S_OK);
    std::string all = ReadAll(shared);
    ASSERT_EQ(all.size(), size_t(kThreads) * kRecords * kRecordSize);
    CStorage threadsStorage;
    ASSERT_EQ(root.OpenStorage("threads", kRO, threadsStorage), S_OK);
    EXPECT_EQ(Names(threadsStorage).size(), size_t(kThreads));
    for (int t = 0; t < kThreads; ++t) {
        CStream own;
        ASSERT_EQ(root.OpenStreamAt("threads/t" + std::to_string(t) + "/log", kRO, own), S_OK);
        std::string log = ReadAll(own);
        ASSERT_EQ(log.size(), size_t(kRecords) * kRecordSize);
        for (int r = 0; r < kRecords; ++r) {
            std::string rec = Pattern(kRecordSize, static_cast<unsigned>(t * 1000 + r));
            ASSERT_EQ(log.substr(size_t(r) * kRecordSize, kRecordSize), rec) << "thread " << t << " record " << r;
            ASSERT_EQ(all.substr((size_t(r) * kThreads + t) * kRecordSize, kRecordSize), rec)
                << "shared: thread " << t << " record " << r;
        }
    }
}

TEST_F(CompoundStorageTest, CommitsAndRevertsWhileOthersWrite)
{
    CStorage root;
    ASSERT_EQ(CStorage::CreateFile(m_path, kRW | STGM_TRANSACTED, root), S_OK);
    EXPECT_TRUE(CStorage::IsStorageFile(m_path));  // held by us, still a store
    std::atomic<bool> stop{false};
    std::atomic<int> unexpected{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            // Every call either works or finds its handle reverted; nothing else.
            auto fine = [&](HRESULT hr) {
                if (hr != S_OK && hr != STG_E_REVERTED) ++unexpected;
                return hr == S_OK;
            };
            for (int i = 0; !stop.load() && i < 400; ++i) {
                CStream s;
                if (!fine(root.CreateStreamAt("t" + std::to_string(t) + "/s" + std::to_string(i % 7),
                                              kRW | STGM_CREATE, s)))
                    continue;
                fine(s.Write("data", 4, nullptr));
                fine(s.SetSize(2));
                uint64_t size = 0;
                fine(s.GetSize(size));
            }
        });
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(i % 2 ? root.Commit() : root.Revert(), S_OK);
        std::this_thread::yield();
    }
    stop = true;
    for (auto& w : writers) w.join();
    EXPECT_EQ(unexpected.load(), 0);
    ASSERT_EQ(root.Commit(), S_OK);
    std::vector<StorageElementInfo> elements;
    EXPECT_EQ(root.EnumElements(elements), S_OK);
}

TEST_F(CompoundStorageTest, ManySmallWritesAddUpWithoutHanging)
{
    // A schema save writes each definition as a length and its bytes: a few
    // thousand small writes, each its own commit. The bound is about hangs;
    // speed is not this suite's to judge.
    CStorage root;
    ASSERT_EQ(CStorage::CreateFile(m_path, kRW, root), S_OK);
    CStream s;
    ASSERT_EQ(root.CreateStream("attributeTypes", kRW, s), S_OK);
    auto start = std::chrono::steady_clock::now();
    std::string def = "( 2.5.4.3 NAME ( 'cn' 'commonName' ) SUP name )";
    uint32_t len = static_cast<uint32_t>(def.size());
    std::string record = std::string(reinterpret_cast<const char*>(&len), 4) + def;
    for (int i = 0; i < 3000; ++i) {
        ASSERT_EQ(s.Write(&len, 4, nullptr), S_OK);
        ASSERT_EQ(WriteAll(s, def), S_OK);
    }
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 120) << "6000 small writes took " << seconds << " s";
    std::string all = ReadAll(s);
    ASSERT_EQ(all.size(), 3000u * record.size());
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(all.compare(size_t(i) * record.size(), record.size(), record), 0) << i;
}

} // namespace

namespace {

// Runs one SQL statement on the store file behind the store's back.
void Tamper(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

} // namespace

TEST_F(CompoundStorageTest, DestroyingInAFileWhoseParentLinksLoopEnds)
{
    {
        CStorage root, junk;
        ASSERT_EQ(CStorage::CreateFile(m_path, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, root), S_OK);
        ASSERT_EQ(root.CreateStorage("junk", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, junk), S_OK);
    }
    // The root becomes a child of its own child: a damaged file.
    Tamper(m_path, "UPDATE elements SET parent=(SELECT id FROM elements WHERE name='junk') WHERE id=1");
    CStorage root;
    if (CStorage::OpenFile(m_path, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, root) == S_OK)
        root.DestroyElement("junk");  // must return, whatever it answers
    SUCCEED();
}

// Programs starting at once each open the file, taking a foreign one as an
// empty store, and write; none may replace the store another made meanwhile
// and lose what that one acknowledged.
TEST_F(CompoundStorageTest, SimultaneousOpensKeepEveryAcknowledgedWrite)
{
    constexpr int kRounds = 12;
    constexpr int kProcesses = 6;
    struct Case {
        const char* what;
        bool foreignFirst;
        uint32_t mode;
    } cases[] = {
        {"fresh folder, exclusive", false, kRW},
        {"foreign file, exclusive", true, kRW},
        {"foreign file, shared", true, STGM_READWRITE | STGM_SHARE_DENY_NONE},
    };
    for (const Case& c : cases) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(std::string(c.what) + ", round " + std::to_string(round));
            std::filesystem::remove_all(m_dir);
            ASSERT_TRUE(std::filesystem::create_directory(m_dir));
            if (c.foreignFirst) WriteFile("not a store");
            auto run = testsupport::RunSimultaneously(kProcesses, [&](char id) {
                CStorage root;
                CStream s;
                return SUCCEEDED(CStorage::OpenOrReplaceFile(m_path, c.mode, root)) &&
                       SUCCEEDED(root.CreateStream(std::string("v") + id, c.mode, s)) && SUCCEEDED(WriteAll(s, "x"));
            });
            EXPECT_TRUE(run.allExitedCleanly);
            const std::string& acknowledged = run.acknowledged;

            EXPECT_FALSE(acknowledged.empty());
            CStorage root;
            ASSERT_EQ(CStorage::OpenFile(m_path, kRO, root), S_OK);
            std::vector<std::string> names = Names(root);
            for (char a : acknowledged)
                EXPECT_NE(std::find(names.begin(), names.end(), std::string("v") + a), names.end()) << "lost: v" << a;
            if (HasFailure()) return;
        }
    }
}

TEST_F(CompoundStorageTest, SimultaneousExclusiveOpenersEachGetTheirTurn)
{
    // Each holder leaves at once, so every opener gets in within its wait;
    // the openers left waiting together must not shut each other out.
    constexpr int kRounds = 12;
    constexpr int kProcesses = 4;
    struct Case {
        const char* what;
        uint32_t mode;
    } cases[] = {
        {"read-write", kRW},
        {"read-only", kRO},
    };
    for (const Case& c : cases) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(std::string(c.what) + ", round " + std::to_string(round));
            std::filesystem::remove(m_path);
            MakeStore("x");
            auto run = testsupport::RunSimultaneously(kProcesses, [&](char id) {
                CStorage root;
                CStream s;
                if (CStorage::OpenFile(m_path, c.mode, root) != S_OK) return false;
                return c.mode == kRO || (SUCCEEDED(root.CreateStream(std::string("v") + id, c.mode, s)) &&
                                         SUCCEEDED(WriteAll(s, "x")));
            });
            EXPECT_TRUE(run.allExitedCleanly);
            ASSERT_FALSE(run.acknowledged.empty()) << "nobody got the file";
            ASSERT_EQ(run.acknowledged.size(), size_t(kProcesses)) << "got in: " << run.acknowledged;
            CStorage root;
            ASSERT_EQ(CStorage::OpenFile(m_path, kRO, root), S_OK);
            std::vector<std::string> names = Names(root);
            EXPECT_EQ(names.size(), c.mode == kRO ? 1u : 1u + kProcesses);
            CStream data;
            ASSERT_EQ(root.OpenStream("data", kRO, data), S_OK);
            EXPECT_EQ(ReadAll(data), "x");
        }
    }
}
