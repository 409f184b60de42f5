#pragma once
// Runs setrune's actions as the installer does: the library loaded with
// dlopen, each action found by name and called with the handle of a session
// the test set up, on a machine and host of its own.

#include <gtest/gtest.h>

#include <string>

#include "installer/msi/Machine.h"
#include "installer/msi/Session.h"
#include "tests/installer/setrune/TestHost.h"

namespace setrunetest {

using Action = UINT (*)(MSIHANDLE);

// The loaded library; it stays loaded for the whole run.
void* Library();
// Null when the library does not export it.
Action FindAction(const char* name);

class ActionTest : public ::testing::Test {
protected:
    ActionTest();
    ~ActionTest() override;
    void TearDown() override;

    UINT Run(const char* action);

    msi::RegistryStore& Registry() { return msi::Machine::Get().Registry(); }
    msi::Products& Products() { return msi::Machine::Get().GetProducts(); }

    TempDir dir;
    TestHost host;
    msi::Session session;
    size_t handlesBefore = 0;
};

} // namespace setrunetest
