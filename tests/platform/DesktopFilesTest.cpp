// What may be handed to the desktop, and the temporary files that carry values.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DesktopLauncher.h"
#include "platform/Folders.h"
#include "platform/TempFiles.h"

TEST(DesktopLauncher, OnlyWebDirectoryAndMailLinksAreOpenable)
{
    const struct {
        const char* url;
        bool openable;
    } cases[] = {
        {"http://example.org/", true},
        {"HTTPS://example.org/a?b=c", true},
        {"ldap://127.0.0.1:389/o=lab", true},
        {"ldaps://host/", true},
        {"mailto:alice@example.org", true},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"smb://host/share", false},
        {"/tmp/x.desktop", false},
        {"example.org", false},
        {"", false},
        {"-http://x", false},
        {"httpx://x", false},
        {"http:/x\n--help", false},
        {"http", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::IsOpenableUrl(c.url), c.openable) << c.url;

    // The real launcher refuses the rest without starting anything.
    platform::XdgDesktopLauncher launcher;
    EXPECT_FALSE(launcher.OpenUrl("file:///etc/passwd"));
    EXPECT_FALSE(launcher.OpenFile("-x"));
}

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace

TEST(TempFiles, EachValueGetsANewPrivateFileThatGoesAtExit)
{
    const std::string bytes("\xFF\xD8\x00\x01jpeg", 8);
    std::set<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        std::string path;
        int error = -1;
        ASSERT_TRUE(platform::CreateTempFileWithBytes("_testmp", "jpg", bytes, path, &error));
        EXPECT_EQ(error, 0);
        EXPECT_EQ(path.rfind(platform::GetTempFolder() + "_testmp", 0), 0u) << path;
        EXPECT_EQ(path.substr(path.size() - 4), ".jpg");
        EXPECT_EQ(ReadAll(path), bytes);
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        paths.insert(path);
        platform::RegisterTempFile(path);
    }
    EXPECT_EQ(paths.size(), 3u);

    platform::DeleteRegisteredTempFiles();
    for (const std::string& path : paths)
        EXPECT_NE(access(path.c_str(), F_OK), 0) << path;
    EXPECT_TRUE(platform::GetRegisteredTempFiles().empty());
}

TEST(TempFiles, AFolderThatCannotHoldThemGivesNoFile)
{
    const char* old = getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", "/nonexistent-arbolite-folder", 1);
    std::string path;
    int error = 0;
    EXPECT_FALSE(platform::CreateTempFileWithBytes("_testmp", "png", "x", path, &error));
    EXPECT_EQ(error, 1);
    EXPECT_TRUE(path.empty());
    if (old) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
}
