// Error and information nodes: their texts, pages, and how ReportError and
// ReportInformation hang them under a node, show and log them.

#include <gtest/gtest.h>

#include <thread>

#include "ldap/LDAPException.h"
#include "model/nodes/CErrorObject.h"
#include "model/nodes/CInformationObject.h"
#include "model/ports/NodeRegistry.h"
#include "tests/model/nodes/ModelTestSupport.h"
#include "tests/support/LogCapture.h"

namespace {

using arbldap::GetLDAPErrorText;
using arbldap::LDAPException;
using modeltest::AddNode;
using modeltest::ModelUi;
using modeltest::TestNode;
using modeltest::Text;
using testsupport::LogCapture;

std::wstring ResultText(int code)
{
    return Utf8ToWideString(GetLDAPErrorText(code));
}

std::wstring ErrorCaption(int code)
{
    return L"[" + Text(375) + L" " + std::to_wstring(code) + L"]";
}

TEST(MessageNodes, EachKindHasItsImagesAndTexts)
{
    ModelUi ui;
    struct Case {
        const char* name;
        std::unique_ptr<CDataObject> node;
        int type;
        int image, selectedImage;
        unsigned typeName;
        unsigned propertiesTitle;
    };
    Case cases[] = {
        {"error", std::make_unique<CErrorObject>(32, L"No such object", nullptr), 4, 11, 24, 377, 379},
        {"information", std::make_unique<CInformationObject>(L"text", L"", nullptr), 5, 12, 25, 386, 388},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDataObject& node = *c.node;
        EXPECT_EQ(node.GetType(), c.type);
        EXPECT_EQ(node.GetImage(false), c.image);
        EXPECT_EQ(node.GetImage(true), c.selectedImage);
        EXPECT_EQ(node.GetTypeName(), Text(c.typeName));
        EXPECT_EQ(node.GetPropertiesTitle(), Text(c.propertiesTitle));
        EXPECT_TRUE(node.QueryCapability1());
        EXPECT_TRUE(node.QueryCapability2());
        EXPECT_TRUE(node.IsChildrenLoaded());
        EXPECT_EQ(node.GetSize(), kSizeUnknown);
        EXPECT_FALSE(node.PromptDelete());
        EXPECT_FALSE(node.RouteCommandNew());
        EXPECT_EQ(node.GetFilterText(), L"Filter");
    }
}

TEST(MessageNodes, AnErrorNodeShowsItsCodeAndMessage)
{
    ModelUi ui;
    CErrorObject error(32, L"No such object", nullptr);
    EXPECT_EQ(error.GetResultCode(), 32);
    EXPECT_EQ(error.GetCaption(), L"[ERROR 32]");
    EXPECT_EQ(error.GetFullName(), L"[ERROR 32] No such object");
    EXPECT_EQ(error.GetDisplayName(), L"[ERROR 32] No such object");
    EXPECT_EQ(error.GetValueText(), L"No such object");
    EXPECT_EQ(std::string(error.GetRuntimeClassName()), "CErrorObject");
}

TEST(MessageNodes, AnInformationNodeIsNamedByItsTextOnlyWhenThereIsADetail)
{
    ModelUi ui;
    struct Case {
        std::wstring text, detail;
        std::wstring name, value;
    };
    const Case cases[] = {
        {L"Stopped", L"", Text(383), L"Stopped"},
        {L"Stopped", L"after 12 entries", L"Stopped", L"after 12 entries"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.detail);
        CInformationObject information(c.text, c.detail, nullptr);
        EXPECT_EQ(information.GetDisplayName(), c.name);
        EXPECT_EQ(information.GetCaption(), c.name);
        EXPECT_EQ(information.GetValueText(), c.value);
        EXPECT_EQ(information.GetFullName(), c.value);
        EXPECT_EQ(information.GetRemovalTimerId(), -1);
    }
}

TEST(MessageNodes, PropertiesShowTheMessagePageOrASummaryOfTheSelection)
{
    ModelUi ui;
    CErrorObject error(49, L"Invalid credentials", nullptr);
    CInformationObject information(L"text", L"detail", nullptr);
    TestNode plain;
    ui.Sheet().result = 1;
    EXPECT_EQ(error.ShowProperties(), 1);
    information.ShowProperties();
    plain.ShowProperties();
    std::vector<CDataObject*> selection = {&error, &plain};
    plain.ShowProperties(&selection);

    const std::vector<RecordingPropertySheet::Run>& runs = ui.Sheet().runs;
    ASSERT_EQ(runs.size(), 4u);
    struct Expected {
        std::wstring caption;
        CDataObject* node;
        int icon;
        std::wstring description, first, second, title;
    };
    const Expected pages[] = {
        {Text(379), &error, 274, Text(380), L"49", L"", Text(382)},
        {Text(388), &information, 276, L"", L"", L"", Text(521)},
    };
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const Expected& e = pages[i];
        EXPECT_EQ(runs[i].caption, e.caption);
        ASSERT_EQ(runs[i].pages.size(), 1u);
        auto* page = dynamic_cast<MessagePropertiesPage*>(runs[i].pages[0].get());
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->node, e.node);
        EXPECT_EQ(page->iconId, e.icon);
        EXPECT_EQ(page->description, e.description);
        EXPECT_EQ(page->firstDetail, e.first);
        EXPECT_EQ(page->secondDetail, e.second);
        EXPECT_EQ(page->title, e.title);
    }
    // The base has no pages and no title of its own.
    EXPECT_EQ(runs[2].caption, L"");
    EXPECT_TRUE(runs[2].pages.empty());
    // A selection gets the common title and one summary page.
    EXPECT_EQ(runs[3].caption, Text(352));
    ASSERT_EQ(runs[3].pages.size(), 1u);
    auto* summary = dynamic_cast<MultiTypePage*>(runs[3].pages[0].get());
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->nodes, selection);
}

TEST(MessageNodes, ReportErrorHangsAnErrorNodeUnderTheNodeAndLogsIt)
{
    ModelUi ui;
    LogCapture log;
    TestNode* server = AddNode(platform::kTreeRoot, kNodeServer, L"server");
    TestNode* entry = AddNode(server->GetTreeItem(), kNodeEntry, L"entry");
    ui.Select(*server);  // the list shows another node's contents
    server->ShowContents(0);
    ASSERT_EQ(ui.List().GetItemCount(), 1);
    entry->SetBusy();  // as while its job runs

    entry->ReportError(LDAPException(32));

    std::vector<platform::TreeItem> children = ui.Tree().GetChildren(entry->GetTreeItem());
    ASSERT_EQ(children.size(), 1u);
    auto* error = dynamic_cast<CErrorObject*>(GetTreeItemObject(children[0]));
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetFullName(), ErrorCaption(32) + L" " + ResultText(32));
    EXPECT_EQ(ui.Tree().GetItemText(children[0]), error->GetFullName());
    EXPECT_EQ(ui.Tree().GetChildIndicator(children[0]), 0);
    EXPECT_TRUE(ui.Tree().IsExpanded(entry->GetTreeItem()));
    EXPECT_TRUE(entry->IsChildrenLoaded());
    EXPECT_EQ(ui.Tree().GetChildIndicator(entry->GetTreeItem()), 1);
    EXPECT_EQ(log.Count("[ERROR 32] " + GetLDAPErrorText(32)), 1u);
    // Not current: the list is left alone.
    EXPECT_EQ(ui.List().GetItemCount(), 1);
    EXPECT_EQ(ui.List().GetItemData(0), entry->GetItemData());
    EXPECT_TRUE(ui.Shell().ListView().suspendCalls.empty());
}

TEST(MessageNodes, ReportErrorOnTheCurrentNodeSelectsTheErrorRow)
{
    struct Case {
        const char* name;
        int type;
        bool listHasRows;
        bool showsContents;  // the node's own contents are shown again
        int errorRow;
    };
    const Case cases[] = {
        {"entry, list with rows", kNodeEntry, true, false, 0},
        {"entry, empty list", kNodeEntry, false, true, 1},
        {"server, empty list", kNodeServer, false, true, 1},
        {"root, empty list", kNodeRoot, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelUi ui;
        TestNode* node = AddNode(platform::kTreeRoot, c.type, L"node");
        AddNode(node->GetTreeItem(), kNodeEntry, L"child");
        ui.Select(*node);
        if (c.listHasRows)
            node->ShowContents(0);
        int shown = node->showContents;

        node->ReportError(LDAPException(50));

        EXPECT_EQ(node->showContents - shown, c.showsContents ? 1 : 0);
        int rows = ui.List().GetItemCount();
        ASSERT_GT(rows, c.errorRow);
        auto* error = dynamic_cast<CErrorObject*>(static_cast<CDataObject*>(ui.List().GetItemData(c.errorRow)));
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(ui.List().GetSelectedRows(), std::vector<int>{c.errorRow});
        EXPECT_EQ(ui.List().GetItemState(c.errorRow, platform::kListFocused), platform::kListFocused);
        EXPECT_EQ(ui.List().LastEnsuredVisible(), c.errorRow);
        EXPECT_EQ(ui.List().GetItemText(c.errorRow, 0), ErrorCaption(50));
        EXPECT_EQ(ui.List().GetItemText(c.errorRow, 1), ResultText(50));
        EXPECT_EQ(ui.List().GetItemText(c.errorRow, 2), Text(377));
        EXPECT_EQ(ui.List().GetItemText(c.errorRow, 3), Text(350));
        // The selection was made with the view's selection handling suspended.
        EXPECT_EQ(ui.Shell().ListView().suspendCalls, (std::vector<bool>{true, false}));
    }
}

TEST(MessageNodes, ReportErrorFromAWorkerRunsItsViewWorkOnTheUserInterfaceThread)
{
    ModelUi ui;
    LogCapture log;
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
    std::atomic<bool> done{false};
    std::thread worker([&] {
        node->ReportError(LDAPException(53));
        done = true;
    });
    EXPECT_TRUE(ui.Dispatcher().PumpUntil([&] { return done.load(); }, 10000));
    worker.join();
    EXPECT_EQ(ui.Tree().GetChildren(node->GetTreeItem()).size(), 1u);
    EXPECT_EQ(log.CountContaining(L"[ERROR 53]"), 1);
}

TEST(MessageNodes, AnErrorIsLoggedEvenWhenTheUserInterfaceHasClosed)
{
    LogCapture log;
    TestNode node;
    {
        ModelUi ui;
        ui.Dispatcher().Close();
        std::thread worker([&] { node.ReportError(LDAPException(51)); });
        worker.join();
    }
    EXPECT_EQ(log.CountContaining(L"[ERROR 51]"), 1);
}

TEST(MessageNodes, ReportInformationLogsTheDetailOrElseTheText)
{
    struct Case {
        std::wstring text, detail, logged;
    };
    const Case cases[] = {
        {L"Stopped by the user", L"", L"Stopped by the user"},
        {L"Partial result", L"Size limit of 500 entries reached", L"Size limit of 500 entries reached"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        ModelUi ui;
        LogCapture log;
        TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
        node->ReportInformation(c.text, c.detail);
        EXPECT_EQ(log.Lines(), std::vector<std::wstring>{c.logged});
        std::vector<platform::TreeItem> children = ui.Tree().GetChildren(node->GetTreeItem());
        ASSERT_EQ(children.size(), 1u);
        EXPECT_NE(dynamic_cast<CInformationObject*>(GetTreeItemObject(children[0])), nullptr);
        EXPECT_TRUE(node->IsChildrenLoaded());
        EXPECT_TRUE(ui.Tree().IsExpanded(node->GetTreeItem()));
    }
}

TEST(MessageNodes, ReportInformationOnTheCurrentNodeSelectsTheInformation)
{
    ModelUi ui;
    TestNode* node = AddNode(platform::kTreeRoot, kNodeEntry, L"node");
    AddNode(node->GetTreeItem(), kNodeEntry, L"child");
    ui.Select(*node);
    node->ShowContents(0);
    node->ShowProgress();
    ASSERT_TRUE(ui.Shell().ListView().animationShown);

    node->ReportInformation(L"Stopped", L"");

    EXPECT_FALSE(ui.Shell().ListView().animationShown);
    auto* information = dynamic_cast<CInformationObject*>(GetSelectedTreeObject());
    ASSERT_NE(information, nullptr);
    EXPECT_EQ(GetTreeItemObject(ui.Tree().GetParentItem(information->GetTreeItem())), node);
    // The list shows the information's own row only.
    ASSERT_EQ(ui.List().GetItemCount(), 1);
    EXPECT_EQ(ui.List().RowText(0), Text(383) + L"|Stopped|" + Text(386) + L"|" + Text(350));
    EXPECT_EQ(ui.Tree().GetChildIndicator(information->GetTreeItem()), 0);
    EXPECT_EQ(ui.Tree().GetChildIndicator(node->GetTreeItem()), 1);
}

TEST(MessageNodes, RefreshingAMessageNodeRefreshesItsHolder)
{
    ModelUi ui;
    TestNode* holder = AddNode(platform::kTreeRoot, kNodeEntry, L"holder");
    holder->ReportError(LDAPException(32));
    holder->ReportInformation(L"text", L"");
    std::vector<platform::TreeItem> children = ui.Tree().GetChildren(holder->GetTreeItem());
    ASSERT_EQ(children.size(), 2u);
    holder->lastArgument = -1;
    GetTreeItemObject(children[0])->Refresh(7);
    EXPECT_EQ(holder->refreshes, 1);
    EXPECT_EQ(holder->lastArgument, 0);
    static_cast<CInformationObject*>(GetTreeItemObject(children[1]))->Refresh();
    EXPECT_EQ(holder->refreshes, 2);
    // Refreshing the holder marked it for reloading.
    EXPECT_FALSE(holder->IsChildrenLoaded());
}

TEST(MessageNodes, RemovingAMessageNodeFreesItAndShowsItsHolderAgain)
{
    ModelUi ui;
    TestNode* holder = AddNode(platform::kTreeRoot, kNodeEntry, L"holder");
    holder->ReportError(LDAPException(32));
    ui.Select(*holder);
    holder->ShowContents(0);
    ASSERT_EQ(ui.List().GetItemCount(), 1);
    CDataObject* error = GetTreeItemObject(ui.Tree().GetChildItem(holder->GetTreeItem()));
    NodeId id = error->GetNodeId();
    int shown = holder->showContents;

    EXPECT_TRUE(error->Delete(1));

    EXPECT_EQ(NodeRegistry::Find(id), nullptr);
    EXPECT_TRUE(ui.Tree().GetChildren(holder->GetTreeItem()).empty());
    EXPECT_EQ(ui.List().GetItemCount(), 0);
    EXPECT_EQ(holder->showContents, shown + 1);
    EXPECT_EQ(ui.Tree().GetChildIndicator(holder->GetTreeItem()), 0);
}

}  // namespace
