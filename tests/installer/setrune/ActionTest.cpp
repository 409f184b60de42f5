#include "tests/installer/setrune/ActionTest.h"

#include <dlfcn.h>

namespace setrunetest {

void* Library()
{
    static void* library = dlopen(SETRUNE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!library) ADD_FAILURE() << dlerror();
    return library;
}

Action FindAction(const char* name)
{
    void* library = Library();
    return library ? reinterpret_cast<Action>(dlsym(library, name)) : nullptr;
}

ActionTest::ActionTest() : host(dir.Path())
{
    msi::Machine::Get().Reset();
    msi::Machine::Get().SetHost(&host);
    handlesBefore = msi::OpenHandleCount();
}

ActionTest::~ActionTest()
{
    msi::Machine::Get().Reset();
}

void ActionTest::TearDown()
{
    // What an action opens it closes.
    EXPECT_EQ(msi::OpenHandleCount(), handlesBefore) << "installer handles left open";
    EXPECT_EQ(Registry().OpenKeyCount(), 0u) << "registry keys left open";
    EXPECT_EQ(host.librariesLoaded, host.librariesFreed) << "libraries left loaded";
}

UINT ActionTest::Run(const char* action)
{
    Action fn = FindAction(action);
    if (!fn) {
        ADD_FAILURE() << action << " is not exported";
        return 0xFFFFFFFF;
    }
    return fn(session.Handle());
}

} // namespace setrunetest
