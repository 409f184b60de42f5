#pragma once
// A temporary ARBOLITE_HOME with fresh settings roots for one test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Folders.h"
#include "platform/SettingsStore.h"

class SettingsTestHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/arbsettings-XXXXXX";
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
