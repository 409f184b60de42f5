// Entry nodes without a server: names, sizes, what they answer about their
// attributes, the list rows with the main frame's progress, the custom
// filter, menus and the LDIF export command.

#include "jobs/CLDAPThread.h"
#include "tests/model/entries/NodeTestSupport.h"

#include "model/ports/ProgressDialogFactory.h"
#include "model/ports/ResourceText.h"
#include "tests/support/HeadlessProgressDlg.h"

namespace {

using modeltest::Text;
using nodetest::NodeTest;

// The main frame's side: the progress messages it receives.
class MainFrameRecorder : public platform::MessageReceiver {
public:
    MainFrameRecorder() : m_registration(*this)
    {
        platform::SetAppWindow(platform::AppWindow::MainFrame, m_registration.Id());
    }
    ~MainFrameRecorder() override { platform::SetAppWindow(platform::AppWindow::MainFrame, platform::kNoReceiver); }

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload>) override
    {
        messages.push_back({id, wParam, lParam});
    }

    struct Message {
        platform::MessageId id;
        uintptr_t wParam;
        intptr_t lParam;
    };
    std::vector<Message> messages;

private:
    platform::ReceiverRegistration m_registration;
};

class EntryNode : public NodeTest {
protected:
    void SetUp() override
    {
        NodeTest::SetUp();
        server = AddServer();
        entry = AddEntry(*server, "cn=Smith\\, John,o=lab", server);
    }

    std::vector<uint32_t> Commands(platform::PopupMenu& menu)
    {
        std::vector<uint32_t> commands;
        for (const platform::MenuItem& item : menu.Items())
            commands.push_back(item.command);
        return commands;
    }

    CServerObject* server = nullptr;
    CEntryObject* entry = nullptr;
};

TEST_F(EntryNode, NamedAfterItsFirstRdn)
{
    EXPECT_EQ(entry->GetCaption(), L"cn");
    EXPECT_EQ(entry->GetValueText(), L"Smith, John");
    EXPECT_EQ(entry->GetDisplayName(), L"cn=Smith, John");
    EXPECT_EQ(entry->GetRDNText(), L"cn=Smith\\, John");
    EXPECT_EQ(entry->GetFullName(), L"cn=Smith\\, John,o=lab");
    EXPECT_EQ(entry->GetTypeName(), Text(361));
    EXPECT_EQ(entry->GetType(), kNodeEntry);
    EXPECT_EQ(entry->GetImage(false), 9);
    EXPECT_EQ(entry->GetImage(true), 22);
    EXPECT_TRUE(entry->IsBound());
    EXPECT_EQ(entry->GetServerObject(), server);
}

TEST_F(EntryNode, NamesFollowTheDNAndTheDNComesBackAsSet)
{
    entry->SetDN(arbldap::LDAPDN("uid=j\\+k;ou=People,o=lab"));
    EXPECT_EQ(entry->GetCaption(), L"uid");
    EXPECT_EQ(entry->GetValueText(), L"j+k");
    EXPECT_EQ(entry->GetDisplayName(), L"uid=j+k");
    EXPECT_EQ(entry->GetDN().GetText(), "uid=j\\+k,ou=People,o=lab");
    EXPECT_EQ(entry->GetDN().GetPartCount(), 3u);
    EXPECT_EQ(entry->GetFirstRDN().GetText(), "uid=j\\+k");

    // Parts that the text would not give back stay as they were set.
    arbldap::LDAPDN odd("cn=a,o=lab");
    odd.GetParts()[0].SetValue("b");
    entry->SetDN(odd);
    EXPECT_EQ(entry->GetDN().GetPart(0).GetValue(), "b");
    EXPECT_EQ(entry->GetValueText(), L"b");
    arbldap::LDAPDN notADN;
    notADN = "not a DN";
    entry->SetDN(notADN);
    EXPECT_EQ(entry->GetDN().GetText(), "not a DN");
    EXPECT_EQ(entry->GetDN().GetPartCount(), 0u);
    EXPECT_EQ(entry->GetCaption(), L"");
}

TEST_F(EntryNode, SizeIsKnownOnceLoadedAndCountsNormalValuesOnly)
{
    entry->CreateAttributeNodes(Attributes({{"cn", "Smith, John"}, {"sn", "Smith"}}), false);
    entry->CreateAttributeNodes(Attributes({{"creatorsName", "cn=admin,o=lab"}}), true);
    EXPECT_EQ(entry->GetSize(), kSizeUnknown);
    entry->SetChildrenLoaded(true);
    EXPECT_EQ(entry->GetSize(), 16u);

    CEntryObject* context = modeltest::AddNode<CEntryObject>(server->GetTreeItem(), arbldap::LDAPConnectionPtr(),
                                                             arbldap::LDAPDN("o=other"), server, true, false);
    context->SetChildrenLoaded(true);
    EXPECT_TRUE(context->IsNamingContext());
    EXPECT_EQ(context->GetSize(), kSizeUnknown) << "a naming context not yet expanded";
}

TEST_F(EntryNode, AnswersAboutItsAttributes)
{
    entry->CreateAttributeNodes(Attributes({{"objectClass", "top"},
                                            {"objectClass", "person"},
                                            {"cn", "Smith, John"},
                                            {"namingContexts", "  o=lab  "},
                                            {"namingContexts", "   "},
                                            {"createTimestamp", "20040115093012Z"}}),
                                false);
    entry->CreateAttributeNodes(Attributes({{"createTimestamp", "20040115093012Z"},
                                            {"modifyTimestamp", "2004"},
                                            {"namingContexts", "o=other"},
                                            {"creatorsName", "cn=admin,o=lab"}}),
                                true);
    // A normal value that the operational list holds as well goes.
    entry->RemoveDuplicateAttributeNodes();
    EXPECT_TRUE(Values(*entry, "createTimestamp").empty());
    EXPECT_EQ(Values(*entry, "createTimestamp", true).size(), 1u);

    StringList contexts;
    entry->GetNamingContexts(contexts);
    StringList expected;
    expected.Add("o=lab");
    expected.Add("o=other");
    EXPECT_EQ(contexts, expected);

    StringList classes;
    entry->GetObjectClasses(classes);
    EXPECT_EQ(classes.GetCount(), 2u);
    EXPECT_EQ(entry->FindAttributeNode("CN"), Values(*entry, "cn").at(0));
    EXPECT_EQ(entry->FindAttributeNode("creatorsname"), Values(*entry, "creatorsName", true).at(0));
    EXPECT_EQ(entry->FindAttributeNode("mail"), nullptr);

    EXPECT_EQ(entry->GetCreateTimestampText(), L"2004-01-15 09:30:12");
    EXPECT_EQ(entry->GetModifyTimestampText(), L"2004") << "a short time stamp is shown as it is";
    EXPECT_EQ(entry->GetCreatorsNameText(), L"cn=admin,o=lab");
    EXPECT_EQ(entry->GetModifiersNameText(), L"N/A");

    std::unique_ptr<arbldap::LDAPEntry> collected = entry->CollectAttributes();
    EXPECT_EQ(collected->GetDN(), "cn=Smith\\, John,o=lab");
    EXPECT_EQ(collected->GetAttributes().GetCount(), entry->GetAttributeNodeCount());

    entry->RemoveAttributeNodes("NAMINGCONTEXTS");
    EXPECT_EQ(entry->FindAttributeNode("namingContexts"), nullptr);
}

TEST_F(EntryNode, ManyRowsShowTheMainFramesProgress)
{
    MainFrameRecorder frame;
    ui.Select(*entry);
    for (size_t total : {100u, 101u}) {
        SCOPED_TRACE(total);
        entry->ReleaseAttributeNodes();
        arbldap::LDAPAttributeList many;
        for (size_t i = 0; i + 1 < total; ++i)
            many.AddValue("description", "value " + std::to_string(i));
        entry->CreateAttributeNodes(many, false);
        entry->CreateAttributeNodes(Attributes({{"creatorsName", "cn=admin,o=lab"}}), true);
        frame.messages.clear();
        entry->UpdateViews();
        ui.Dispatcher().Pump();
        EXPECT_EQ(ui.List().GetItemCount(), static_cast<int>(total));
        if (total <= 100) {
            EXPECT_TRUE(frame.messages.empty());
            continue;
        }
        ASSERT_EQ(frame.messages.size(), total + 2);
        EXPECT_EQ(frame.messages.front().id, platform::WM_PROGRESS_START);
        EXPECT_EQ(frame.messages.front().wParam, 40u);
        EXPECT_EQ(frame.messages.front().lParam, static_cast<intptr_t>(total));
        for (size_t i = 1; i <= total; ++i) {
            EXPECT_EQ(frame.messages[i].id, platform::WM_PROGRESS_STEP);
            EXPECT_EQ(frame.messages[i].wParam, i);
        }
        EXPECT_EQ(frame.messages.back().id, platform::WM_PROGRESS_END);
    }
    EXPECT_FALSE(entry->IsBusy());
}

TEST_F(EntryNode, ListRowsAreTheChildrenAndTheValuesSortedByName)
{
    AddEntry(*entry, "ou=b,cn=Smith\\, John,o=lab", server);
    AddEntry(*entry, "ou=a,cn=Smith\\, John,o=lab", server);
    entry->CreateAttributeNodes(Attributes({{"sn", "Smith"}, {"cn", "Smith, John"}}), false);
    entry->SetChildrenLoaded(true);
    ui.Select(*entry);
    entry->ShowContents(0);
    std::vector<std::wstring> rows;
    for (int i = 0; i < ui.List().GetItemCount(); ++i)
        rows.push_back(ui.List().GetItemText(i, 0) + L"=" + ui.List().GetItemText(i, 1));
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"cn=Smith, John", L"ou=b", L"ou=a", L"sn=Smith"}));
    EXPECT_EQ(ui.List().UpdateLockDepth(), 0);
}

// Rebuilding the list keeps the rows that show the children already, in
// their order, unselected; other rows are made again.
TEST_F(EntryNode, ARebuildKeepsTheRowsThatShowTheChildrenAlready)
{
    AddEntry(*entry, "ou=b,cn=Smith\\, John,o=lab", server);
    AddEntry(*entry, "ou=a,cn=Smith\\, John,o=lab", server);
    entry->CreateAttributeNodes(Attributes({{"sn", "Smith"}}), false);
    entry->SetChildrenLoaded(true);
    ui.Select(*entry);
    entry->ShowContents(0);
    auto rows = [this] {
        std::vector<std::wstring> texts;
        for (int i = 0; i < ui.List().GetItemCount(); ++i)
            texts.push_back(ui.List().GetItemText(i, 0) + L"=" + ui.List().GetItemText(i, 1));
        return texts;
    };
    const std::vector<std::wstring> expected{L"ou=b", L"ou=a", L"sn=Smith"};
    ASSERT_EQ(rows(), expected);
    void* const first = ui.List().GetItemData(0);
    void* const second = ui.List().GetItemData(1);
    void* const value = ui.List().GetItemData(2);
    ui.List().SetItemState(1, platform::kListSelected | platform::kListFocused,
                           platform::kListSelected | platform::kListFocused);

    entry->UpdateViews();
    ui.Dispatcher().Pump();
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(ui.List().GetItemData(0), first);
    EXPECT_EQ(ui.List().GetItemData(1), second);
    EXPECT_EQ(ui.List().GetItemData(2), value);
    EXPECT_TRUE(ui.List().GetSelectedRows().empty());
    EXPECT_EQ(ui.List().GetItemState(1, platform::kListFocused), 0u);

    // Rows that do not show the children in order are made again.
    ui.List().DeleteItem(0);
    entry->UpdateViews();
    ui.Dispatcher().Pump();
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(ui.List().GetItemData(0), first);
    EXPECT_EQ(ui.List().UpdateLockDepth(), 0);
}

// A child that shares its ancestor's filter keeps the text it was given,
// whatever the ancestor does with its own afterwards.
TEST_F(EntryNode, CustomFilterIsSharedSafelyAndRemovedAtItsOwner)
{
    CEntryObject* child = AddEntry(*entry, "ou=a,cn=Smith\\, John,o=lab", server);
    EXPECT_EQ(child->GetEffectiveFilter(), "(objectClass=*)");
    EXPECT_FALSE(child->HasCustomFilter());

    entry->SetCustomFilter(L"(cn=*)");
    EXPECT_TRUE(entry->OwnsCustomFilter());
    child->InheritCustomFilter(*entry);
    EXPECT_TRUE(child->HasCustomFilter());
    EXPECT_FALSE(child->OwnsCustomFilter());
    EXPECT_EQ(child->GetImage(false), 10);
    EXPECT_EQ(child->GetImage(true), 23);
    EXPECT_EQ(entry->GetImage(false), 9);
    entry->SetOverlayImage(0);
    EXPECT_EQ(ui.Tree().GetItemOverlay(entry->GetTreeItem()), 2);
    EXPECT_NE(child->GetURL().find(L"(cn=*)"), std::wstring::npos);

    entry->SetCustomFilter(L"(sn=*)");
    EXPECT_EQ(entry->GetEffectiveFilter(), "(sn=*)");
    EXPECT_EQ(child->GetEffectiveFilter(), "(cn=*)");
    EXPECT_EQ(child->GetFilterText(), L"(cn=*)");

    // The child's remove command works at the owner.
    child->ShareCustomFilter(entry->GetCustomFilterText());
    child->OnRemoveCustomFilter();
    EXPECT_FALSE(entry->HasCustomFilter());
    EXPECT_EQ(child->GetEffectiveFilter(), "(sn=*)") << "the child keeps its text until it is fetched again";
}

TEST_F(EntryNode, CustomFilterEqualToTheInheritedOneIsNoFilter)
{
    entry->SetChildrenLoaded(true);
    entry->SetCustomFilter(L"");
    EXPECT_FALSE(entry->HasCustomFilter());
    EXPECT_TRUE(entry->IsChildrenLoaded()) << "an empty filter changes nothing";

    entry->SetCustomFilter(L"(CN=*)");
    EXPECT_TRUE(entry->IsBusy()) << "a new filter refreshes the node";
    EXPECT_TRUE(ui.Dispatcher().PumpUntil([] { return GetRunningThreadCount() == 0; }, 20000));
    entry->SetChildrenLoaded(true);
    entry->SetCustomFilter(L"(CN=*)");
    EXPECT_TRUE(entry->IsChildrenLoaded()) << "the same filter twice does not";

    entry->SetCustomFilter(L"(OBJECTCLASS=*)");
    EXPECT_FALSE(entry->HasCustomFilter()) << "equal to the server's filter, ignoring case";

    // A filter owned by no entry below the server: the walk stops there.
    CEntryObject* child = AddEntry(*entry, "ou=a,cn=Smith\\, John,o=lab", server);
    child->ShareCustomFilter(std::make_shared<const std::string>("(uid=*)"));
    EXPECT_EQ(child->FindFilterOwner(), nullptr);
    child->OnRemoveCustomFilter();
    EXPECT_TRUE(child->HasCustomFilter());
}

TEST_F(EntryNode, ContextMenu)
{
    std::unique_ptr<platform::PopupMenu> menu = entry->BuildContextMenu();
    // Children arrive in ascending order: the menu offers the other one.
    EXPECT_EQ(Commands(*menu), (std::vector<uint32_t>{kCmdRefresh, kCmdSetFilter, kCmdEntryViewOn, 0, kCmdCut,
                                                      kCmdCopy, kCmdPaste, 0, kCmdAddToFavorites, 0, kCmdGoToDN, 0,
                                                      kCmdExportLDIF, 0, kCmdAbort, kCmdProperties}));
    EXPECT_EQ(menu->FindCommand(kCmdSetFilter)->text, L"(objectClass=*)");

    entry->SetCustomFilter(L"(cn=*)");
    entry->SetEntryView(false);
    menu = entry->BuildContextMenu();
    ASSERT_NE(menu->FindCommand(kCmdRemoveFilter), nullptr);
    EXPECT_EQ(menu->FindCommand(kCmdRemoveFilter)->text, L"Remove Custom Filter");
    EXPECT_NE(menu->FindCommand(kCmdEntryViewOff), nullptr);
    EXPECT_EQ(menu->FindCommand(kCmdEntryViewOn), nullptr);

    CommandList commands;
    entry->GetCommandList(commands);
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands.back(), (CommandEntry{kCmdExportLDIF, 141}));
}

TEST_F(EntryNode, LdifExportTakesTheDialogsChoices)
{
    std::shared_ptr<const HeadlessProgressRecord> progress;
    ProgressDialogFactory previous = SetProgressDialogFactory([&progress]() -> std::unique_ptr<CProgressDlg> {
        auto window = std::make_unique<CHeadlessProgressDlg>();
        progress = window->GetRecord();
        return window;
    });
    CEntryObject* odd = AddEntry(*server, "cn=a/b,o=lab", server);
    odd->SetCustomFilter(L"(sn=*)");

    const struct {
        int dialogScope, dialogOutput;
        int scope, output;
    } cases[] = {{0, 0, 2, 1}, {1, 1, 1, 0}, {2, 0, 0, 1}};
    for (const auto& c : cases) {
        Dialogs().ldifChoices.push_back({L"/tmp/out.ldif", c.dialogScope, c.dialogOutput, true, false, "(cn=*)"});
        odd->ExportLDIF();
    }
    odd->ExportLDIF();  // cancelled
    SetProgressDialogFactory(previous);

    ASSERT_EQ(Dialogs().ldifRequests.size(), 4u);
    EXPECT_EQ(Dialogs().ldifRequests[0].caption, L"LDIF Export [cn=a/b,o=lab]");
    EXPECT_EQ(Dialogs().ldifRequests[0].fileName, L"a_b.ldif");
    EXPECT_EQ(Dialogs().ldifRequests[0].filter, "(sn=*)");
    ASSERT_EQ(dialogs.Exports().size(), 3u) << "a cancelled dialog exports nothing";
    for (size_t i = 0; i < 3; ++i) {
        const RecordedLdifExport& run = dialogs.Exports()[i];
        EXPECT_EQ(run.node, odd);
        EXPECT_EQ(run.request.scope, cases[i].scope);
        EXPECT_EQ(run.request.output, cases[i].output);
        EXPECT_EQ(run.request.path, L"/tmp/out.ldif");
        EXPECT_TRUE(run.request.firstOption);
        EXPECT_EQ(run.request.filter, "(cn=*)");
        EXPECT_TRUE(run.hasProgressWindow);
        std::wstring caption = Text(372);
        caption.replace(caption.find(L"%s"), 2, L"cn=a/b,o=lab");
        EXPECT_EQ(run.progressCaption, caption);
        EXPECT_EQ(run.progressMainText, Text(373));
        EXPECT_EQ(run.progressAnimation, 368);
    }
}

} // namespace
