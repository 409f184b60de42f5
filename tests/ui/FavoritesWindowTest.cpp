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
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "ui/NodeMenus.h"
#include "widgets/WxCommandIds.h"

namespace {

using namespace std::chrono_literals;
using uitest::OnNextDialog;

void Click(wxWindow& dialog, int id)
{
    wxWindow* button = dialog.FindWindow(id);
    ASSERT_NE(button, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

wxTextCtrl& Edit(wxWindow& dialog, int id)
{
    auto* edit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(id));
    if (!edit) throw std::runtime_error("no edit " + std::to_string(id));
    return *edit;
}

class FavoritesWindowTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
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

        CServerProfile profile;
        profile.SetProfileName(L"Demo");
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(m_demo->Port());
        profile.SetVersion(3);
        profile.SetBaseDN(arbldap::LDAPDN(testsupport::DemoServer::Suffix()));
        profile.SetAnonymousBind(1);
        ASSERT_TRUE(profile.SaveProfile());
        m_session = std::make_unique<uitest::ProgramSession>();
        m_frame = m_session->OpenFrame();
        ASSERT_NE(m_frame, nullptr);
        m_tree = CArbTreeView::Get();
        ASSERT_NE(m_tree, nullptr);
    }

    void TearDown() override
    {
        EXPECT_TRUE(frametest::PumpUntil([] { return GetRunningThreadCount() == 0; }, 30s));
        m_session.reset();
        m_demo.reset();
        TempHomeTest::TearDown();
    }

    static std::string SmithDN() { return "cn=Smith\\, John,ou=people," + testsupport::DemoServer::Suffix(); }
    static std::string AdaDN() { return "uid=ada,ou=people," + testsupport::DemoServer::Suffix(); }

    platform::TreePort& Tree() { return m_tree->GetPort(); }
    CDataObject* NodeOf(platform::TreeItem item) { return static_cast<CDataObject*>(Tree().GetItemData(item)); }

    platform::TreeItem Child(platform::TreeItem parent, const std::wstring& text)
    {
        for (platform::TreeItem item = Tree().GetChildItem(parent); item; item = Tree().GetNextSiblingItem(item))
            if (Tree().GetItemText(item) == text) return item;
        return platform::TreeItem();
    }

    // Selects the item and shows its node until its children are in.
    void Open(platform::TreeItem item)
    {
        Tree().SelectItem(item);
        NodeOf(item)->ShowContents(0);
        EXPECT_TRUE(frametest::PumpUntil(
            [&] {
                CDataObject* node = NodeOf(item);
                return GetRunningThreadCount() == 0 && node->IsChildrenLoaded() && !node->IsBusy();
            },
            30s));
        frametest::Pump();
    }

    platform::TreeItem ServerItem() { return Tree().GetChildItem(Tree().GetChildItem(platform::kTreeRoot)); }
    CServerObject* Server() { return dynamic_cast<CServerObject*>(NodeOf(ServerItem())); }

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

    // The DN of the node the tree's caret is on.
    std::string CaretDN()
    {
        CDataObject* selected = NodeOf(Tree().GetSelectedItem());
        auto* node = dynamic_cast<CLDAPObject*>(selected);
        return node ? node->GetDN().GetText()
                    : selected ? "(" + WideToUtf8Text(selected->GetDisplayName()) + ")" : std::string("(none)");
    }

    std::unique_ptr<testsupport::DemoServer> m_demo;
    std::unique_ptr<uitest::ProgramSession> m_session;
    CArbMainFrame* m_frame = nullptr;
    CArbTreeView* m_tree = nullptr;
};

TEST_F(FavoritesWindowTest, APersonAddedFromItsMenuIsKeptByTheManagerAndReachedFromTheDropDown)
{
    const platform::TreeItem server = ServerItem();
    ASSERT_TRUE(server);
    Open(server);
    ASSERT_TRUE(frametest::PumpUntil([&] { return bool(Child(server, L"ou=people")); }, 30s));
    const platform::TreeItem people = Child(server, L"ou=people");
    Open(people);
    ASSERT_TRUE(frametest::PumpUntil([&] { return bool(Child(people, L"uid=ada")); }, 30s));
    const platform::TreeItem adaItem = Child(people, L"uid=ada");
    Open(adaItem);
    CDataObject* ada = NodeOf(adaItem);
    ASSERT_NE(ada, nullptr);
    EXPECT_TRUE(MenuEnabled(cmd::kFavorites));

    // Add to Favorites from the person's menu: the new-favourite dialog
    // proposes the RDN value and the DN.
    bool proposed = false;
    OnNextDialog<CCreateFavoriteDlg> create([&](CCreateFavoriteDlg& dialog) {
        proposed = Edit(dialog, CCreateFavoriteDlg::kIdcName).GetValue() == "ada" &&
                   Edit(dialog, CCreateFavoriteDlg::kIdcDN).GetValue() == wxString::FromUTF8(AdaDN());
        Edit(dialog, CCreateFavoriteDlg::kIdcName).SetValue("Ada Lovelace");
        uitest::Screenshot(dialog, "favorite-create");
        Click(dialog, wxID_OK);
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
            Edit(adding, CAddNewFavoriteDlg::kIdcName).SetValue("John");
            Edit(adding, CAddNewFavoriteDlg::kIdcDN).SetValue(wxString::FromUTF8(SmithDN()));
            Click(adding, wxID_OK);
        });
        dialog.NewFavorite();
        ASSERT_EQ(dialog.GetList()->GetCount(), 2);
        EXPECT_EQ(dialog.GetDNDisplay()->GetValue(), wxString::FromUTF8(SmithDN()));
        dialog.GetList()->ClickButton(3);  // move up
        uitest::Screenshot(dialog, "favorites-manager-window");
        Click(dialog, wxID_OK);
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
    Tree().SelectItem(server);
    frametest::Pump();
    SendMenu(static_cast<int>(kFavoriteCommands.first));
    EXPECT_TRUE(frametest::PumpUntil(
        [&] {
            return arbldap::SameDNValue(arbldap::LDAPDN(CaretDN()), arbldap::LDAPDN(SmithDN())) &&
                   GetRunningThreadCount() == 0;
        },
        30s))
        << CaretDN();
    Tree().SelectItem(server);
    frametest::Pump();
    SendMenu(static_cast<int>(kFavoriteCommands.first) + 1);
    EXPECT_TRUE(frametest::PumpUntil(
        [&] { return arbldap::LDAPDN(CaretDN()) == arbldap::LDAPDN(AdaDN()) && GetRunningThreadCount() == 0; }, 30s))
        << CaretDN();
}

} // namespace
