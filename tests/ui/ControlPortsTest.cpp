#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>

#include "tests/support/gui/UiTestSupport.h"
#include "ui/CListViewBase.h"
#include "ui/WxListPort.h"
#include "ui/WxShellPorts.h"
#include "ui/WxTreePort.h"

using namespace platform;

namespace {

class ControlPortsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "ports", wxDefaultPosition, wxSize(600, 400));
        tree = new ui::PortTreeCtrl(frame, wxID_ANY, wxPoint(0, 0), wxSize(300, 400));
        list = new wxListCtrl(frame, wxID_ANY, wxPoint(300, 0), wxSize(300, 400), wxLC_REPORT);
        list->AppendColumn("Name");
        list->AppendColumn("Value");
        frame->Show();
        treePort = std::make_unique<ui::WxTreePort>(*tree);
        listPort = std::make_unique<ui::WxListPort>(*list);
    }
    void TearDown() override
    {
        treePort.reset();
        listPort.reset();
        frame->Destroy();
        uitest::RunFor(20);
    }

    TreeItem Insert(TreeItem parent, const wchar_t* text, void* data = nullptr)
    {
        TreeInsert insert;
        insert.parent = parent;
        insert.text = text;
        insert.data = data;
        return treePort->InsertItem(insert);
    }

    wxFrame* frame = nullptr;
    ui::PortTreeCtrl* tree = nullptr;
    wxListCtrl* list = nullptr;
    std::unique_ptr<ui::WxTreePort> treePort;
    std::unique_ptr<ui::WxListPort> listPort;
};

TEST_F(ControlPortsTest, TreeNavigationAndHandlesThatAreNeverReused)
{
    TreeItem a = Insert(kTreeRoot, L"a");
    TreeItem b = Insert(kTreeRoot, L"b");
    TreeItem a1 = Insert(a, L"a1");
    EXPECT_EQ(treePort->GetRootItem(), a);
    EXPECT_EQ(treePort->GetNextSiblingItem(a), b);
    EXPECT_EQ(treePort->GetChildItem(a), a1);
    EXPECT_EQ(treePort->GetParentItem(a1), a);
    EXPECT_FALSE(treePort->GetParentItem(a));
    EXPECT_TRUE(treePort->ItemHasChildren(a));
    EXPECT_FALSE(treePort->ItemHasChildren(b));

    TreeInsert first;
    first.text = L"first";
    first.at = TreeInsertAt::First;
    first.children = 1;
    TreeItem f = treePort->InsertItem(first);
    EXPECT_EQ(treePort->GetRootItem(), f);
    EXPECT_EQ(treePort->GetChildIndicator(f), 1);
    EXPECT_FALSE(treePort->ItemHasChildren(f));

    EXPECT_TRUE(treePort->DeleteItem(a));
    EXPECT_FALSE(treePort->ItemExists(a));
    EXPECT_FALSE(treePort->ItemExists(a1));
    EXPECT_EQ(treePort->GetItemText(a1), L"");
    TreeItem c = Insert(kTreeRoot, L"c");
    EXPECT_NE(c, a);
    EXPECT_NE(c, a1);
    TreeInsert under;
    under.parent = a;
    EXPECT_FALSE(treePort->InsertItem(under));
}

TEST_F(ControlPortsTest, TreeHandlesOfALongListAndOfAnotherPort)
{
    // More items than a block of handles holds, deleted in two steps.
    TreeItem parent = Insert(kTreeRoot, L"parent");
    std::vector<TreeItem> children;
    for (int i = 0; i < 10000; ++i)
        children.push_back(Insert(parent, L"child"));
    EXPECT_EQ(treePort->GetChildCount(parent), 10000u);
    EXPECT_EQ(treePort->GetParentItem(children.back()), parent);
    for (size_t i = 0; i < children.size(); i += 2)
        ASSERT_TRUE(treePort->DeleteItem(children[i]));
    for (size_t i = 0; i < children.size(); ++i)
        ASSERT_EQ(treePort->ItemExists(children[i]), i % 2 == 1) << i;
    EXPECT_TRUE(treePort->DeleteItem(parent));
    for (TreeItem child : children)
        ASSERT_FALSE(treePort->ItemExists(child));

    // A second port over a second control: neither names the other's items.
    auto* otherTree = new ui::PortTreeCtrl(frame, wxID_ANY, wxPoint(0, 0), wxSize(100, 100));
    TreeItem theirs;
    {
        ui::WxTreePort other(*otherTree);
        TreeInsert insert;
        insert.text = L"theirs";
        theirs = other.InsertItem(insert);
        TreeItem ours = Insert(kTreeRoot, L"ours");
        EXPECT_TRUE(other.ItemExists(theirs));
        EXPECT_FALSE(other.ItemExists(ours));
        EXPECT_FALSE(other.DeleteItem(ours));
        EXPECT_FALSE(treePort->ItemExists(theirs));
        EXPECT_EQ(treePort->GetItemText(theirs), L"");
        EXPECT_TRUE(treePort->ItemExists(ours));
    }
    // The control outlives its port: its items go afterwards, and a port
    // made since names none of them.
    ui::WxTreePort next(*otherTree);
    EXPECT_FALSE(next.ItemExists(theirs));
    otherTree->DeleteAllItems();
    EXPECT_EQ(treePort->GetChildCount(kTreeRoot), 1u);
}

TEST_F(ControlPortsTest, TreeSelectionFollowsTheRulesOfThePort)
{
    TreeItem a = Insert(kTreeRoot, L"a");
    TreeItem a1 = Insert(a, L"a1");
    TreeItem a11 = Insert(a1, L"a11");
    ASSERT_TRUE(treePort->SelectItem(a11));
    EXPECT_TRUE(treePort->IsExpanded(a1));  // selecting reveals
    EXPECT_EQ(treePort->GetSelectedItem(), a11);

    // Collapsing above the selection selects the collapsed item.
    EXPECT_TRUE(treePort->Expand(a, TreeExpand::Collapse));
    EXPECT_EQ(treePort->GetSelectedItem(), a);

    // Deleting the selection leaves nothing selected, also after idle time.
    ASSERT_TRUE(treePort->SelectItem(a11));
    EXPECT_TRUE(treePort->DeleteItem(a1));
    uitest::RunFor(100);
    EXPECT_FALSE(treePort->GetSelectedItem());
    EXPECT_TRUE(treePort->SelectItem(TreeItem()));
}

TEST_F(ControlPortsTest, TreeTextsImagesAndSorting)
{
    std::wstring names[3] = {L"Zeta", L"alpha", L"Mid"};
    treePort->SetTextProvider([](void* data) { return *static_cast<std::wstring*>(data); });
    TreeItem parent = Insert(kTreeRoot, L"parent");
    for (auto& name : names) {
        TreeInsert insert;
        insert.parent = parent;
        insert.textCallback = true;
        insert.data = &name;
        insert.image = 2;
        insert.selectedImage = 3;
        treePort->InsertItem(insert);
    }
    TreeItem zeta = treePort->GetChildItem(parent);
    EXPECT_EQ(treePort->GetItemText(zeta), L"Zeta");
    names[0] = L"Zeta2";
    EXPECT_EQ(treePort->GetItemText(zeta), L"Zeta2");
    treePort->UpdateWindow();
    EXPECT_EQ(tree->GetItemText(treePort->IdOf(zeta)), "Zeta2");

    int image = 0, selected = 0;
    ASSERT_TRUE(treePort->GetItemImage(zeta, image, selected));
    EXPECT_EQ(image, 2);
    EXPECT_EQ(selected, 3);
    EXPECT_TRUE(treePort->SetItemOverlay(zeta, 4));
    EXPECT_EQ(treePort->GetItemOverlay(zeta), 4);
    EXPECT_FALSE(treePort->SetItemOverlay(zeta, 16));

    auto order = [&] {
        std::wstring out;
        for (TreeItem i = treePort->GetChildItem(parent); i; i = treePort->GetNextSiblingItem(i))
            out += treePort->GetItemText(i) + L" ";
        return out;
    };
    ASSERT_TRUE(treePort->SortChildren(parent));
    EXPECT_EQ(order(), L"alpha Mid Zeta2 ");
    ASSERT_TRUE(treePort->SortChildren(parent, [](void* a, void* b) {
        return -static_cast<std::wstring*>(a)->compare(*static_cast<std::wstring*>(b));
    }));
    EXPECT_EQ(order(), L"alpha Zeta2 Mid ");  // reversed character order
    EXPECT_TRUE(treePort->SetItemText(zeta, L"fixed"));
    names[0] = L"changed";
    EXPECT_EQ(treePort->GetItemText(zeta), L"fixed");
}

// A sibling walk goes on from where its last step stood; changes to the
// siblings between steps must not make it skip or repeat an item.
TEST_F(ControlPortsTest, TreeSiblingWalkSeesChangesMadeBetweenSteps)
{
    TreeItem parent = Insert(kTreeRoot, L"parent");
    TreeItem other = Insert(kTreeRoot, L"other");
    TreeItem o1 = Insert(other, L"o1");
    TreeItem o2 = Insert(other, L"o2");
    TreeItem a = Insert(parent, L"a");
    TreeItem b = Insert(parent, L"b");
    TreeItem c = Insert(parent, L"c");
    TreeItem d = Insert(parent, L"d");
    auto texts = [&] {
        std::wstring out;
        for (TreeItem i = treePort->GetChildItem(parent); i; i = treePort->GetNextSiblingItem(i))
            out += treePort->GetItemText(i) + L" ";
        return out;
    };
    EXPECT_EQ(texts(), L"a b c d ");

    ASSERT_EQ(treePort->GetNextSiblingItem(treePort->GetChildItem(parent)), b);
    treePort->DeleteItem(a);  // before the step's item
    EXPECT_EQ(treePort->GetNextSiblingItem(b), c);

    TreeInsert first;
    first.parent = parent;
    first.text = L"0";
    first.at = TreeInsertAt::First;
    TreeItem zero = treePort->InsertItem(first);  // before it again
    EXPECT_EQ(treePort->GetNextSiblingItem(c), d);

    ASSERT_EQ(treePort->GetNextSiblingItem(b), c);
    treePort->DeleteItem(d);  // the next one
    EXPECT_FALSE(treePort->GetNextSiblingItem(c));
    ASSERT_EQ(treePort->GetNextSiblingItem(b), c);
    TreeItem e = Insert(parent, L"e");
    EXPECT_EQ(treePort->GetNextSiblingItem(c), e);

    // Walks of two parents interleaved.
    ASSERT_EQ(treePort->GetNextSiblingItem(zero), b);
    ASSERT_EQ(treePort->GetChildItem(other), o1);
    EXPECT_EQ(treePort->GetNextSiblingItem(b), c);
    EXPECT_EQ(treePort->GetNextSiblingItem(o1), o2);

    ASSERT_EQ(treePort->GetNextSiblingItem(zero), b);
    treePort->SetItemText(zero, L"z");
    ASSERT_TRUE(treePort->SortChildren(parent));  // b moves up
    EXPECT_EQ(treePort->GetNextSiblingItem(b), c);
    EXPECT_EQ(treePort->GetNextSiblingItem(e), zero);
    EXPECT_EQ(texts(), L"b c e z ");
}

// The last item made visible while updates are locked is shown when the
// lock goes; an item deleted meanwhile is not asked for.
TEST_F(ControlPortsTest, TreeEnsureVisibleUnderTheLockWaitsForTheUnlock)
{
    TreeItem parent = Insert(kTreeRoot, L"parent");
    ASSERT_TRUE(treePort->SelectItem(parent));
    treePort->Expand(parent, TreeExpand::Expand);
    TreeItem last;
    {
        ScopedUpdateLock lock(*treePort);
        for (int i = 0; i < 300; ++i) {
            last = Insert(parent, (L"child " + std::to_wstring(i)).c_str());
            EXPECT_TRUE(treePort->EnsureVisible(last));
        }
    }
    uitest::RunFor(50);
    EXPECT_TRUE(tree->IsVisible(treePort->IdOf(last)));
    EXPECT_FALSE(tree->IsVisible(treePort->IdOf(parent)));  // scrolled down to it

    treePort->EnsureVisible(parent);
    uitest::RunFor(50);
    ASSERT_TRUE(tree->IsVisible(treePort->IdOf(parent)));
    {
        ScopedUpdateLock lock(*treePort);
        TreeItem gone = Insert(parent, L"gone");
        EXPECT_TRUE(treePort->EnsureVisible(gone));
        treePort->DeleteItem(gone);
    }
    uitest::RunFor(50);
    EXPECT_TRUE(tree->IsVisible(treePort->IdOf(parent)));
}

// The same rows over a plain control and over a virtual one.
void CheckRowsCarryDataStateAndSortByIt(ListPort& port)
{
    ListPort* listPort = &port;
    int values[3] = {30, 10, 20};
    for (int i = 0; i < 3; ++i) {
        ListItem item;
        item.text = L"row" + std::to_wstring(i);
        item.data = &values[i];
        item.image = 1;
        item.state = ListOverlayState(2) | kListCut;
        item.stateMask = 0xFF00 | kListCut;
        EXPECT_EQ(listPort->InsertItem(-1, item), i);
    }
    EXPECT_EQ(listPort->GetItemCount(), 3);
    EXPECT_TRUE(listPort->SetItemText(1, 1, L"value"));
    EXPECT_EQ(listPort->GetItemText(1, 1), L"value");
    EXPECT_FALSE(listPort->SetItemText(1, 5, L"no such column"));
    EXPECT_EQ(listPort->GetItemState(0, kListOverlayMask | kListCut), ListOverlayState(2) | kListCut);

    EXPECT_TRUE(listPort->SetItemState(2, kListSelected | kListFocused, kListSelected | kListFocused));
    EXPECT_EQ(listPort->GetSelectedRows(), std::vector<int>{2});
    EXPECT_EQ(listPort->GetItemState(2, kListSelected | kListFocused), kListSelected | kListFocused);
    EXPECT_TRUE(listPort->SetItemState(-1, 0, kListSelected));
    EXPECT_TRUE(listPort->GetSelectedRows().empty());

    EXPECT_EQ(listPort->FindItemByData(&values[1]), 1);
    EXPECT_EQ(listPort->FindItemByData(&values[1], 1), -1);
    listPort->SortItems([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    EXPECT_EQ(listPort->GetItemData(0), &values[1]);
    EXPECT_EQ(listPort->GetItemData(2), &values[0]);
    EXPECT_EQ(listPort->GetItemText(0, 0), L"row1");

    EXPECT_TRUE(listPort->DeleteItem(0));
    EXPECT_EQ(listPort->GetItemData(0), &values[2]);
    EXPECT_FALSE(listPort->DeleteItem(5));
    listPort->DeleteAllItems();
    EXPECT_EQ(listPort->GetItemCount(), 0);
    EXPECT_EQ(listPort->GetItemData(0), nullptr);
}

// A virtual report control over the port's own rows.
struct VirtualList {
    explicit VirtualList(wxWindow* parent)
    {
        view = new CListViewBase;
        view->Create(parent, wxID_ANY, wxPoint(300, 0), wxSize(300, 400), wxLC_REPORT | wxLC_VIRTUAL);
        view->AppendColumn("Name");
        view->AppendColumn("Value");
        port = std::make_unique<ui::WxListPort>(*view);
    }
    CListViewBase* view = nullptr;
    std::unique_ptr<ui::WxListPort> port;
};

// The children's data in one call, in order, as a walk would find them.
TEST_F(ControlPortsTest, TreeChildrenDataInOneCall)
{
    int data[3] = {1, 2, 3};
    TreeItem parent = Insert(kTreeRoot, L"parent");
    TreeItem second = Insert(parent, L"b", &data[1]);
    Insert(parent, L"c", &data[2]);
    TreeInsert first;
    first.parent = parent;
    first.at = TreeInsertAt::First;
    first.data = &data[0];
    treePort->InsertItem(first);
    EXPECT_EQ(treePort->GetChildrenData(parent), (std::vector<void*>{&data[0], &data[1], &data[2]}));
    EXPECT_EQ(treePort->GetChildrenData(second), std::vector<void*>());
    EXPECT_EQ(treePort->GetChildrenData(TreeItem{999999}), std::vector<void*>());
    EXPECT_EQ(treePort->GetChildrenData(kTreeRoot), std::vector<void*>{nullptr});
    // The default, a walk through the port, gives the same.
    EXPECT_EQ(treePort->TreePort::GetChildrenData(parent), treePort->GetChildrenData(parent));
    EXPECT_EQ(treePort->GetChildCount(parent), 3u);
    EXPECT_EQ(treePort->GetChildCount(second), 0u);
    EXPECT_EQ(treePort->GetChildCount(TreeItem{999999}), 0u);
    EXPECT_EQ(treePort->TreePort::GetChildCount(parent), 3u);
}

// A row inserted with its column texts shows them at once; texts for
// columns the list does not have are dropped.
TEST_F(ControlPortsTest, ListRowsComeWithTheirColumnTexts)
{
    VirtualList virtualList(frame);
    for (ui::WxListPort* port : {listPort.get(), virtualList.port.get()}) {
        ListItem item;
        item.text = L"name";
        item.columns = {L"value", L"beyond the columns"};
        ASSERT_EQ(port->InsertItem(-1, item), 0);
        EXPECT_EQ(port->GetItemText(0, 0), L"name");
        EXPECT_EQ(port->GetItemText(0, 1), L"value");
        EXPECT_EQ(port->GetItemText(0, 2), L"");
        EXPECT_FALSE(port->SetItemText(0, 2, L"x"));
    }
    EXPECT_EQ(list->GetItemText(0, 1), "value");
    EXPECT_EQ(virtualList.view->GetItemText(0, 1), "value");
}

// Text-callback rows show and read the provider's texts as they are now; a
// text set on such a row keeps the others as they were at that moment.
TEST_F(ControlPortsTest, CallbackRowsAskTheProviderUntilGivenTextsOfTheirOwn)
{
    VirtualList virtualList(frame);
    std::map<void*, std::vector<std::wstring>> texts;
    int first = 0, second = 0;
    texts[&first] = {L"alpha", L"one"};
    texts[&second] = {L"bravo", L"two"};
    int asked = 0;
    auto provider = [&](void* data, int column) {
        ++asked;
        const std::vector<std::wstring>& row = texts[data];
        return column < static_cast<int>(row.size()) ? row[column] : std::wstring();
    };
    for (ui::WxListPort* port : {listPort.get(), virtualList.port.get()}) {
        port->SetTextProvider(provider);
        for (int* data : {&first, &second}) {
            ListItem item;
            item.textCallback = true;
            item.data = data;
            port->InsertItem(-1, item);
        }
    }
    EXPECT_EQ(list->GetItemText(1, 1), "two") << "a plain control holds the texts of the insert";
    EXPECT_EQ(virtualList.view->GetItemText(1, 0), "bravo");
    EXPECT_EQ(virtualList.view->GetItemText(0, 1), "one");

    texts[&first] = {L"alpha2", L"one2"};
    ui::WxListPort& port = *virtualList.port;
    EXPECT_EQ(port.GetItemText(0, 0), L"alpha2");
    EXPECT_EQ(virtualList.view->GetItemText(0, 1), "one2");
    EXPECT_TRUE(port.SetItemText(0, 1, L"own"));
    texts[&first] = {L"alpha3", L"one3"};
    EXPECT_EQ(port.GetItemText(0, 0), L"alpha2") << "the row keeps what it showed";
    EXPECT_EQ(port.GetItemText(0, 1), L"own");
    EXPECT_EQ(port.GetItemText(1, 0), L"bravo");

    // Only the rows shown are asked, not all of a long list.
    for (int i = 0; i < 5000; ++i) {
        ListItem item;
        item.textCallback = true;
        item.data = &second;
        port.InsertItem(-1, item);
    }
    asked = 0;
    virtualList.view->Refresh();
    virtualList.view->Update();
    uitest::RunFor(50);
    EXPECT_GT(asked, 0);
    EXPECT_LT(asked, 500);
}

TEST_F(ControlPortsTest, ListRowsCarryDataStateAndSortByIt)
{
    CheckRowsCarryDataStateAndSortByIt(*listPort);
    VirtualList virtualList(frame);
    CheckRowsCarryDataStateAndSortByIt(*virtualList.port);
}

TEST_F(ControlPortsTest, VirtualRowsKeepSelectionThroughInsertSortAndStyleChanges)
{
    VirtualList v(frame);
    ui::WxListPort& port = *v.port;
    int values[4] = {40, 10, 30, 20};
    for (int i = 0; i < 3; ++i) {
        ListItem item;
        item.text = L"row" + std::to_wstring(i);
        item.data = &values[i];
        port.InsertItem(-1, item);
        port.SetItemText(i, 1, L"value" + std::to_wstring(i));
    }
    EXPECT_EQ(v.view->GetItemCount(), 3);
    EXPECT_EQ(v.view->GetItemText(1, 1), "value1") << "the control shows the port's texts";
    port.SetItemState(1, kListSelected | kListFocused, kListSelected | kListFocused);

    // A row inserted above moves the selection down with its row.
    ListItem first;
    first.text = L"row3";
    first.data = &values[3];
    EXPECT_EQ(port.InsertItem(0, first), 0);
    EXPECT_EQ(port.GetSelectedRows(), std::vector<int>{2});
    EXPECT_EQ(port.GetItemState(2, kListFocused), kListFocused);
    EXPECT_EQ(port.GetItemText(2, 0), L"row1");

    // Sorted, the selected row is still selected wherever it went.
    port.SortItems([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    EXPECT_EQ(port.GetItemData(0), &values[1]);
    EXPECT_EQ(port.GetSelectedRows(), std::vector<int>{0});
    EXPECT_EQ(v.view->GetItemText(0, 0), "row1");

    // Into icon view (a plain control) and back: rows, texts and selection stay.
    for (long style : {long(wxLC_SMALL_ICON), long(wxLC_REPORT | wxLC_VIRTUAL)}) {
        port.BeginStyleChange();
        v.view->SetWindowStyleFlag((v.view->GetWindowStyleFlag() & ~(wxLC_MASK_TYPE | wxLC_VIRTUAL)) | style);
        port.EndStyleChange();
        EXPECT_EQ(v.view->GetItemCount(), 4) << style;
        EXPECT_EQ(port.GetSelectedRows(), std::vector<int>{0}) << style;
        EXPECT_EQ(v.view->GetItemText(3, 0), "row0") << style;
        EXPECT_EQ(port.GetItemText(0, 1), L"value1") << style;
        EXPECT_EQ(port.FindItemByData(&values[2]), 2) << style;
    }
    EXPECT_EQ(v.view->GetItemText(0, 1), "value1");
    port.DeleteItem(0);
    EXPECT_TRUE(port.GetSelectedRows().empty());
    EXPECT_EQ(v.view->GetItemCount(), 3);
}

} // namespace

namespace {

TEST_F(ControlPortsTest, ListViewAnimationAndSelectionSwitch)
{
    ui::WxListViewPort view(*list);
    EXPECT_FALSE(view.IsAnimationShown());
    view.ShowAnimation();
    EXPECT_TRUE(view.IsAnimationShown());
    uitest::Screenshot(*frame, "list-view-animation");
    view.HideAnimation();
    EXPECT_FALSE(view.IsAnimationShown());
    view.SuspendSelectionHandling(true);
    EXPECT_TRUE(view.IsSelectionHandlingSuspended());
}

} // namespace
