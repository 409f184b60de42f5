// Server nodes without a server: their texts, the status-bar texts, menus,
// favourites, and what the bind job takes from them.

#include "tests/model/entries/NodeTestSupport.h"

#include "model/entries/CBindThread.h"
#include "model/ports/NodePropertyPages.h"
#include "model/ports/ResourceText.h"

namespace {

using modeltest::Text;
using nodetest::NodeTest;
using nodetest::Profile;

class ServerNode : public NodeTest {};

TEST_F(ServerNode, TextsOfTheProfile)
{
    CServerObject* server = AddServer();
    EXPECT_EQ(server->GetCaption(), L"headless");
    EXPECT_EQ(server->GetDisplayName(), L"headless");
    EXPECT_EQ(server->GetValueText(), L"ldap:389");
    EXPECT_EQ(server->GetType(), kNodeServer);
    EXPECT_EQ(server->GetImage(false), 8);
    EXPECT_EQ(server->GetImage(true), 21);
    EXPECT_EQ(server->GetTypeName(), Text(414));
    EXPECT_EQ(server->GetServerObject(), server);
    EXPECT_EQ(server->GetDN().GetText(), "o=lab");
    EXPECT_EQ(server->GetFullName().rfind(L"ldap://ldap:389/o=lab", 0), 0u) << server->GetFullName();
    ASSERT_TRUE(server->GetConnection());
    EXPECT_EQ(server->GetConnection()->GetHost(), "ldap");
    EXPECT_EQ(server->GetConnection()->GetProtocolVersion(), 3);
    EXPECT_FALSE(server->IsBound());

    server->SetHostName(L"directory");
    server->SetPort(1389);
    EXPECT_EQ(server->GetValueText(), L"directory:1389");
    EXPECT_EQ(server->GetDisplayName(), L"directory:1389");

    std::string filter;
    EXPECT_TRUE(server->GetSearchFilter(filter));
    EXPECT_EQ(filter, "(objectClass=*)");
}

TEST_F(ServerNode, StatusTextsOfTheCurrentServer)
{
    CServerProfile profile = Profile();
    profile.GetOptions().SetUseSSL(true);
    CServerObject* server = AddServer(profile);
    CEntryObject* entry = AddEntry(*server, "ou=a,o=lab", server);
    entry->UpdateDocumentInfo();
    EXPECT_EQ(ui.Shell().Document().paneText1, Text(390));
    EXPECT_EQ(ui.Shell().Document().paneText2, L"");
    EXPECT_EQ(ui.Shell().Document().paneValue, 1);

    server->SetSchema(GetBuiltInSchema());
    ui.Select(*server);
    server->SetUserDN(arbldap::LDAPDN("cn=admin,o=lab"));
    EXPECT_EQ(ui.Shell().Document().paneText1, L"cn=admin,o=lab");
    EXPECT_EQ(ui.Shell().Document().paneText2, Text(396));
}

TEST_F(ServerNode, ContextMenuAndCommands)
{
    CServerObject* server = AddServer();
    std::vector<uint32_t> commands;
    std::unique_ptr<platform::PopupMenu> menu = server->BuildContextMenu();
    for (const platform::MenuItem& item : menu->Items())
        commands.push_back(item.command);
    EXPECT_EQ(commands, (std::vector<uint32_t>{kCmdRefresh, kCmdSetFilter, kCmdEntryViewOn, 0, kCmdCut, kCmdCopy,
                                               kCmdPaste, 0, kCmdNewServerProfile, kCmdDelete, 0, kCmdExportLDIF, 0,
                                               kCmdAbort, kCmdProperties}));
    CommandList list;
    server->GetCommandList(list);
    CommandList tail(list.end() - 5, list.end());
    EXPECT_EQ(tail, (CommandList{{0, 0}, {kCmdNewServerProfile, 127}, {kCmdDelete, 105}, {0, 0},
                                 {kCmdExportLDIF, 141}}));
}

TEST_F(ServerNode, PropertyPagesAndTheDeleteQuestion)
{
    CServerObject* server = AddServer();
    PropertyPageList pages = server->AddPropertyPages();
    std::vector<NodeDetailsPage::Kind> kinds;
    for (const std::unique_ptr<NodePropertyPage>& page : pages)
        kinds.push_back(dynamic_cast<NodeDetailsPage&>(*page).kind);
    EXPECT_EQ(kinds, (std::vector<NodeDetailsPage::Kind>{NodeDetailsPage::Server, NodeDetailsPage::ServerCredentials,
                                                         NodeDetailsPage::LDAPSettings, NodeDetailsPage::ServerMonitor,
                                                         NodeDetailsPage::Entry}));
    EXPECT_EQ(server->GetPropertiesTitle(), Text(416));

    ui.Shell().MessageBox().Answer(platform::kIdYes);
    EXPECT_TRUE(server->PromptDelete());
    std::wstring question = Text(412);
    question.replace(question.find(L"%s"), 2, L"headless");
    EXPECT_EQ(ui.Shell().MessageBox().asked.at(0).text, question);
    server->SetBusy();
    EXPECT_FALSE(server->PromptDelete());
    server->ResetBusy();
}

TEST_F(ServerNode, TheTeamDirectoryNeverBinds)
{
    CServerProfile profile = Profile();
    profile.SetProfileName(L"Tessaline Team");
    profile.SetAnonymousBind(0);
    CServerObject* server = AddServer(profile);
    ui.Select(*server);
    server->ShowContents(0);
    EXPECT_EQ(Dialogs().passwordPrompts, 0);
    EXPECT_FALSE(server->IsBusy());
    EXPECT_FALSE(server->GetJob());
}

TEST_F(ServerNode, FavouritesAreProposedEscapedAndSaved)
{
    CServerObject* server = AddServer();
    ASSERT_TRUE(server->SaveProfile());
    arbldap::LDAPDN dn("cn=Smith\\, John,ou=people,o=lab");

    Dialogs().favoriteAnswers.push_back(true);
    server->AddToFavorites(dn);
    ASSERT_EQ(Dialogs().favoriteRequests.size(), 1u);
    EXPECT_EQ(Dialogs().favoriteRequests[0].name, "Smith, John");
    EXPECT_EQ(Dialogs().favoriteRequests[0].value, "cn=Smith\\, John,ou=people,o=lab");

    CServerProfile stored;
    stored.SetIdFromString(server->GetKeyPath(false));
    ASSERT_TRUE(stored.LoadProfile());
    std::string name;
    ASSERT_TRUE(stored.GetFavorites().FindByValue(dn, name)) << "the stored text parses back to the DN";
    EXPECT_EQ(name, "Smith, John");

    // A DN that is a favourite already: asked first; No adds nothing.
    ui.Shell().MessageBox().Answer(platform::kIdNo);
    server->AddToFavorites(dn);
    EXPECT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
    EXPECT_EQ(Dialogs().favoriteRequests.size(), 1u);
    ui.Shell().MessageBox().Answer(platform::kIdYes);
    Dialogs().favoriteAnswers.push_back(false);
    server->AddToFavorites(dn);
    EXPECT_EQ(Dialogs().favoriteRequests.size(), 2u);
    EXPECT_EQ(server->GetFavorites().GetCount(), 1u) << "the dialog was cancelled";
}

TEST_F(ServerNode, TheBindJobOpensTheBaseOnlyWhenThereIsOne)
{
    CServerObject* withBase = AddServer();
    CServerObject* rootDse = AddServer(Profile(""));
    const struct {
        CServerObject* server;
        bool requested;
        bool openBase;
    } cases[] = {{withBase, true, true}, {withBase, false, false}, {rootDse, true, false}};
    for (const auto& c : cases) {
        auto job = std::make_shared<CBindThread>(c.server, nullptr, c.requested);
        EXPECT_EQ(job->GetOpenBase(), c.openBase);
        EXPECT_TRUE(job->GetPassword().empty());
        EXPECT_EQ(c.server->GetStatusText(), Text(kStrBinding));
        EXPECT_TRUE(c.server->IsBusy());
        job->FinishUnstarted();
        EXPECT_FALSE(c.server->IsBusy());
    }
}

} // namespace
