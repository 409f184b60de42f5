#pragma once
// What the window benchmarks share: a temporary home for the program's
// settings, the profile of the benchmark's server, and its item in the tree.

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include <wx/app.h>
#include <wx/init.h>

#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "platform/ResourceLibrary.h"
#include "platform/SettingsStore.h"
#include "ui/CArbTreeView.h"

namespace bench {

// Settings in a folder of their own for the run, removed at its end.
class TemporaryHome {
public:
    TemporaryHome()
    {
        if (!mkdtemp(m_path)) throw std::runtime_error("no temporary folder");
        setenv("ARBOLITE_HOME", m_path, 1);
        platform::ResetUserRoot();
        platform::SetMachineRootFile(std::string(m_path) + "/machine.db");
    }
    ~TemporaryHome() { std::system((std::string("rm -rf '") + m_path + "'").c_str()); }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

private:
    char m_path[32] = "/tmp/arbbench-XXXXXX";
};

// An anonymous profile of the server on 127.0.0.1 with that base, no size limit.
inline void SaveBenchProfile(int port, const char* base)
{
    CServerProfile profile;
    profile.SetProfileName(L"bench");
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(port);
    profile.SetBaseDN(arbldap::LDAPDN(base));
    profile.SetAnonymousBind(1);
    profile.GetOptions().SetSizeLimit(0);
    if (!profile.SaveProfile()) throw std::runtime_error("cannot save the profile");
}

// The first server item of the main window's tree, or none.
inline platform::TreeItem FindServerItem()
{
    platform::TreePort& tree = CArbTreeView::Get()->GetPort();
    platform::TreeItem root = tree.GetChildItem(platform::kTreeRoot);
    for (platform::TreeItem item = tree.GetChildItem(root); item; item = tree.GetNextSiblingItem(item))
        if (dynamic_cast<CServerObject*>(static_cast<CDataObject*>(tree.GetItemData(item)))) return item;
    return platform::TreeItem();
}

// The toolkit for the run; IsOk is false (and said) without a display.
class Toolkit {
public:
    Toolkit(int& argc, char** argv) : m_init((wxApp::SetInstance(new wxApp), argc), argv)
    {
        if (!m_init.IsOk()) std::fprintf(stderr, "no display (run under xvfb-run)\n");
    }
    bool IsOk() const { return m_init.IsOk(); }

private:
    wxInitializer m_init;
};

// The resource library and the server's profile, for a window to open.
inline void PrepareProgram(int port, const char* base)
{
    if (!platform::ResourceLibrary::Current().LoadDefault()) throw std::runtime_error("no resource library");
    SaveBenchProfile(port, base);
}

} // namespace bench
