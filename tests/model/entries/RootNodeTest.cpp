// The root node: one server per stored profile, reloading them, and new
// profiles from the wizard.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "jobs/CLDAPThread.h"
#include "model/entries/CRootObject.h"
#include "model/profiles/ProfileKeys.h"
#include "model/ports/ProfileWizard.h"
#include "platform/CStdRegistry.h"
#include "tests/model/entries/NodeTestSupport.h"

namespace {

using modeltest::Text;

class ScriptedWizard : public ProfileWizardPort {
public:
    std::unique_ptr<CServerProfile> CreateProfile(const std::wstring& caption, bool& connectAtOnce) override
    {
        captions.push_back(caption);
        connectAtOnce = connect;
        return profile ? std::make_unique<CServerProfile>(*profile) : nullptr;
    }
    std::unique_ptr<CServerProfile> profile;
    bool connect = false;
    std::vector<std::wstring> captions;
};

class RootNode : public nodetest::NodeTest {
protected:
    void SetUp() override
    {
        NodeTest::SetUp();
        m_previousWizard = SetProfileWizardPort(m_wizard);
    }
    void TearDown() override
    {
        EXPECT_TRUE(ui.Dispatcher().PumpUntil([] { return GetRunningThreadCount() == 0; }, 20000));
        SetProfileWizardPort(m_previousWizard);
        NodeTest::TearDown();
    }

    // The root as the list view makes it; the tree owns it once it has an item.
    CRootObject* MakeRoot()
    {
        auto* root = new CRootObject;
        root->LoadChildren(0);
        EXPECT_TRUE(root->GetTreeItem());
        return root;
    }

    std::vector<std::wstring> ServerNames(const CRootObject& root)
    {
        std::vector<std::wstring> names;
        for (platform::TreeItem item : ui.Tree().GetChildren(root.GetTreeItem())) {
            auto* server = dynamic_cast<CServerObject*>(GetTreeItemObject(item));
            EXPECT_NE(server, nullptr);
            if (server)
                names.push_back(server->GetProfileName());
        }
        return names;
    }

    static CServerProfile Stored(const std::wstring& name)
    {
        CServerProfile profile = nodetest::Profile();
        profile.SetProfileName(name);
        EXPECT_TRUE(profile.SaveProfile());
        return profile;
    }

    std::shared_ptr<ScriptedWizard> m_wizard = std::make_shared<ScriptedWizard>();
    std::shared_ptr<ProfileWizardPort> m_previousWizard;
};

TEST_F(RootNode, WithoutAProfilesKeyTheRootIsEmptyAndTheKeyIsMade)
{
    CStdRegistry key(platform::RegRoot::CurrentUser, true);
    ASSERT_FALSE(key.KeyExists(kProfilesKey));
    CRootObject* root = MakeRoot();
    EXPECT_TRUE(ui.Tree().GetChildren(root->GetTreeItem()).empty());
    EXPECT_TRUE(key.KeyExists(kProfilesKey));
    EXPECT_EQ(root->GetType(), kNodeRoot);
    EXPECT_EQ(root->GetCaption(), Text(708));
    EXPECT_EQ(root->GetFullName(), Text(708));
    EXPECT_EQ(root->GetDisplayName(), Text(707));
    EXPECT_EQ(root->GetValueText(), Text(400));
    EXPECT_EQ(root->GetTypeName(), Text(402));
    EXPECT_EQ(ui.Tree().GetSelectedItem(), root->GetTreeItem());
}

TEST_F(RootNode, OneServerPerStoredProfileAndNoneForTheCommonTemplates)
{
    Stored(L"first");
    Stored(L"second");
    Stored(L"third");
    CStdRegistry key(platform::RegRoot::CurrentUser, false);
    // Templates of every server, and a profile key whose values are gone.
    ASSERT_TRUE(key.CreateKey(std::wstring(kProfilesKey) + L"Common Templates\\00000Person"));
    ASSERT_TRUE(key.CreateKey(std::wstring(kProfilesKey) + L"{12345678-1234-1234-1234-123456789ABC}"));

    CRootObject* root = MakeRoot();
    std::vector<std::wstring> names = ServerNames(*root);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"first", L"second", L"third"}));
    // The list shows them, each with its value text.
    ASSERT_EQ(ui.List().GetItemCount(), 3);
    EXPECT_EQ(ui.List().GetItemText(0, 0), L"first");
    EXPECT_EQ(ui.List().GetItemText(0, 1), L"ldap:389");
    EXPECT_TRUE(ui.Tree().IsExpanded(root->GetTreeItem()));

    // The properties page counts them.
    root->ShowProperties();
    ASSERT_EQ(ui.Sheet().runs.size(), 1u);
    EXPECT_EQ(ui.Sheet().runs[0].caption, Text(410));
    auto* page = dynamic_cast<MessagePropertiesPage*>(ui.Sheet().runs[0].pages.at(0).get());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->firstDetail, L"3");
    EXPECT_EQ(page->title, Text(408));
}

TEST_F(RootNode, RefreshReloadsTheServersUnlessBusyAndTheRootIsNeverDeleted)
{
    Stored(L"first");
    CRootObject* root = MakeRoot();
    ASSERT_EQ(ServerNames(*root).size(), 1u);
    Stored(L"second");

    root->SetBusy();
    root->Refresh(0);
    EXPECT_EQ(root->GetJob(), nullptr);
    root->ResetBusy();
    EXPECT_FALSE(root->Delete(0));
    EXPECT_FALSE(root->PromptDelete());

    root->Refresh(0);
    ASSERT_TRUE(ui.Dispatcher().PumpUntil([&] { return ServerNames(*root).size() == 2; }, 20000));
    EXPECT_FALSE(root->IsBusy());
    EXPECT_TRUE(root->IsChildrenLoaded());
}

TEST_F(RootNode, NewProfileFromTheWizard)
{
    CRootObject* root = MakeRoot();
    EXPECT_TRUE(root->RouteCommandNew());  // cancelled: nothing changes
    ASSERT_EQ(m_wizard->captions.size(), 1u);
    EXPECT_EQ(m_wizard->captions[0], Text(119));
    EXPECT_TRUE(ServerNames(*root).empty());

    m_wizard->profile = std::make_unique<CServerProfile>(nodetest::Profile());
    m_wizard->profile->SetProfileName(L"made");
    m_wizard->profile->SetStorageHeld(true);  // as the wizard keeps it until Finish
    root->OnCommandNew();
    EXPECT_EQ(ServerNames(*root), (std::vector<std::wstring>{L"made"}));
    CServerObject* server =
        dynamic_cast<CServerObject*>(GetTreeItemObject(ui.Tree().GetChildren(root->GetTreeItem()).at(0)));
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(ui.Tree().GetSelectedItem(), server->GetTreeItem());
    EXPECT_FALSE(server->IsBound());
    CStdRegistry key(platform::RegRoot::CurrentUser, true);
    EXPECT_TRUE(key.KeyExists(server->GetKeyPath(true)));

    // Stored: a reload finds it again.
    root->LoadChildren(0);
    EXPECT_EQ(ServerNames(*root), (std::vector<std::wstring>{L"made"}));

    root->SetBusy();
    EXPECT_FALSE(root->RouteCommandNew());
    root->ResetBusy();
}

TEST_F(RootNode, EachServerHasItsOwnTemplates)
{
    CServerProfile profile = Stored(L"with templates");
    {
        CEntryTemplateGroup group(L"server", profile.GetKeyPath(true) + L"\\Templates\\");
        auto entryTemplate = std::make_unique<CEntryTemplate>(L"Device", L"cn");
        entryTemplate->AddAttribute("cn", true);
        group.AddTemplate(std::move(entryTemplate), false, true);
    }
    Stored(L"without");
    CRootObject* root = MakeRoot();
    for (platform::TreeItem item : ui.Tree().GetChildren(root->GetTreeItem())) {
        auto* server = dynamic_cast<CServerObject*>(GetTreeItemObject(item));
        ASSERT_NE(server, nullptr);
        const bool has = server->GetProfileName() == L"with templates";
        EXPECT_EQ(server->GetTemplates().GetTemplates().size(), has ? 1u : 0u);
    }
}

}  // namespace
