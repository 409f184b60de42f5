// The built-in team directory: its members appear below the server node of
// the "Tessaline Team" profile without any connection being made.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/NoCase.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CTeamMemberObject.h"
#include "tests/model/entries/NodeTestSupport.h"
#include "tests/support/SilentServer.h"

namespace {

class TeamDirectory : public nodetest::NodeTest {
protected:
    // The team's server node, its host a port that only counts connections;
    // opened as a click does.
    CServerObject* OpenTeam()
    {
        CServerProfile profile = nodetest::Profile("");
        profile.SetProfileName(L"Tessaline Team");
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(m_witness.Port());
        CServerObject* server = AddServer(profile);
        ui.Select(*server);
        server->ShowContents(0);
        ui.Dispatcher().Pump();
        return server;
    }

    std::vector<CTeamMemberObject*> Members(const CServerObject& server)
    {
        std::vector<CTeamMemberObject*> members;
        for (platform::TreeItem item : ui.Tree().GetChildren(server.GetTreeItem())) {
            auto* member = dynamic_cast<CTeamMemberObject*>(GetTreeItemObject(item));
            EXPECT_NE(member, nullptr);
            if (member)
                members.push_back(member);
        }
        return members;
    }

    testsupport::SilentServer m_witness;
};

TEST_F(TeamDirectory, OpensWithoutNetworkTrafficAndShowsItsMembersSorted)
{
    CServerObject* server = OpenTeam();
    // Opened again, shown again and expanded: still nothing goes out.
    server->ShowContents(0);
    server->Expand(0);
    ui.Dispatcher().Pump();
    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_EQ(m_witness.AcceptPending(), 0);
    EXPECT_TRUE(server->IsBound());

    std::vector<CTeamMemberObject*> members = Members(*server);
    ASSERT_GE(members.size(), 6u);
    std::vector<std::wstring> names;
    for (CTeamMemberObject* member : members)
        names.push_back(member->GetDisplayName());
    std::vector<std::wstring> sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const std::wstring& a, const std::wstring& b) {
        return StrICmp(WideToUtf8Text(a).c_str(), WideToUtf8Text(b).c_str()) < 0;
    });
    EXPECT_EQ(names, sorted);

    // The list shows the same members, ordered by their value column.
    ASSERT_EQ(ui.List().GetItemCount(), static_cast<int>(members.size()));
    for (int row = 1; row < ui.List().GetItemCount(); ++row)
        EXPECT_LE(ui.List().GetItemText(row - 1, 1), ui.List().GetItemText(row, 1));
    EXPECT_EQ(ui.List().GetItemText(0, 2), L"team member");
}

TEST_F(TeamDirectory, EveryMemberIsAPersonMadeByTheTeamSomeWithPhotos)
{
    CServerObject* server = OpenTeam();
    std::vector<CTeamMemberObject*> members = Members(*server);
    ASSERT_FALSE(members.empty());
    int withPhoto = 0, withoutPhoto = 0, hashedPasswords = 0;
    for (CTeamMemberObject* member : members) {
        SCOPED_TRACE(WideToUtf8Text(member->GetDisplayName()));
        EXPECT_EQ(member->GetDN().GetPartCount(), 1u);
        EXPECT_EQ(member->GetDN().GetFirstPart().GetType(), "uid");
        EXPECT_EQ(member->GetType(), kNodeTeamMember);
        EXPECT_EQ(member->GetImage(false), 27);
        EXPECT_EQ(member->GetImage(true), 27);

        std::vector<CAttrObject*> classes = Values(*member, "objectclass");
        ASSERT_EQ(classes.size(), 1u);
        EXPECT_EQ(classes[0]->GetValue(), "inetOrgPerson");
        for (const char* name : {"creatorsName", "modifiersName"}) {
            std::vector<CAttrObject*> values = Values(*member, name, true);
            ASSERT_EQ(values.size(), 1u) << name;
            EXPECT_EQ(values[0]->GetValue(), "Tessaline Team");
        }
        for (const char* name : {"cn", "sn", "uid", "mail", "title", "roomnumber"})
            EXPECT_FALSE(Values(*member, name).empty()) << name;

        std::vector<CAttrObject*> photos = Values(*member, "jpegphoto");
        if (photos.empty()) {
            ++withoutPhoto;
        } else {
            ++withPhoto;
            ASSERT_EQ(photos.size(), 1u);
            EXPECT_TRUE(photos[0]->IsBinary());
            EXPECT_EQ(photos[0]->GetValue().substr(0, 3), "\xFF\xD8\xFF");
        }
        for (CAttrObject* password : Values(*member, "userpassword")) {
            const std::string& value = password->GetValue();
            EXPECT_EQ(value.substr(0, 5), "{SHA}");
            EXPECT_EQ(value.size(), 5u + 28u);
            ++hashedPasswords;
        }
    }
    EXPECT_GT(withPhoto, 0);
    EXPECT_GT(withoutPhoto, 0);
    EXPECT_EQ(hashedPasswords, 1);
}

TEST_F(TeamDirectory, MembersCannotBeDeletedAndRefreshOnlyShowsThemAgain)
{
    CServerObject* server = OpenTeam();
    std::vector<CTeamMemberObject*> members = Members(*server);
    ASSERT_FALSE(members.empty());
    CTeamMemberObject* member = members[0];
    EXPECT_FALSE(member->Delete(0));
    EXPECT_EQ(Members(*server).size(), members.size());

    ui.Select(*member);
    member->ShowContents(0);
    const int rows = ui.List().GetItemCount();
    EXPECT_EQ(static_cast<size_t>(rows), member->GetAttributeNodeCount() + 2);
    member->Refresh(0);
    ui.Dispatcher().Pump();
    EXPECT_EQ(ui.List().GetItemCount(), rows);
    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_EQ(m_witness.AcceptPending(), 0);
}

}  // namespace
