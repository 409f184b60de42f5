// The user's documents folder as the desktop names it: from the
// environment, from the user-dirs file with "$HOME" or an absolute path, else
// ~/Documents, and empty when none of them is there.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/DocumentsFolder.h"

namespace {

class DocumentsFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/arbdocs-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        m_home = folder;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR"}) {
            const char* value = std::getenv(name);
            m_saved.push_back({name, value ? value : "", value != nullptr});
        }
        setenv("HOME", m_home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DOCUMENTS_DIR");
        std::filesystem::create_directories(m_home + "/.config");
        std::filesystem::create_directories(m_home + "/Papers");
        std::filesystem::create_directories(m_home + "/elsewhere/Docs");
    }

    void TearDown() override
    {
        for (const Saved& saved : m_saved) {
            if (saved.set)
                setenv(saved.name, saved.value.c_str(), 1);
            else
                unsetenv(saved.name);
        }
        std::filesystem::remove_all(m_home);
    }

    void UserDirs(const std::string& text) { std::ofstream(m_home + "/.config/user-dirs.dirs") << text; }

    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<Saved> m_saved;
    std::string m_home;
};

TEST_F(DocumentsFolderTest, TheDesktopsNameForTheFolder)
{
    struct Case {
        const char* what;
        std::string file;  // the user-dirs file; empty: none
        std::string expected;
    } const cases[] = {
        {"no user-dirs file", "", ""},
        {"under $HOME", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n", m_home + "/Papers"},
        {"an absolute path", "XDG_DOCUMENTS_DIR=\"" + m_home + "/elsewhere/Docs\"\n", m_home + "/elsewhere/Docs"},
        {"a folder that is not there", "XDG_DOCUMENTS_DIR=\"$HOME/Missing\"\n", ""},
        {"another folder named only", "XDG_MUSIC_DIR=\"$HOME/Papers\"\n", ""},
        {"a relative path", "XDG_DOCUMENTS_DIR=\"Papers\"\n", ""},
        {"a commented line", "# XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(m_home + "/.config/user-dirs.dirs");
        if (!c.file.empty())
            UserDirs(c.file);
        EXPECT_EQ(platform::GetMyDocumentsPath(), c.expected);
    }
    // The environment names it first.
    setenv("XDG_DOCUMENTS_DIR", (m_home + "/elsewhere/Docs").c_str(), 1);
    EXPECT_EQ(platform::GetMyDocumentsPath(), m_home + "/elsewhere/Docs");
    // The file is looked for in the configured folder.
    unsetenv("XDG_DOCUMENTS_DIR");
    std::filesystem::create_directories(m_home + "/conf");
    std::ofstream(m_home + "/conf/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
    std::filesystem::remove(m_home + "/.config/user-dirs.dirs");
    setenv("XDG_CONFIG_HOME", (m_home + "/conf").c_str(), 1);
    EXPECT_EQ(platform::GetMyDocumentsPath(), m_home + "/Papers");
}

} // namespace
