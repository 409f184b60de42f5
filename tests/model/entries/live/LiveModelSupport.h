#pragma once
// What the model's live tests share: a headless user interface with the
// shell's ports, scripted dialogs, a recording desktop launcher and the log
// capture, fresh settings, and server nodes for profiles of the test servers.

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "base/NoCase.h"
#include "base/Utf8.h"
#include "jobs/CLDAPThread.h"
#include "model/profiles/CAppConfig.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CServerObject.h"
#include "model/ports/ProgressDialogFactory.h"
#include "model/nodes/TreeViewOperations.h"
#include "schema/SchemaLoadThread.h"
#include "schema/SyntaxCatalogue.h"
#include "tests/model/nodes/ModelTestSupport.h"
#include "tests/support/TempHome.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/RecordingDesktopLauncher.h"
#include "tests/support/ScriptedNodeDialogs.h"

namespace modellive {

using namespace std::chrono_literals;

// A profile for 127.0.0.1 on port with that base DN, bound anonymously.
inline CServerProfile Profile(int port, const std::string& baseDN)
{
    CServerProfile profile;
    profile.SetProfileName(L"test server");
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(port);
    profile.SetBaseDN(arbldap::LDAPDN(baseDN));
    profile.SetAnonymousBind(1);
    return profile;
}

inline CServerProfile MainProfile(const std::string& baseDN)
{
    return Profile(live::MainServer().Port(), baseDN);
}

// The same, bound as the main server's administrator.
inline CServerProfile AdminProfile(const std::string& baseDN)
{
    CServerProfile profile = MainProfile(baseDN);
    profile.SetAnonymousBind(0);
    profile.SetUserDN(arbldap::LDAPDN(testsupport::kAdminDN));
    profile.SetSavePassword(1);
    profile.SetPassword(testsupport::kAdminPassword);
    return profile;
}

class LiveModelTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        testsupport::TempHomeTest::SetUp();
        InitSchemaTables();
        InstallSchemaLoadJobStarter();
        m_connectionsBefore = live::SettledMainServerConnections();
    }

    void TearDown() override
    {
        EXPECT_TRUE(WaitIdle()) << "workers still running";
        // The tree's nodes go as the tree view would free them; their
        // connections with them.
        DeleteChildItems(platform::kTreeRoot);
        EXPECT_TRUE(WaitIdle());
        EXPECT_EQ(GetRunningThreadCount(), 0);
        // Joins the threads of the jobs that have ended.
        EXPECT_TRUE(WaitForAllThreads(5s));
        if (m_checkConnections) {
            EXPECT_EQ(live::WaitForMainServerConnections(m_connectionsBefore), m_connectionsBefore)
                << "a session was left open";
        }
        testsupport::TempHomeTest::TearDown();
    }

    // Pumps until no worker runs and nothing is queued.
    // No job runs once the messages the last ones posted are handled: those
    // may start the next job (a finished copy refreshes its target, which
    // then opens).
    bool WaitIdle()
    {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            auto idle = [] { return GetRunningThreadCount() == 0; };
            if (left <= 0 || !ui.Dispatcher().PumpUntil(idle, static_cast<uint32_t>(left)))
                return false;
            ui.Dispatcher().Pump();
            if (GetRunningThreadCount() == 0)
                return true;
        }
    }

    CServerObject* AddServer(const CServerProfile& profile)
    {
        return modeltest::AddNode<CServerObject>(platform::kTreeRoot, profile);
    }

    // Selects the node and opens it, as a click in the tree does, and waits
    // for its jobs and for the list's rows.
    void Open(CDataObject& node)
    {
        ui.Select(node);
        node.ShowContents(0);
        EXPECT_TRUE(WaitIdle());
        FinishListFill();
    }

    // A long list fills in slices on a timer once a slice took its time (a
    // slow machine); the test clock drives it to its end.
    void FinishListFill()
    {
        for (int step = 0; step < 100000 && ui.Dispatcher().HasTimer(ui.ListViewId(), platform::kListFillTimer); ++step)
            ui.Dispatcher().Advance(1);
        EXPECT_FALSE(ui.Dispatcher().HasTimer(ui.ListViewId(), platform::kListFillTimer)) << "the list's fill ended";
    }

    std::vector<CDataObject*> Children(const CDataObject& node)
    {
        std::vector<CDataObject*> nodes;
        for (platform::TreeItem child : ui.Tree().GetChildren(node.GetTreeItem()))
            nodes.push_back(GetTreeItemObject(child));
        return nodes;
    }

    template <class T>
    std::vector<T*> ChildrenOf(const CDataObject& node)
    {
        std::vector<T*> nodes;
        for (CDataObject* child : Children(node))
            if (auto* typed = dynamic_cast<T*>(child))
                nodes.push_back(typed);
        return nodes;
    }

    std::set<std::string> ChildDNs(const CDataObject& node)
    {
        std::set<std::string> dns;
        for (CEntryObject* entry : ChildrenOf<CEntryObject>(node))
            dns.insert(entry->GetDN().GetText());
        return dns;
    }

    // The entry at dn right below a new server of base, opened; the server
    // bound as the administrator when asked.
    CEntryObject* OpenEntryBelow(const std::string& base, const std::string& dn, bool asAdmin)
    {
        CServerObject* server = AddServer(asAdmin ? AdminProfile(base) : MainProfile(base));
        Open(*server);
        CEntryObject* entry = Child(*server, dn);
        EXPECT_NE(entry, nullptr);
        if (entry)
            Open(*entry);
        return entry;
    }

    CEntryObject* Child(const CDataObject& node, const std::string& dn)
    {
        for (CEntryObject* entry : ChildrenOf<CEntryObject>(node))
            if (entry->GetDN() == arbldap::LDAPDN(dn))
                return entry;
        return nullptr;
    }

    // The DNs a plain one-level search finds below base on the main server.
    std::set<std::string> DNsBelow(const std::string& base)
    {
        std::set<std::string> dns;
        StringList none;
        none.Add("1.1");
        std::unique_ptr<arbldap::LDAPResultQueue> queue = live::Open(live::MainServer().Port())->Search(
            base, 1, "(objectClass=*)", none, false);
        for (const arbldap::LDAPEntry& entry : live::Entries(*queue))
            dns.insert(entry.GetDN());
        return dns;
    }

    // The node's attribute nodes named name (ignoring case).
    std::vector<CAttrObject*> Values(const CEntryObject& entry, const std::string& name, bool operational = false)
    {
        std::vector<CAttrObject*> nodes;
        for (CAttrObject* node : entry.GetAttributeNodes(operational))
            if (EqualNoCase(node->GetBaseName(), name))
                nodes.push_back(node);
        return nodes;
    }

    // The rows of the list, as "name|value|type|size".
    std::vector<std::wstring> Rows()
    {
        std::vector<std::wstring> rows;
        for (int i = 0; i < ui.List().GetItemCount(); ++i)
            rows.push_back(ui.List().RowText(i));
        return rows;
    }

    // Set before TearDown when the test leaves sessions by design.
    bool m_checkConnections = true;

    modeltest::ModelUi ui;
    ScriptedNodeDialogsScope dialogs;
    testsupport::RecordingDesktopLauncherScope launcher;
    live::LogCapture log;

private:
    int m_connectionsBefore = 0;
};

} // namespace modellive
