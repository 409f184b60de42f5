// Going to a DN on the main test server: level by level through what the
// tree holds and what the server has, and the ways it stops short.

#include "tests/model/entries/live/LiveModelSupport.h"

#include <unistd.h>

#include "model/nodes/CErrorObject.h"
#include "model/nodes/CInformationObject.h"
#include "model/entries/CNavigateThread.h"
#include "model/ports/ResourceText.h"

namespace {

using namespace modellive;

class Navigate : public LiveModelTest {
protected:
    void SetUp() override
    {
        m_admin = live::OpenAdmin();
        m_top = "ou=nav" + std::to_string(getpid()) + "," + live::kScratch;
        for (const std::string& dn : Tree())
            m_admin->Add(Unit(dn));
        LiveModelTest::SetUp();
    }

    void TearDown() override
    {
        LiveModelTest::TearDown();
        std::vector<std::string> dns = Tree();
        for (auto it = dns.rbegin(); it != dns.rend(); ++it)
            m_admin->Delete(*it);
    }

    // Parents first.
    std::vector<std::string> Tree() const
    {
        return {m_top, "ou=b," + m_top, "ou=side," + m_top, "ou=c,ou=b," + m_top, "ou=d,ou=c,ou=b," + m_top};
    }

    static arbldap::LDAPEntry Unit(const std::string& dn)
    {
        auto* attributes = new arbldap::LDAPAttributeList;
        attributes->AddValue("objectClass", "organizationalUnit");
        attributes->AddValue("ou", arbldap::LDAPDN(dn).GetFirstPart().GetValue());
        attributes->AddValue("description", "level " + dn);
        return arbldap::LDAPEntry(dn, attributes);
    }

    // Starts from node, as the go-to-DN command does, and waits.
    void GoTo(CLDAPObject& node, const std::string& dn)
    {
        node.NavigateToDN(arbldap::LDAPDN(dn));
        EXPECT_TRUE(WaitIdle());
    }

    CEntryObject* Selected() { return dynamic_cast<CEntryObject*>(GetSelectedTreeObject()); }

    // The information nodes below node.
    std::vector<CInformationObject*> Information(const CDataObject& node)
    {
        return ChildrenOf<CInformationObject>(node);
    }

    // Follows the tree from node along the DNs given, each a child of the one
    // before; null when one is missing.
    CEntryObject* Path(CDataObject& node, const std::vector<std::string>& dns)
    {
        CDataObject* at = &node;
        for (const std::string& dn : dns) {
            at = Child(*at, dn);
            if (!at)
                return nullptr;
        }
        return static_cast<CEntryObject*>(at);
    }

    std::string m_top;
    RefPtr<arbldap::LDAPSyncConnection> m_admin;
};

TEST_F(Navigate, DeepDnIsOpenedLevelByLevelReusingTheNodesThatExist)
{
    CServerObject* server = AddServer(MainProfile("o=lab"));
    Open(*server);
    CEntryObject* scratch = Child(*server, live::kScratch);
    ASSERT_NE(scratch, nullptr);

    const std::string target = "ou=d,ou=c,ou=b," + m_top;
    GoTo(*server, target);

    CEntryObject* d = Path(*server, {live::kScratch, m_top, "ou=b," + m_top, "ou=c,ou=b," + m_top, target});
    ASSERT_NE(d, nullptr) << "the path was not built";
    EXPECT_EQ(Child(*server, live::kScratch), scratch) << "the existing node is used";
    CEntryObject* top = Child(*scratch, m_top);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(ChildDNs(*top), std::set<std::string>{"ou=b," + m_top}) << "only nodes on the path are made";
    EXPECT_EQ(Selected(), d);
    EXPECT_TRUE(d->IsChildrenLoaded());
    EXPECT_EQ(Values(*d, "description").size(), 1u) << "its attributes are read";
    for (CEntryObject* node : {static_cast<CEntryObject*>(server), scratch, top, d}) {
        EXPECT_FALSE(node->IsBusy());
        EXPECT_EQ(ui.Tree().GetItemOverlay(node->GetTreeItem()), 0);
        EXPECT_EQ(node->GetJob(), nullptr);
    }
    EXPECT_TRUE(Information(*d).empty());
    // The list shows the target's values.
    EXPECT_EQ(ui.List().GetItemCount(), static_cast<int>(d->GetAttributeCount()));

    // Again, from the deepest node: everything is found in the tree.
    CEntryObject* b = Child(*top, "ou=b," + m_top);
    GoTo(*d, "ou=b," + m_top);
    EXPECT_EQ(Selected(), b);
    EXPECT_EQ(ChildDNs(*b), std::set<std::string>{"ou=c,ou=b," + m_top});
}

TEST_F(Navigate, TheBaseDnSelectsTheServerWithoutASearch)
{
    CServerObject* server = AddServer(MainProfile(m_top));
    Open(*server);
    size_t children = Children(*server).size();
    CEntryObject* b = Child(*server, "ou=b," + m_top);
    ASSERT_NE(b, nullptr);
    ui.Select(*b);
    GoTo(*b, m_top);
    EXPECT_EQ(Selected(), server);
    EXPECT_EQ(Children(*server).size(), children);
    EXPECT_TRUE(Information(*server).empty());
}

TEST_F(Navigate, MissingDnsStopAtTheDeepestEntryThatExists)
{
    struct Case {
        std::string target;
        std::string reached;
        std::string missing;
    };
    const std::vector<Case> cases = {
        {"ou=nothere,ou=c,ou=b," + m_top, "ou=c,ou=b," + m_top, "ou=nothere,ou=c,ou=b," + m_top},
        {"cn=x,ou=gone,ou=b," + m_top, "ou=b," + m_top, "ou=gone,ou=b," + m_top},
        // Nothing on the way exists: the server's own result is reported too.
        {"cn=x,ou=nowhere,o=lab", "o=lab", "ou=nowhere,o=lab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        CServerObject* server = AddServer(MainProfile("o=lab"));
        Open(*server);
        log.Clear();
        GoTo(*server, c.target);

        // The deepest entry was selected, then the information below it.
        auto* selected = dynamic_cast<CInformationObject*>(GetSelectedTreeObject());
        ASSERT_NE(selected, nullptr);
        auto* reached = dynamic_cast<CEntryObject*>(selected->GetParentNode());
        ASSERT_NE(reached, nullptr);
        EXPECT_EQ(reached->GetDN().GetText(), c.reached);
        EXPECT_FALSE(reached->IsBusy());
        std::vector<CInformationObject*> information = Information(*reached);
        ASSERT_EQ(information.size(), 1u);
        const std::wstring detail = FormatResourceText(549, {Utf8ToWideString(c.missing)});
        EXPECT_EQ(information[0]->GetDisplayName(), LoadResourceText(550));
        EXPECT_EQ(information[0]->GetValueText(), detail);
        EXPECT_GE(log.CountContaining(detail), 1);
        EXPECT_EQ(ChildrenOf<CErrorObject>(*reached).size(), c.reached == "o=lab" ? 1u : 0u);
        DeleteChildItems(platform::kTreeRoot);
    }
}

TEST_F(Navigate, WithoutABaseDnTheNamingContextIsTheStart)
{
    CServerObject* server = AddServer(MainProfile(""));
    Open(*server);
    CEntryObject* lab = Child(*server, "o=lab");
    ASSERT_NE(lab, nullptr);
    ASSERT_TRUE(lab->IsNamingContext());

    GoTo(*server, "ou=c,ou=b," + m_top);
    CEntryObject* c = Path(*lab, {live::kScratch, m_top, "ou=b," + m_top, "ou=c,ou=b," + m_top});
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Selected(), c);
    EXPECT_EQ(Child(*server, "ou=c,ou=b," + m_top), nullptr);
}

TEST_F(Navigate, ATargetOutsideTheBaseDnIsReadDirectly)
{
    CServerObject* server = AddServer(MainProfile("ou=b," + m_top));
    Open(*server);
    GoTo(*server, "ou=side," + m_top);
    CEntryObject* side = Child(*server, "ou=side," + m_top);
    ASSERT_NE(side, nullptr) << "made directly below the server";
    EXPECT_EQ(Selected(), side);
    EXPECT_EQ(Values(*side, "ou").size(), 1u);
}

TEST_F(Navigate, ABusyNodeOnThePathStopsItAtOnce)
{
    CServerObject* server = AddServer(MainProfile("o=lab"));
    Open(*server);
    CEntryObject* scratch = Child(*server, live::kScratch);
    ASSERT_NE(scratch, nullptr);
    scratch->SetBusy();
    GoTo(*server, "ou=b," + m_top);
    scratch->ResetBusy();

    EXPECT_TRUE(Children(*scratch).empty()) << "nothing was read";
    std::vector<CInformationObject*> information = Information(*server);
    ASSERT_EQ(information.size(), 1u);
    EXPECT_EQ(information[0]->GetValueText(), LoadResourceText(451));
    EXPECT_FALSE(server->IsBusy());

    // The server itself, busy with a job of its own, from an entry below it.
    server->SetBusy();
    GoTo(*scratch, "ou=b," + m_top);
    EXPECT_TRUE(server->IsBusy()) << "its own job's state is left alone";
    server->ResetBusy();
    EXPECT_TRUE(Children(*scratch).size() == 1u && !ChildrenOf<CInformationObject>(*scratch).empty());
}

}  // namespace
