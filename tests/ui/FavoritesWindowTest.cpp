// Favourites in the whole main window against the demonstration directory:
// a person added from its menu through the new-favourite dialog, the
// manager opened by its command, and a favourite chosen from the toolbar's
// drop-down walking the tree to its entry, escaped DN included.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <wx/bmpbuttn.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogs/CAddNewFavoriteDlg.h"
#include "dialogs/CCreateFavoriteDlg.h"
#include "dialogs/CFavoritesManagerDlg.h"
#include "jobs/CLDAPThread.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPSyncConnection.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CLDAPObject.h"
#include "model/entries/CServerObject.h"
#include "model/nodes/CDataObject.h"
#include "model/profiles/CServerProfile.h"
#include "shellcore/FrameCommands.h"
#include "tests/support/DemoServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/ui/FrameTestSupport.h"
#include "tests/ui/WindowTreeDriver.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "ui/NodeMenus.h"
#include "widgets/WxCommandIds.h"

namespace {

using namespace std::chrono_literals;
using uitest::OnNextDialog;

class FavoritesWindowTest : public frametest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frametest::Prepare();
        m_demo = std::make_unique<testsupport::DemoServer>();
        // A person whose RDN value holds a comma.
        RefPtr<arbldap::LDAPSyncConnection> admin = arbldap::LDAPSyncConnection::Create("127.0.0.1", m_demo->Port());
        admin->SetProtocolVersion(3);
        admin->Bind(testsupport::DemoServer::AdminDN(), testsupport::DemoServer::AdminPassword());
        arbldap::LDAPEntry smith(SmithDN());
        smith.GetAttributes().Add(arbldap::LDAPAttribute("objectClass", "inetOrgPerson"));
        smith.GetAttributes().Add(arbldap::LDAPAttribute("cn", "Smith, John"));
        smith.GetAttributes().Add(arbldap::LDAPAttribute("sn", "Smith"));
        admin->Add(smith);

        SaveAnonymousProfile(L"Demo", m_demo->Port(), testsupport::DemoServer::Suffix());
        OpenWindow();
    }

    void TearDown() override
    {
        CloseWindow();
        m_demo.reset();
        MainWindowTest::TearDown();
    }

    static std::string SmithDN() { return "cn=Smith\\, John,ou=people," + testsupport::DemoServer::Suffix(); }
    static std::string AdaDN() { return "uid=ada,ou=people," + testsupport::DemoServer::Suffix(); }

    platform::TreePort& Tree() { return m_tree->GetPort(); }
    CServerObject* Server() { return dynamic_cast<CServerObject*>(m_driver->NodeOf(m_driver->ServerItem(L"Demo"))); }

    // The menu bar's item for the command, enabled as the idle update leaves it.
    bool MenuEnabled(uint32_t command)
    {
        frametest::Pump();
        wxMenuItem* item = m_frame->GetMenuBar()->FindItem(ui::WxId(command));
        EXPECT_NE(item, nullptr) << command;
        return item && item->IsEnabled();
    }

    void SendMenu(int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(m_frame->GetMenuBar());
        m_frame->ProcessWindowEvent(event);
        frametest::Pump();
    }

    // Whether the tree's caret is on the entry of that DN.
    bool CaretOn(const std::string& dn)
    {
        auto* node = dynamic_cast<CLDAPObject*>(m_driver->NodeOf(Tree().GetSelectedItem()));
        return node && arbldap::SameDNValue(node->GetDN(), arbldap::LDAPDN(dn));
    }

    std::unique_ptr<testsupport::DemoServer> m_demo;
};

TEST_F(FavoritesWindowTest, APersonAddedFromItsMenuIsKeptByTheManagerAndReachedFromTheDropDown)
{
    const platform::TreeItem server = m_driver->ServerItem(L"Demo");
    ASSERT_TRUE(server);
    m_driver->Click(server);
    m_driver->Settle([&] { return bool(m_driver->Child(server, L"ou=people")); });
    const platform::TreeItem people = m_driver->Child(server, L"ou=people");
    m_driver->Click(people);
    m_driver->Settle([&] { return bool(m_driver->Child(people, L"uid=ada")); });
    const platform::TreeItem adaItem = m_driver->Child(people, L"uid=ada");
    m_driver->Click(adaItem);
    CDataObject* ada = m_driver->NodeOf(adaItem);
    ASSERT_NE(ada, nullptr);
    EXPECT_TRUE(MenuEnabled(cmd::kFavorites));

    // Add to Favorites from the person's menu: the new-favourite dialog
    // proposes the RDN value and the DN.
    bool proposed = false;
    OnNextDialog<CCreateFavoriteDlg> create([&](CCreateFavoriteDlg& dialog) {
        proposed = uitest::TextOf(dialog, CCreateFavoriteDlg::kIdcName).GetValue() == "ada" &&
                   uitest::TextOf(dialog, CCreateFavoriteDlg::kIdcDN).GetValue() == wxString::FromUTF8(AdaDN());
        uitest::TextOf(dialog, CCreateFavoriteDlg::kIdcName).SetValue("Ada Lovelace");
        uitest::Screenshot(dialog, "favorite-create");
        uitest::Click(dialog, wxID_OK);
    });
    ui::RunNodeMenuCommand(*m_tree, *ada, kCmdAddToFavorites);
    frametest::Pump();
    EXPECT_TRUE(create.Seen());
    EXPECT_TRUE(proposed);
    ASSERT_EQ(Server()->GetFavorites().GetCount(), 1u);
    EXPECT_EQ(*Server()->GetFavorites().begin(), CFavorite("Ada Lovelace", AdaDN()));

    // The manager from its command: Smith added and moved to the top.
    OnNextDialog<CFavoritesManagerDlg> manager([&](CFavoritesManagerDlg& dialog) {
        ASSERT_EQ(dialog.GetList()->GetCount(), 1);
        EXPECT_EQ(dialog.GetList()->GetItemText(0), "Ada Lovelace");
        OnNextDialog<CAddNewFavoriteDlg> add([&](CAddNewFavoriteDlg& adding) {
            uitest::TextOf(adding, CAddNewFavoriteDlg::kIdcName).SetValue("John");
            uitest::TextOf(adding, CAddNewFavoriteDlg::kIdcDN).SetValue(wxString::FromUTF8(SmithDN()));
            uitest::Click(adding, wxID_OK);
        });
        dialog.NewFavorite();
        ASSERT_EQ(dialog.GetList()->GetCount(), 2);
        EXPECT_EQ(dialog.GetDNDisplay()->GetValue(), wxString::FromUTF8(SmithDN()));
        dialog.GetList()->ClickButton(3);  // move up
        uitest::Screenshot(dialog, "favorites-manager-window");
        uitest::Click(dialog, wxID_OK);
    });
    SendMenu(ui::WxId(cmd::kFavorites));
    EXPECT_TRUE(manager.Seen());
    const std::vector<CFavorite> expected = {CFavorite("John", SmithDN()), CFavorite("Ada Lovelace", AdaDN())};
    EXPECT_EQ(std::vector<CFavorite>(Server()->GetFavorites().begin(), Server()->GetFavorites().end()), expected);
    CServerProfile stored;
    stored.SetIdFromString(GuidToString(Server()->GetId()));
    ASSERT_TRUE(stored.LoadProfile());
    EXPECT_EQ(std::vector<CFavorite>(stored.GetFavorites().begin(), stored.GetFavorites().end()), expected);

    // The drop-down's items walk the tree to their entries, from elsewhere.
    m_driver->Click(server);
    SendMenu(static_cast<int>(kFavoriteCommands.first));
    m_driver->Settle([&] { return CaretOn(SmithDN()); });
    m_driver->Click(server);
    SendMenu(static_cast<int>(kFavoriteCommands.first) + 1);
    m_driver->Settle([&] { return CaretOn(AdaDN()); });
}

} // namespace
