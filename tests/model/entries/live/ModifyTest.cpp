// Deleting values through attribute nodes: the change reaches the server, a
// refusal is reported, and the entry's values are read again.

#include "tests/model/entries/live/LiveModelSupport.h"

#include <unistd.h>

#include "model/nodes/CErrorObject.h"

namespace {

using namespace modellive;

class Modify : public LiveModelTest {
protected:
    void SetUp() override
    {
        // Before the count of sessions is taken.
        m_admin = live::OpenAdmin();
        LiveModelTest::SetUp();
        m_dn = "cn=modify" + std::to_string(getpid()) + "," + live::kScratch;
        arbldap::LDAPAttributeList* attributes = new arbldap::LDAPAttributeList;
        attributes->AddValue("objectClass", "device");
        attributes->AddValue("cn", "modify" + std::to_string(getpid()));
        attributes->AddValue("description", "first");
        attributes->AddValue("description", "second");
        m_admin->Add(arbldap::LDAPEntry(m_dn, attributes));
    }

    void TearDown() override
    {
        LiveModelTest::TearDown();
        m_admin->Delete(m_dn);
    }

    StringList Descriptions() { return live::ReadValues(*m_admin, m_dn, "(objectClass=*)", "description"); }

    // The entry's node below a server of the scratch subtree.
    CEntryObject* OpenEntry(bool asAdmin) { return OpenEntryBelow(live::kScratch, m_dn, asAdmin); }

    CAttrObject* Description(CEntryObject& entry, const std::string& value)
    {
        for (CAttrObject* node : LiveModelTest::Values(entry, "description"))
            if (node->GetValue() == value)
                return node;
        return nullptr;
    }

    std::string m_dn;
    RefPtr<arbldap::LDAPSyncConnection> m_admin;
};

TEST_F(Modify, DeletingAValueDeletesItOnTheServer)
{
    CEntryObject* entry = OpenEntry(true);
    ASSERT_NE(entry, nullptr);
    CAttrObject* first = Description(*entry, "first");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Delete(0));
    EXPECT_TRUE(WaitIdle());

    StringList remaining;
    remaining.Add("second");
    EXPECT_EQ(Descriptions(), remaining);
    // The entry read its values again.
    EXPECT_EQ(Description(*entry, "first"), nullptr);
    EXPECT_NE(Description(*entry, "second"), nullptr);
    EXPECT_TRUE(ChildrenOf<CErrorObject>(*entry).empty());
}

TEST_F(Modify, SeveralSelectedValuesGoInOneRequest)
{
    CEntryObject* entry = OpenEntry(true);
    ASSERT_NE(entry, nullptr);
    std::vector<CAttrObject*> both = LiveModelTest::Values(*entry, "description");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_TRUE(both[0]->DeleteValues(both, true));
    EXPECT_TRUE(WaitIdle());
    EXPECT_TRUE(Descriptions().IsEmpty());
    EXPECT_TRUE(LiveModelTest::Values(*entry, "description").empty());
}

TEST_F(Modify, ARefusedChangeIsReportedAndChangesNothing)
{
    CEntryObject* entry = OpenEntry(false);
    ASSERT_NE(entry, nullptr);
    CAttrObject* first = Description(*entry, "first");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Delete(0));
    EXPECT_TRUE(WaitIdle());

    std::vector<CErrorObject*> errors = ChildrenOf<CErrorObject>(*entry);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->GetResultCode(), 8) << "slapd wants a bound user for writes";
    EXPECT_EQ(Descriptions().GetCount(), 2u);
    EXPECT_EQ(log.CountContaining(L"[ERROR 8]"), 1);
}

TEST_F(Modify, AValueGoneMeanwhileIsReported)
{
    CEntryObject* entry = OpenEntry(true);
    ASSERT_NE(entry, nullptr);
    CAttrObject* first = Description(*entry, "first");
    ASSERT_NE(first, nullptr);
    arbldap::LDAPModificationList gone;
    gone.Add(arbldap::LDAPModification(arbldap::LDAPAttribute("description", "first"), 1));
    m_admin->Modify(m_dn, gone);

    EXPECT_TRUE(first->Delete(0));
    EXPECT_TRUE(WaitIdle());
    std::vector<CErrorObject*> errors = ChildrenOf<CErrorObject>(*entry);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->GetResultCode(), 16);
}

TEST_F(Modify, TheNamingValueIsNeverSent)
{
    CEntryObject* entry = OpenEntry(true);
    ASSERT_NE(entry, nullptr);
    std::vector<CAttrObject*> cn = LiveModelTest::Values(*entry, "cn");
    ASSERT_EQ(cn.size(), 1u);
    EXPECT_FALSE(cn[0]->Delete(0));
    EXPECT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
    EXPECT_FALSE(entry->IsBusy()) << "no job was started";
    EXPECT_EQ(live::ReadValues(*m_admin, m_dn, "(objectClass=*)", "cn").GetCount(), 1u);
}

} // namespace
