#include <gtest/gtest.h>

#include <cwctype>

#include "base/Archive.h"
#include "model/clipboard/CArbClipboard.h"
#include "model/ports/ResourceText.h"
#include "model/entries/CTextAttrObject.h"
#include "model/ports/ProfileWizard.h"
#include "model/nodes/TreeViewOperations.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/DocumentCommands.h"
#include "shellcore/FrameCommands.h"
#include "tests/model/entries/NodeTestSupport.h"
#include "tests/support/MemoryClipboard.h"

namespace {

using nodetest::Profile;

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

class FakeContext : public DocumentContext {
public:
    ViewFocus GetFocus() const override { return focus; }
    bool IsTreeLastFocused() const override { return treeLast; }
    CRootObject* GetRoot() const override { return nullptr; }
    int FindListRow(CDataObject& node) const override { return FindObjectRow(node); }
    bool CanEditListRow(int) const override { return listEdits; }
    std::wstring GetFilterBoxText() const override { return filterBox; }

    ViewFocus focus = ViewFocus::Neither;
    std::wstring filterBox;
    bool treeLast = true;
    bool listEdits = false;
};

class DocumentCommandsTest : public nodetest::NodeTest {
protected:
    void SetUp() override
    {
        nodetest::NodeTest::SetUp();
        server = AddServer(Profile("o=lab"));
        entry = AddEntry(*server, "ou=people,o=lab", server);
        other = AddEntry(*server, "ou=groups,o=lab", server);
        entry->CreateAttributeNodes(Attributes({{"ou", "people"}, {"description", "staff"}}), false);
    }

    // The caret on node, its children as list rows.
    void ShowChildren(CDataObject& node)
    {
        ui.Select(node);
        RemoveAllRows();
        for (platform::TreeItem child = ui.Tree().GetChildItem(node.GetTreeItem()); child;
             child = ui.Tree().GetNextSiblingItem(child))
            UpdateRowText(*GetTreeItemObject(child), -1);
    }
    // The caret on the entry, its attribute values as list rows.
    void ShowAttributes(CEntryObject& node)
    {
        ui.Select(node);
        RemoveAllRows();
        for (CAttrObject* value : node.GetAttributeNodes(false))
            UpdateRowText(*value, -1);
    }
    void SelectRows(std::initializer_list<int> rows)
    {
        for (int row : rows)
            ui.List().SetItemState(row, platform::kListSelected, platform::kListSelected);
    }
    CDataObject* Row(int row) { return static_cast<CDataObject*>(ui.List().GetItemData(row)); }

    FakeContext context;
    CNavigationHistory history{false};
    CDocumentCommands commands{context, history};
    CServerObject* server = nullptr;
    CEntryObject* entry = nullptr;
    CEntryObject* other = nullptr;
};

TEST_F(DocumentCommandsTest, TheCurrentNodeFollowsTheFocusAndTheLastFocusedView)
{
    ShowChildren(*server);
    struct Case {
        ViewFocus focus;
        bool treeLast;
        bool rowSelected;
        bool expectRow;
    };
    const Case cases[] = {
        {ViewFocus::Tree, false, true, false},    {ViewFocus::List, true, true, true},
        {ViewFocus::List, true, false, false},    {ViewFocus::Neither, true, true, false},
        {ViewFocus::Neither, false, true, true},  {ViewFocus::Neither, false, false, false},
    };
    for (const Case& c : cases) {
        ShowChildren(*server);
        if (c.rowSelected)
            SelectRows({1});
        context.focus = c.focus;
        context.treeLast = c.treeLast;
        CDataObject* expected = c.expectRow ? Row(1) : static_cast<CDataObject*>(server);
        EXPECT_EQ(commands.GetCurrentObject(), expected) << static_cast<int>(c.focus) << c.treeLast << c.rowSelected;
    }
    ui.Tree().SelectItem(platform::TreeItem());
    RemoveAllRows();
    EXPECT_EQ(commands.GetCurrentObject(), nullptr);
}

TEST_F(DocumentCommandsTest, EnablingFollowsTheKindStateAndDNOfTheCurrentNode)
{
    context.focus = ViewFocus::Tree;
    ui.Select(*entry);
    // Reconnect: on an entry with a DN, never on the server itself.
    EXPECT_TRUE(commands.IsEnabled(cmd::kReconnect));
    ui.Select(*server);
    EXPECT_FALSE(commands.IsEnabled(cmd::kReconnect));
    EXPECT_TRUE(commands.IsEnabled(cmd::kDelete));
    EXPECT_TRUE(commands.IsEnabled(cmd::kRefresh));
    EXPECT_FALSE(commands.IsEnabled(cmd::kAbort));
    server->SetBusy();
    EXPECT_FALSE(commands.IsEnabled(cmd::kDelete));
    EXPECT_FALSE(commands.IsEnabled(cmd::kRefresh));
    EXPECT_TRUE(commands.IsEnabled(cmd::kAbort));
    server->ResetBusy();

    // Filter and sort ask for loaded attributes.
    ui.Select(*entry);
    context.filterBox = L"  (cn=a*) ";
    EXPECT_FALSE(commands.IsEnabled(cmd::kApplyFilter));
    entry->SetContentsFetched(true);
    EXPECT_TRUE(commands.IsEnabled(cmd::kApplyFilter));
    EXPECT_FALSE(commands.IsEnabled(cmd::kRemoveFilter));
    // Apply Filter only when the box holds another filter than the one in effect.
    for (const std::wstring& box : {std::wstring(), std::wstring(L"   "), entry->GetFilterText()}) {
        context.filterBox = box;
        EXPECT_FALSE(commands.IsEnabled(cmd::kApplyFilter)) << box;
    }
    // Sorting only where it moves children: none below the entry; the
    // server's two stand in ascending order until sorted the other way.
    EXPECT_FALSE(commands.IsEnabled(cmd::kSortAscending));
    EXPECT_FALSE(commands.IsEnabled(cmd::kSortDescending));
    ui.Select(*server);
    EXPECT_FALSE(commands.IsEnabled(cmd::kSortAscending));
    EXPECT_TRUE(commands.IsEnabled(cmd::kSortDescending));
    ASSERT_TRUE(commands.Sort(false));
    EXPECT_TRUE(commands.IsEnabled(cmd::kSortAscending));
    EXPECT_FALSE(commands.IsEnabled(cmd::kSortDescending));
    ASSERT_TRUE(commands.Sort(true));
    ui.Select(*entry);

    // Cut and clear are never the document's (copy and paste: below).
    for (uint32_t id : {cmd::kEditCut, cmd::kEditClear})
        EXPECT_FALSE(commands.IsEnabled(id));

    // An attribute row of an idle entry, the list focused last.
    ShowAttributes(*entry);
    SelectRows({0});
    context.focus = ViewFocus::Neither;
    context.treeLast = false;
    EXPECT_TRUE(commands.IsListAttributeOfIdleEntry(true, true));
    EXPECT_TRUE(commands.IsEnabled(cmd::kReconnect));
    entry->SetBusy();
    EXPECT_FALSE(commands.IsListAttributeOfIdleEntry(false, false));
    entry->ResetBusy();
    context.treeLast = true;
    EXPECT_FALSE(commands.IsListAttributeOfIdleEntry(false, false));
}

// Copy takes what the commands act on: the tree's caret, or the list's
// selected rows (one entry, or entries and values below the caret); it is
// enabled exactly where it puts something on the clipboard.
TEST_F(DocumentCommandsTest, CopyPutsTheSelectionOnTheClipboardWhereverItIsEnabled)
{
    testsupport::MemoryClipboardScope board;
    RegisterArbClipboardFormat();
    CEntryObject* person = AddEntry(*entry, "cn=ann,ou=people,o=lab", server);
    CServerObject* rootDSE = AddServer(Profile(""));
    enum Rows { None, Values, OneChild, TwoChildren, ValueAndChild };
    struct Case {
        const char* name;
        CDataObject* caret;
        ViewFocus focus;
        Rows rows;
        bool copies;
        int state;
        std::string dn;
        std::vector<std::string> dnList;
        std::vector<std::string> values;  // "name: value"
    };
    const Case cases[] = {
        {"caret entry", entry, ViewFocus::Tree, None, true, kClipboardEntry, "ou=people,o=lab", {}, {}},
        {"caret server", server, ViewFocus::Tree, None, true, kClipboardEntry, "o=lab", {}, {}},
        {"rows, tree focused", entry, ViewFocus::Tree, Values, true, kClipboardEntry, "ou=people,o=lab", {}, {}},
        {"value rows", entry, ViewFocus::List, Values, true, kClipboardValues, "ou=people,o=lab", {},
         {"ou: people", "description: staff"}},
        {"one entry row", server, ViewFocus::List, OneChild, true, kClipboardEntry, "ou=people,o=lab", {}, {}},
        {"two entry rows", server, ViewFocus::List, TwoChildren, true, kClipboardEntries, "o=lab",
         {"ou=people,o=lab", "ou=groups,o=lab"}, {}},
        {"a value and a child", entry, ViewFocus::List, ValueAndChild, true, kClipboardEntriesAndValues,
         "ou=people,o=lab", {"cn=ann,ou=people,o=lab"}, {"ou: people"}},
        {"server without a DN", rootDSE, ViewFocus::Tree, None, false, 0, "", {}, {}},
        {"no caret", nullptr, ViewFocus::Tree, None, false, 0, "", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board.Clipboard().Clear();
        RemoveAllRows();
        if (c.caret)
            ui.Select(*c.caret);
        else
            ui.Tree().SelectItem(platform::TreeItem());
        context.focus = c.focus;
        switch (c.rows) {
        case None:
            break;
        case Values:
            ShowAttributes(*entry);
            SelectRows({0, 1});
            break;
        case OneChild:
            ShowChildren(*server);
            SelectRows({0});
            break;
        case TwoChildren:
            ShowChildren(*server);
            SelectRows({0, 1});
            break;
        case ValueAndChild:
            ShowAttributes(*entry);
            UpdateRowText(*person, -1);
            SelectRows({0, static_cast<int>(ui.List().GetItemCount()) - 1});
            break;
        }
        EXPECT_EQ(commands.IsEnabled(cmd::kEditCopy), c.copies);
        commands.Execute(cmd::kEditCopy);
        CArbClipboard pasted;
        ASSERT_EQ(pasted.Paste(), c.copies);
        if (!c.copies)
            continue;
        const CArbClipboardContext& context = *pasted.GetContext();
        EXPECT_EQ(context.GetState(), c.state);
        EXPECT_EQ(context.GetDN().GetText(), c.dn);
        std::vector<std::string> dnList, values;
        for (const arbldap::LDAPDN& dn : context.GetDNList())
            dnList.push_back(dn.GetText());
        for (const arbldap::LDAPAttribute& attribute : context.GetAttributes())
            for (std::string_view value : attribute.GetValues())
                values.push_back(attribute.GetName() + ": " + std::string(value));
        std::sort(dnList.begin(), dnList.end());
        std::vector<std::string> expectedList = c.dnList;
        std::sort(expectedList.begin(), expectedList.end());
        EXPECT_EQ(dnList, expectedList);
        EXPECT_EQ(values, c.values);
        // The text form begins with the DN.
        EXPECT_EQ(board.Clipboard().Get(platform::kClipboardText).rfind(c.dn, 0), 0u);
    }
}

// Paste goes to an idle entry or server of an open server (a value row's
// entry); where the clipboard holds nothing of ours it says so.
TEST_F(DocumentCommandsTest, PasteIsOfferedOnOpenIdleEntriesAndSaysWhyItCannotAct)
{
    testsupport::MemoryClipboardScope board;
    RegisterArbClipboardFormat();
    context.focus = ViewFocus::Tree;
    ui.Select(*entry);
    EXPECT_FALSE(commands.IsEnabled(cmd::kEditPaste)) << "the server is not open";
    server->SetBound(true);
    EXPECT_TRUE(commands.IsEnabled(cmd::kEditPaste));
    entry->SetBusy();
    EXPECT_FALSE(commands.IsEnabled(cmd::kEditPaste));
    entry->ResetBusy();
    ShowAttributes(*entry);
    SelectRows({0});
    context.focus = ViewFocus::List;
    EXPECT_EQ(commands.GetPasteTarget(), entry) << "a value row pastes onto its entry";
    context.focus = ViewFocus::Tree;

    // Nothing of ours on the clipboard: said, nothing started.
    board.Clipboard().Put(platform::kClipboardText, std::string("words", 6));
    commands.Execute(cmd::kEditPaste);
    ASSERT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
    EXPECT_EQ(ui.Shell().MessageBox().asked.back().text, LoadResourceText(567));
    EXPECT_FALSE(entry->IsBusy());

    // Entries of a server that is not open here: said, nothing started.
    CArchive ar;
    CArbClipboardContext(*other).Serialize(ar);
    std::string block = ar.GetBuffer();
    block.replace(0, 16, "identity unknown");  // the server identity comes first
    board.Clipboard().Put(GetArbClipboardFormat(), block);
    commands.Execute(cmd::kEditPaste);
    ASSERT_EQ(ui.Shell().MessageBox().asked.size(), 2u);
    EXPECT_EQ(ui.Shell().MessageBox().asked.back().text, LoadResourceText(570));
    EXPECT_FALSE(entry->IsBusy());
    server->SetBound(false);
}

TEST_F(DocumentCommandsTest, CommandsWhoseDialogsAreMissingStayDisabled)
{
    context.focus = ViewFocus::Tree;
    ui.Select(*entry);
    entry->SetContentsFetched(true);
    for (uint32_t id : {cmd::kGoToDN, cmd::kFavorites, cmd::kExportLDIF, cmd::kOptions, cmd::kCheckForUpdates,
                        cmd::kSchemaViewer})
        EXPECT_FALSE(commands.IsEnabled(id)) << id;
    ui.Select(*server);
    EXPECT_FALSE(commands.IsEnabled(cmd::kProperties));
    ui.Select(*entry);
    EXPECT_TRUE(commands.IsEnabled(cmd::kProperties));

    DocumentDialogs all;
    all.goToDN = all.favorites = all.ldifExport = all.options = all.updateCheck = true;
    all.schemaViewer = all.serverProperties = true;
    commands.SetDialogs(all);
    server->SetContentsFetched(true);
    for (uint32_t id : {cmd::kGoToDN, cmd::kFavorites, cmd::kExportLDIF, cmd::kOptions, cmd::kCheckForUpdates})
        EXPECT_TRUE(commands.IsEnabled(id)) << id;
    ui.Select(*server);
    EXPECT_TRUE(commands.IsEnabled(cmd::kProperties));

    // A new profile needs the wizard.
    EXPECT_FALSE(commands.IsEnabled(cmd::kNewServerProfile));
    struct Wizard : ProfileWizardPort {
        std::unique_ptr<CServerProfile> CreateProfile(const std::wstring&, bool&) override { return nullptr; }
    };
    auto previous = SetProfileWizardPort(std::make_shared<Wizard>());
    EXPECT_TRUE(commands.IsEnabled(cmd::kNewServerProfile));
    SetProfileWizardPort(previous);
}

TEST_F(DocumentCommandsTest, DeleteSelectedIsOfferedOnlyForWhatItDeletes)
{
    context.focus = ViewFocus::List;
    auto* error = modeltest::AddNode<modeltest::TestNode>(entry->GetTreeItem(), kNodeError, L"error");
    auto* info = modeltest::AddNode<modeltest::TestNode>(entry->GetTreeItem(), kNodeInformation, L"info");
    (void)error;
    (void)info;

    // Nothing selected: nothing to ask about.
    ShowChildren(*server);
    EXPECT_FALSE(commands.IsEnabled(cmd::kDeleteSelected));
    // Entries are never deleted here: they are not offered.
    SelectRows({0});
    EXPECT_FALSE(commands.IsEnabled(cmd::kDeleteSelected));
    EXPECT_FALSE(commands.DeleteSelected(commands.GetSelectedListObjects()));
    EXPECT_TRUE(ui.Shell().MessageBox().asked.empty());

    // Values need an idle caret.
    ShowAttributes(*entry);
    SelectRows({0});
    EXPECT_TRUE(commands.IsEnabled(cmd::kDeleteSelected));
    entry->SetBusy();
    EXPECT_FALSE(commands.IsEnabled(cmd::kDeleteSelected));
    entry->ResetBusy();

    // Message nodes go once the question was answered yes.
    ShowChildren(*entry);
    ASSERT_EQ(ui.List().GetItemCount(), 2);
    SelectRows({0, 1});
    EXPECT_TRUE(commands.IsEnabled(cmd::kDeleteSelected));
    ui.Shell().MessageBox().Answer(platform::kIdNo);
    commands.Execute(cmd::kDeleteSelected);
    EXPECT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
    EXPECT_EQ(ui.Tree().GetChildren(entry->GetTreeItem()).size(), 2u);
    ui.Shell().MessageBox().Answer(platform::kIdYes);
    commands.Execute(cmd::kDeleteSelected);
    EXPECT_EQ(ui.Shell().MessageBox().asked.size(), 2u);
    EXPECT_TRUE(ui.Tree().GetChildren(entry->GetTreeItem()).empty());

}

TEST_F(DocumentCommandsTest, RenameIsEnabledOnlyWhereSomethingTakesTheName)
{
    entry->SetContentsFetched(true);
    // The tree takes no new name for an entry.
    context.focus = ViewFocus::Tree;
    ui.Select(*entry);
    EXPECT_EQ(commands.GetRenameTarget().kind, RenameTarget::None);
    EXPECT_FALSE(commands.IsEnabled(cmd::kRename));
    // The list edits the entry's row when its editor acts on it.
    ShowChildren(*server);
    SelectRows({0});
    context.focus = ViewFocus::List;
    EXPECT_FALSE(commands.IsEnabled(cmd::kRename));
    context.listEdits = true;
    ASSERT_EQ(commands.GetRenameTarget().kind, RenameTarget::ListRow);
    EXPECT_EQ(commands.GetRenameTarget().row, 0);
    static_cast<CEntryObject*>(Row(0))->SetContentsFetched(true);
    EXPECT_TRUE(commands.IsEnabled(cmd::kRename));
    // A server's label takes a new name in the tree.
    context.focus = ViewFocus::Tree;
    ui.Select(*server);
    EXPECT_EQ(commands.GetRenameTarget().kind, RenameTarget::TreeItem);
}

TEST_F(DocumentCommandsTest, FilterTextsAreTrimmedAndBlankOnesChangeNothing)
{
    context.focus = ViewFocus::Tree;
    ui.Select(*entry);
    EXPECT_FALSE(commands.ApplyFilter(L"   \t "));
    EXPECT_FALSE(entry->HasCustomFilter());
    auto* error = modeltest::AddNode<modeltest::TestNode>(entry->GetTreeItem(), kNodeError, L"error");
    ui.Select(*error);
    EXPECT_FALSE(commands.ApplyFilter(L"(cn=a)"));
    std::wstring filter = L"unchanged";
    EXPECT_FALSE(commands.RemoveFilter(filter));
    EXPECT_EQ(filter, L"unchanged");
}

TEST_F(DocumentCommandsTest, RefreshArgumentsAndPropertiesSelections)
{
    ShowAttributes(*entry);
    EXPECT_EQ(CDocumentCommands::RefreshArgument(*Row(0)), 1);
    entry->SetChildrenLoaded(true);
    EXPECT_EQ(CDocumentCommands::RefreshArgument(*entry), 0);

    SelectRows({0});
    context.focus = ViewFocus::List;
    EXPECT_TRUE(commands.PropertiesSelection().empty());
    SelectRows({0, 1});
    EXPECT_EQ(commands.PropertiesSelection().size(), 2u);
    context.focus = ViewFocus::Tree;
    EXPECT_TRUE(commands.PropertiesSelection().empty());
}

TEST_F(DocumentCommandsTest, SortingOrdersTheCaretsChildrenAndKeepsTheViewFlag)
{
    AddEntry(*server, "ou=Zeta,o=lab", server);
    AddEntry(*server, "ou=alpha,o=lab", server);
    ui.Select(*server);
    auto names = [&] {
        std::vector<std::wstring> texts;
        for (platform::TreeItem child : ui.Tree().GetChildren(server->GetTreeItem()))
            texts.push_back(GetTreeItemObject(child)->GetDisplayName());
        return texts;
    };
    ASSERT_TRUE(commands.Sort(true));
    std::vector<std::wstring> ascending = names();
    ASSERT_EQ(ascending.size(), 4u);
    for (size_t i = 1; i < ascending.size(); ++i)
        EXPECT_LE(Lower(ascending[i - 1]), Lower(ascending[i]));
    EXPECT_TRUE(server->IsEntryView());
    ASSERT_TRUE(commands.Sort(false));
    std::vector<std::wstring> descending = names();
    EXPECT_EQ(std::vector<std::wstring>(ascending.rbegin(), ascending.rend()), descending);
    EXPECT_FALSE(server->IsEntryView());
}

TEST_F(DocumentCommandsTest, TheNodeMenusAddToFavouritesCommandAddsTheNodesDN)
{
    Dialogs().favoriteAnswers.push_back(true);
    EXPECT_TRUE(CDocumentCommands::ExecuteNodeMenuCommand(*entry, kCmdAddToFavorites));
    ASSERT_EQ(Dialogs().favoriteRequests.size(), 1u);
    EXPECT_EQ(Dialogs().favoriteRequests[0].value, "ou=people,o=lab");
    EXPECT_FALSE(CDocumentCommands::ExecuteNodeMenuCommand(*entry, cmd::kRefresh));
}

} // namespace

namespace {

// The team directory keeps no favourites: neither the manager nor Add to
// Favorites is offered there, while every stored server has both.
TEST_F(DocumentCommandsTest, FavouritesAreOfferedOnlyOnServersThatKeepThem)
{
    CServerProfile teamProfile = Profile("o=team");
    teamProfile.SetProfileName(L"Tessaline Team");
    CServerObject* team = AddServer(teamProfile);
    CEntryObject* member = AddEntry(*team, "cn=someone,o=team", team);
    DocumentDialogs dialogs;
    dialogs.favorites = true;
    commands.SetDialogs(dialogs);
    server->SetContentsFetched(true);
    team->SetContentsFetched(true);
    context.focus = ViewFocus::Tree;
    const struct {
        const char* what;
        CDataObject* node;
        bool offered;
    } cases[] = {
        {"server", server, true},
        {"entry", entry, true},
        {"team directory", team, false},
        {"team member", member, false},
    };
    for (const auto& c : cases) {
        ui.Select(*c.node);
        EXPECT_EQ(commands.IsEnabled(cmd::kFavorites), c.offered) << c.what;
        bool enabled = !c.offered;
        EXPECT_TRUE(CDocumentCommands::IsNodeMenuCommandEnabled(*c.node, kCmdAddToFavorites, enabled)) << c.what;
        EXPECT_EQ(enabled, c.offered) << c.what;
    }
    // Run anyway (a stale menu), the command stores nothing there.
    Dialogs().favoriteAnswers.push_back(true);
    EXPECT_TRUE(CDocumentCommands::ExecuteNodeMenuCommand(*member, kCmdAddToFavorites));
    EXPECT_TRUE(Dialogs().favoriteRequests.empty());
    EXPECT_EQ(team->GetFavorites().GetCount(), 0u);
}

} // namespace
