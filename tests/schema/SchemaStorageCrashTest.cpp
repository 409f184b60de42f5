#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "schema/compound/CompoundStorage.h"
#include "schema/SchemaStorage.h"

using namespace arbldap;

using namespace platform;

namespace {

const GUID kHost = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};

std::shared_ptr<CStorage> OpenHost(CStorage& root, const std::string& path, bool create)
{
    auto host = std::make_shared<CStorage>();
    const uint32_t mode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
    if (create) {
        EXPECT_EQ(CStorage::CreateFile(path, mode, root), S_OK);
        EXPECT_EQ(root.CreateStorage("H", mode, *host), S_OK);
    } else {
        EXPECT_EQ(CStorage::OpenFile(path, mode, root), S_OK);
        EXPECT_EQ(root.OpenStorage("H", mode, *host), S_OK);
    }
    return host;
}

off_t FileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

// A save killed half-way must not leave the host looking current with its
// definitions missing: the next run has to fetch again.
TEST(SchemaStorageCrash, ASaveKilledHalfWayLeavesARefreshDue)
{
    char tmpl[] = "/tmp/arbtorn-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string path = std::string(tmpl) + "/cache.dat";
    {
        CStorage root;
        auto host = OpenHost(root, path, true);
        auto storage = CSchemaStorage::Create(kHost);
        ASSERT_EQ(storage->InitNew(host), S_OK);
        ASSERT_EQ(storage->SaveInPlace(), S_OK);
    }

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CStorage root;
        auto host = OpenHost(root, path, false);
        auto storage = CSchemaStorage::Create(kHost);
        if (storage->Load(host) != S_OK) _exit(2);
        storage->ChangeMetaRecord([](SchemaMetaRecord& m) {
            m.timestamp = 20240101000000;
            m.refreshNeeded = 0;
        });
        StringList big;
        for (int i = 0; i < 20000; ++i)
            big.Add("( 1.2.3." + std::to_string(i) + " NAME 'someObjectClassName' SUP top STRUCTURAL MAY ( a $ b ) )");
        storage->SetDefinitions(SchemaElementKind::ObjectClass, big, true);
        // The file may grow a little, not by the whole list: the save dies.
        off_t limit = std::max(FileSize(path), FileSize(path + "-wal")) + 64 * 1024;
        rlimit rl{static_cast<rlim_t>(limit), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &rl);
        storage->SaveInPlace();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));

    CStorage root;
    auto host = OpenHost(root, path, false);
    auto storage = CSchemaStorage::Create(kHost);
    ASSERT_EQ(storage->Load(host), S_OK);
    SchemaMetaRecord meta = storage->GetMetaRecord();
    size_t stored = storage->GetDefinitions(SchemaElementKind::ObjectClass).GetCount();
    if (stored != 20000) {
        EXPECT_TRUE(meta.refreshNeeded != 0 || meta.timestamp != 20240101000000)
            << "the host looks current with " << stored << " of its definitions";
    }
    std::system(("rm -rf '" + std::string(tmpl) + "'").c_str());
}

} // namespace
