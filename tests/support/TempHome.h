#pragma once
// Temporary folders for tests: a plain one, and a test fixture that points
// ARBOLITE_HOME at one with fresh settings roots.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Folders.h"
#include "platform/SettingsStore.h"

namespace testsupport {

// A new empty folder below /tmp, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        char tmpl[] = "/tmp/arbtest-XXXXXX";
        if (mkdtemp(tmpl)) m_path = tmpl;
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// ARBOLITE_HOME in a temporary folder for one test, with a fresh user root of
// the settings store and a machine root in a file of its own.
class TempHomeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/arbhome-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_home = tmpl;
        setenv("ARBOLITE_HOME", m_home.c_str(), 1);
        platform::ResetUserRoot();
        m_machineFile = m_home + "/machine.db";
        platform::SetMachineRootFile(m_machineFile);
    }

    void TearDown() override
    {
        platform::ResetUserRoot();
        platform::SetMachineRootFile("");
        unsetenv("ARBOLITE_HOME");
        std::error_code ec;
        std::filesystem::remove_all(m_home, ec);
    }

    std::string UserFile() const { return platform::GetUserConfigFolder() + "settings.db"; }

    std::string m_home;
    std::string m_machineFile;
};

} // namespace testsupport
