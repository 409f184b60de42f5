#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/settings.h>
#include <wx/uiaction.h>

#include "tests/support/gui/UiTestSupport.h"
#include "widgets/LazyTreeCtrl.h"

namespace {

using ui::LazyTreeCtrl;

// Counts the items' data still alive.
struct Counted : wxTreeItemData {
    explicit Counted(int& alive) : alive(alive) { ++alive; }
    ~Counted() override { --alive; }
    int& alive;
};

class LazyTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "tree", wxDefaultPosition, wxSize(320, 240));
        tree = new LazyTreeCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE | wxTR_EDIT_LABELS);
        root = tree->AddRoot("root");
        frame->Show();
        frame->Raise();
        uitest::RunFor(50);
    }
    void TearDown() override
    {
        frame->Destroy();
        uitest::RunFor(20);
    }

    // The children's texts in order, by cookie and by sibling steps (both ways).
    std::string Children(const wxTreeItemId& parent)
    {
        std::string byCookie, bySibling, backwards;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree->GetFirstChild(parent, cookie); c.IsOk(); c = tree->GetNextChild(parent, cookie))
            byCookie += tree->GetItemText(c).utf8_string() + " ";
        wxTreeItemIdValue first;
        for (wxTreeItemId c = tree->GetFirstChild(parent, first); c.IsOk(); c = tree->GetNextSibling(c))
            bySibling += tree->GetItemText(c).utf8_string() + " ";
        for (wxTreeItemId c = tree->GetLastChild(parent); c.IsOk(); c = tree->GetPrevSibling(c))
            backwards = tree->GetItemText(c).utf8_string() + " " + backwards;
        EXPECT_EQ(byCookie, bySibling);
        EXPECT_EQ(byCookie, backwards);
        return byCookie;
    }

    // Pixels of a box of the image near a colour.
    static int NearPixels(const wxImage& image, const wxRect& box, const wxColour& colour)
    {
        int count = 0;
        for (int y = box.y; y < box.GetBottom(); ++y)
            for (int x = box.x; x < box.GetRight(); ++x)
                if (std::abs(image.GetRed(x, y) - colour.Red()) + std::abs(image.GetGreen(x, y) - colour.Green()) +
                        std::abs(image.GetBlue(x, y) - colour.Blue()) < 60)
                    ++count;
        return count;
    }

    wxRect Label(const wxTreeItemId& item)
    {
        wxRect rect;
        EXPECT_TRUE(tree->GetBoundingRect(item, rect, true)) << tree->GetItemText(item);
        return rect;
    }

    void Key(int code)
    {
        wxKeyEvent key(wxEVT_CHAR);
        key.m_keyCode = code;
        key.m_uniChar = code < WXK_START ? code : WXK_NONE;
        key.SetEventObject(tree);
        tree->GetEventHandler()->ProcessEvent(key);
    }

    void ClickAt(const wxPoint& clientPoint, bool twice = false)
    {
        wxUIActionSimulator mouse;
        mouse.MouseMove(tree->ClientToScreen(clientPoint));
        uitest::RunFor(30);
        if (twice)
            mouse.MouseDblClick();
        else
            mouse.MouseClick();
        uitest::RunFor(100);
    }

    wxFrame* frame = nullptr;
    LazyTreeCtrl* tree = nullptr;
    wxTreeItemId root;
};

TEST_F(LazyTreeTest, RowsFollowExpansionAndHitTestingFindsEachPart)
{
    wxTreeItemId a = tree->AppendItem(root, "Alpha");
    wxTreeItemId a1 = tree->AppendItem(a, "one");
    tree->AppendItem(a, "two");
    wxTreeItemId b = tree->AppendItem(root, "Bravo");
    wxTreeItemId c = tree->AppendItem(root, "Charlie");
    tree->SetItemHasChildren(c);  // a button before its children come

    const int line = tree->GetLineHeight();
    EXPECT_EQ(Label(b).y - Label(a).y, line);
    EXPECT_EQ(Label(c).y - Label(b).y, line);
    wxRect hidden;
    EXPECT_FALSE(tree->GetBoundingRect(a1, hidden, true)) << "a collapsed child has no row";
    EXPECT_TRUE(tree->ItemHasChildren(c));
    EXPECT_FALSE(tree->ItemHasChildren(b));

    tree->Expand(a);
    EXPECT_EQ(Label(a1).y - Label(a).y, line);
    EXPECT_GT(Label(a1).x, Label(a).x) << "a child is indented";
    EXPECT_EQ(Label(b).y - Label(a).y, 3 * line);

    int flags = 0;
    EXPECT_EQ(tree->HitTest(Label(b).GetPosition() + wxPoint(3, line / 2), flags), b);
    EXPECT_TRUE(flags & wxTREE_HITTEST_ONITEMLABEL);
    const wxPoint button(Label(a).x - static_cast<int>(tree->GetIndent()) / 2 + 1, Label(a).y + line / 2);
    EXPECT_EQ(tree->HitTest(button, flags), a);
    EXPECT_TRUE(flags & wxTREE_HITTEST_ONITEMBUTTON);
    EXPECT_EQ(tree->HitTest(wxPoint(Label(b).GetRight() + 20, Label(b).y + 2), flags), b);
    EXPECT_TRUE(flags & wxTREE_HITTEST_ONITEMRIGHT);
    EXPECT_FALSE(tree->HitTest(wxPoint(5, Label(c).GetBottom() + 3 * line), flags).IsOk());
    EXPECT_TRUE(flags & wxTREE_HITTEST_NOWHERE);

    EXPECT_EQ(tree->GetFirstVisibleItem(), a);
    EXPECT_EQ(tree->GetNextVisible(a), a1);
    EXPECT_EQ(tree->GetCount(), 5u);
    EXPECT_EQ(tree->GetChildrenCount(root), 5u);
    EXPECT_EQ(tree->GetChildrenCount(root, false), 3u);

    // A click on the button opens and closes; a double click on a label does too.
    ClickAt(button);
    EXPECT_FALSE(tree->IsExpanded(a));
    ClickAt(button);
    EXPECT_TRUE(tree->IsExpanded(a));
    ClickAt(Label(b).GetPosition() + wxPoint(3, line / 2));
    EXPECT_EQ(tree->GetSelection(), b);
    ClickAt(Label(a).GetPosition() + wxPoint(3, line / 2), true);
    EXPECT_EQ(tree->GetSelection(), a);
    EXPECT_FALSE(tree->IsExpanded(a));
    uitest::Screenshot(*frame, "lazy_tree");
}

// A child added under a collapsed item while the tree is frozen, or in a
// batch, gives the item its button on the screen once the tree thaws.
TEST_F(LazyTreeTest, AChildAddedUnderAFreezeOrBatchShowsItsParentsButtonAfterwards)
{
    const wxTreeItemId a = tree->AppendItem(root, "Alpha");
    const wxTreeItemId b = tree->AppendItem(root, "Bravo");
    // Dark pixels left of the label, where the button goes.
    auto buttonInk = [&](const wxTreeItemId& item) {
        tree->Update();
        uitest::RunFor(50);
        const wxRect label = Label(item);
        const wxRect area(std::max(0, label.x - static_cast<int>(tree->GetIndent())), label.y,
                          static_cast<int>(tree->GetIndent()), label.height);
        return uitest::DarkPixels(uitest::Pixels(*tree, area));
    };
    EXPECT_EQ(buttonInk(a), 0);
    tree->Freeze();
    tree->AppendItem(a, "one");
    tree->Thaw();
    EXPECT_GT(buttonInk(a), 0);
    EXPECT_FALSE(tree->IsExpanded(a));

    EXPECT_EQ(buttonInk(b), 0);
    tree->BeginBatch();
    tree->AppendItem(b, "two");
    tree->EndBatch();
    EXPECT_GT(buttonInk(b), 0);
}

// Labels are drawn in their place and colour: the selected one in the
// selection's text colour on the selection, the others in the text colour.
TEST_F(LazyTreeTest, LabelsAreDrawnInTheirColours)
{
    const wxTreeItemId a = tree->AppendItem(root, "Alpha");
    const wxTreeItemId b = tree->AppendItem(root, "Bravo");
    tree->SetItemBold(tree->AppendItem(root, "Bold"));
    tree->SelectItem(a);
    tree->Update();
    uitest::RunFor(50);
    const wxImage image = uitest::Pixels(*tree, wxRect(tree->GetClientSize()));
    auto near = [&](const wxRect& box, const wxColour& colour) { return NearPixels(image, box, colour); };
    const wxColour text = tree->GetForegroundColour();
    const wxColour selectedText = wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXHIGHLIGHTTEXT);
    EXPECT_GT(near(Label(b), text), 10) << "the label's text";
    EXPECT_GT(near(Label(a), selectedText), 10) << "the selected label's text";
    EXPECT_GT(near(Label(tree->GetLastChild(root)), text), 10) << "a bold label's text";
    uitest::Screenshot(*frame, "lazy_tree_labels");
}

TEST_F(LazyTreeTest, AnItemsOwnLooksAndTextAreKeptAndDrawn)
{
    const wxTreeItemId plain = tree->AppendItem(root, "Plain");
    const wxTreeItemId red = tree->AppendItem(root, "Redtext");
    const wxTreeItemId boxed = tree->AppendItem(root, "Boxed");
    tree->SetItemTextColour(red, *wxRED);
    tree->SetItemBackgroundColour(boxed, *wxBLUE);
    wxFont big = tree->GetFont();
    big.SetPointSize(big.GetPointSize() + 4);
    tree->SetItemFont(boxed, big);
    EXPECT_FALSE(tree->GetItemTextColour(plain).IsOk());
    EXPECT_FALSE(tree->GetItemBackgroundColour(plain).IsOk());
    EXPECT_FALSE(tree->GetItemFont(plain).IsOk());
    EXPECT_EQ(tree->GetItemTextColour(red), *wxRED);
    EXPECT_FALSE(tree->GetItemBackgroundColour(red).IsOk());
    EXPECT_EQ(tree->GetItemBackgroundColour(boxed), *wxBLUE);
    EXPECT_EQ(tree->GetItemFont(boxed).GetPointSize(), big.GetPointSize());
    tree->Update();
    uitest::RunFor(50);
    const wxImage image = uitest::Pixels(*tree, wxRect(tree->GetClientSize()));
    auto near = [&](const wxRect& box, const wxColour& colour) { return NearPixels(image, box, colour); };
    EXPECT_GT(near(Label(red), *wxRED), 10) << "a label in its own colour";
    EXPECT_EQ(near(Label(plain), *wxRED), 0);
    EXPECT_GT(near(Label(boxed), *wxBLUE), 40) << "a label on its own background";
    uitest::Screenshot(*frame, "lazy_tree_own_looks");

    tree->SetItemText(red, "");
    EXPECT_EQ(tree->GetItemText(red), "");
    tree->SetItemText(red, "again");
    EXPECT_EQ(tree->GetItemText(red), "again");
    EXPECT_EQ(tree->GetItemText(plain), "Plain");
}

// A shown label wider than the window widens the scrolled area once the
// loop is idle, whether or not a paint measured it.
TEST_F(LazyTreeTest, AWideLabelWidensTheScrolledArea)
{
    tree->AppendItem(root, "short");
    uitest::RunFor(50);
    EXPECT_LE(tree->GetVirtualSize().GetWidth(), tree->GetClientSize().GetWidth());
    const wxTreeItemId wide = tree->AppendItem(root, wxString('w', 120));
    tree->Update();
    uitest::RunFor(100);
    EXPECT_GE(tree->GetVirtualSize().GetWidth(), Label(wide).GetRight());
    EXPECT_GT(tree->GetVirtualSize().GetWidth(), tree->GetClientSize().GetWidth());
}

TEST_F(LazyTreeTest, SiblingsStayInOrderThroughInsertsDeletesAndSorts)
{
    int alive = 0;
    auto add = [&](const char* text) { return tree->AppendItem(root, text, -1, -1, new Counted(alive)); };
    wxTreeItemId d = add("delta");
    wxTreeItemId b = add("bravo");
    add("echo");
    EXPECT_EQ(Children(root), "delta bravo echo ");
    tree->PrependItem(root, "alpha", -1, -1, new Counted(alive));
    tree->InsertItem(root, d, "charlie", -1, -1, new Counted(alive));
    tree->InsertItem(root, 2, "zulu", -1, -1, new Counted(alive));
    EXPECT_EQ(Children(root), "alpha delta zulu charlie bravo echo ");
    tree->Delete(d);
    EXPECT_EQ(Children(root), "alpha zulu charlie bravo echo ");
    EXPECT_EQ(alive, 5) << "a deleted item's data goes with it";
    tree->SortChildren(root);
    EXPECT_EQ(Children(root), "alpha bravo charlie echo zulu ");
    EXPECT_EQ(tree->GetNextSibling(b), tree->GetNextSibling(tree->GetPrevSibling(tree->GetNextSibling(b))));

    wxTreeItemId child = tree->AppendItem(b, "inner", -1, -1, new Counted(alive));
    tree->AppendItem(child, "deeper", -1, -1, new Counted(alive));
    EXPECT_EQ(tree->GetChildrenCount(root), 7u);
    tree->DeleteChildren(b);
    EXPECT_EQ(alive, 5);
    EXPECT_EQ(tree->GetCount(), 5u);
    tree->DeleteAllItems();
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(tree->GetCount(), 0u);
    EXPECT_FALSE(tree->GetRootItem().IsOk());
}

// Inserts and deletes at either end and in the middle, against a plain list.
TEST_F(LazyTreeTest, PlacesAmongSiblingsSurviveInsertsAndDeletesAnywhere)
{
    std::vector<std::string> expected;
    std::vector<wxTreeItemId> ids;
    unsigned seed = 7;
    auto next = [&](size_t bound) {
        seed = seed * 1103515245u + 12345u;
        return bound == 0 ? 0 : static_cast<size_t>((seed >> 8) % bound);
    };
    for (int step = 0; step < 600; ++step) {
        const size_t n = expected.size();
        const size_t op = next(6);
        if (n == 0 || op < 3) {
            const size_t pos = op == 0 ? 0 : op == 1 ? n : next(n + 1);
            const std::string text = "i" + std::to_string(step);
            wxTreeItemId id = pos < n && next(2) ? tree->InsertItem(root, pos, text)
                              : pos == 0          ? tree->PrependItem(root, text)
                              : tree->InsertItem(root, ids[pos - 1], text);
            expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(pos), text);
            ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(pos), id);
        } else {
            const size_t pos = op == 3 ? 0 : op == 4 ? n - 1 : next(n);
            tree->Delete(ids[pos]);
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(pos));
            ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(pos));
        }
        std::string want;
        for (const std::string& text : expected)
            want += text + " ";
        ASSERT_EQ(Children(root), want) << "step " << step;
    }
}

TEST_F(LazyTreeTest, SelectionSendsItsEventsAVetoKeepsItAndNothingSelectsAGoneItem)
{
    struct Seen {
        wxEventType type;
        wxTreeItemId item, old;
    };
    std::vector<Seen> seen;
    bool veto = false;
    tree->Bind(wxEVT_TREE_SEL_CHANGING, [&](wxTreeEvent& e) {
        seen.push_back({e.GetEventType(), e.GetItem(), e.GetOldItem()});
        if (veto)
            e.Veto();
    });
    tree->Bind(wxEVT_TREE_SEL_CHANGED, [&](wxTreeEvent& e) { seen.push_back({e.GetEventType(), e.GetItem(), e.GetOldItem()}); });

    wxTreeItemId a = tree->AppendItem(root, "a");
    wxTreeItemId a1 = tree->AppendItem(a, "a1");
    wxTreeItemId b = tree->AppendItem(root, "b");

    tree->SelectItem(a1);
    EXPECT_TRUE(tree->IsExpanded(a)) << "selecting shows the item";
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].type, wxEVT_TREE_SEL_CHANGING);
    EXPECT_EQ(seen[1].type, wxEVT_TREE_SEL_CHANGED);
    EXPECT_EQ(seen[1].item, a1);
    EXPECT_FALSE(seen[1].old.IsOk());

    seen.clear();
    veto = true;
    tree->SelectItem(b);
    EXPECT_EQ(tree->GetSelection(), a1);
    EXPECT_EQ(seen.size(), 1u);
    veto = false;

    seen.clear();
    tree->Collapse(a);
    EXPECT_EQ(tree->GetSelection(), a) << "a collapse does not hide the selection";
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].old, a1);

    seen.clear();
    tree->Delete(a);
    EXPECT_FALSE(tree->GetSelection().IsOk());
    EXPECT_TRUE(seen.empty()) << "deleting selects nothing else";
    tree->SelectItem(b);
    tree->Unselect();
    EXPECT_FALSE(tree->GetSelection().IsOk());
}

TEST_F(LazyTreeTest, ALabelEditEndsOnceWithItsTextOrAsCancelled)
{
    wxTreeItemId a = tree->AppendItem(root, "Alpha");
    wxTreeItemId b = tree->AppendItem(root, "Bravo");
    struct End {
        wxString label;
        bool cancelled;
    };
    std::vector<End> ends;
    bool vetoBegin = false, vetoEnd = false;
    tree->Bind(wxEVT_TREE_BEGIN_LABEL_EDIT, [&](wxTreeEvent& e) {
        if (vetoBegin)
            e.Veto();
    });
    tree->Bind(wxEVT_TREE_END_LABEL_EDIT, [&](wxTreeEvent& e) {
        ends.push_back({e.GetLabel(), e.IsEditCancelled()});
        if (vetoEnd)
            e.Veto();
    });
    auto typeInto = [&](const wxTreeItemId& item, const wxString& text, int key) {
        wxTextCtrl* editor = tree->EditLabel(item);
        if (!editor)
            return false;
        EXPECT_EQ(editor->GetValue(), tree->GetItemText(item));
        editor->SetValue(text);
        wxKeyEvent press(wxEVT_CHAR);
        press.m_keyCode = key;
        press.SetEventObject(editor);
        editor->GetEventHandler()->ProcessEvent(press);
        uitest::RunFor(20);
        EXPECT_EQ(tree->GetEditControl(), nullptr);
        return true;
    };

    ASSERT_TRUE(typeInto(a, "Apple", WXK_RETURN));
    EXPECT_EQ(tree->GetItemText(a), "Apple");
    ASSERT_TRUE(typeInto(a, "Avocado", WXK_ESCAPE));
    EXPECT_EQ(tree->GetItemText(a), "Apple");
    vetoEnd = true;
    ASSERT_TRUE(typeInto(a, "Apricot", WXK_RETURN));
    EXPECT_EQ(tree->GetItemText(a), "Apple") << "a vetoed end keeps the text";
    vetoEnd = false;
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends[0].label, "Apple");
    EXPECT_FALSE(ends[0].cancelled);
    EXPECT_TRUE(ends[1].cancelled);

    // Ended by the caller: once, even when focus then moves away.
    ASSERT_NE(tree->EditLabel(b), nullptr);
    tree->GetEditControl()->SetValue("Beta");
    tree->EndEditLabel(b, false);
    frame->SetFocus();
    uitest::RunFor(20);
    EXPECT_EQ(ends.size(), 4u);
    EXPECT_EQ(tree->GetItemText(b), "Beta");

    vetoBegin = true;
    EXPECT_EQ(tree->EditLabel(b), nullptr);
    vetoBegin = false;

    // The edited item goes: the edit ends without a word.
    ASSERT_NE(tree->EditLabel(b), nullptr);
    tree->Delete(b);
    uitest::RunFor(20);
    EXPECT_EQ(tree->GetEditControl(), nullptr);
    EXPECT_EQ(ends.size(), 4u);
}

TEST_F(LazyTreeTest, KeysMoveTheSelectionOpenAndCloseAndFindByPrefix)
{
    wxTreeItemId a = tree->AppendItem(root, "alpha");
    wxTreeItemId a1 = tree->AppendItem(a, "apple");
    wxTreeItemId b = tree->AppendItem(root, "bravo");
    wxTreeItemId c = tree->AppendItem(root, "charlie");
    tree->SetFocus();
    tree->SelectItem(a);

    struct Step {
        int key;
        wxTreeItemId selected;
        bool aOpen;
    } steps[] = {
        {WXK_DOWN, b, false},  {WXK_UP, a, false},    {WXK_RIGHT, a, true}, {WXK_RIGHT, a1, true},
        {WXK_LEFT, a, true},   {WXK_LEFT, a, false},  {WXK_END, c, false},  {WXK_HOME, a, false},
        {'+', a, true},        {'-', a, false},       {'c', c, false},      {'h', c, false},
    };
    int i = 0;
    for (const Step& s : steps) {
        Key(s.key);
        EXPECT_EQ(tree->GetSelection(), s.selected) << "step " << i;
        EXPECT_EQ(tree->IsExpanded(a), s.aOpen) << "step " << i;
        ++i;
    }
}

// Children appended in a batch take their rows at once, without the rows
// being rebuilt; every row must still be where a full layout puts it, for the
// last item of the tree, an item with rows after it, and a collapsed item.
TEST_F(LazyTreeTest, ChildrenAppendedInABatchTakeTheRowsAFullLayoutGives)
{
    const wxTreeItemId top = tree->AppendItem(root, "top");
    const wxTreeItemId parent = tree->AppendItem(root, "parent");
    tree->AppendItem(parent, "first");
    tree->Expand(parent);
    const wxTreeItemId closed = tree->AppendItem(root, "closed");
    tree->Delete(closed);  // the parent is the last item again
    // Room for every row, so each can be walked to and hit.
    frame->SetClientSize(320, 30 * tree->GetLineHeight());
    uitest::RunFor(50);

    // The shown rows as the tree gives them, walked one by one.
    auto shownRows = [&] {
        std::vector<std::string> rows;
        for (wxTreeItemId it = tree->GetFirstVisibleItem(); it.IsOk(); it = tree->GetNextVisible(it))
            rows.push_back(tree->GetItemText(it).utf8_string());
        return rows;
    };
    // Where each row must be: its place in the walk of the expanded items.
    auto expectRowsInPlace = [&](const char* when) {
        SCOPED_TRACE(when);
        std::vector<wxTreeItemId> order;
        std::function<void(const wxTreeItemId&)> walk = [&](const wxTreeItemId& item) {
            wxTreeItemIdValue cookie;
            for (wxTreeItemId c = tree->GetFirstChild(item, cookie); c.IsOk(); c = tree->GetNextChild(item, cookie)) {
                order.push_back(c);
                if (tree->IsExpanded(c))
                    walk(c);
            }
        };
        walk(root);
        const int line = tree->GetLineHeight();
        const int topY = Label(top).y;
        for (size_t i = 0; i < order.size(); ++i) {
            wxRect rect;
            ASSERT_TRUE(tree->GetBoundingRect(order[i], rect, true)) << i;
            ASSERT_EQ(rect.y - topY, static_cast<int>(i) * line) << tree->GetItemText(order[i]);
            int flags = 0;
            ASSERT_EQ(tree->HitTest(rect.GetPosition() + wxPoint(2, line / 2), flags), order[i]) << i;
        }
    };

    auto batch = [&](const wxTreeItemId& under, int count, const char* prefix) {
        tree->BeginBatch();
        for (int i = 0; i < count; ++i)
            tree->AppendItem(under, wxString::Format("%s %d", prefix, i));
        tree->EndBatch();
    };
    batch(parent, 3, "a");
    expectRowsInPlace("appended under the last item");
    EXPECT_EQ(shownRows().size(), 6u);

    const wxTreeItemId after = tree->AppendItem(root, "after");
    batch(parent, 2, "b");
    expectRowsInPlace("appended with an item after the parent");
    EXPECT_EQ(shownRows().back(), "after");

    // The parent's last child open: new children go below that child's own.
    const wxTreeItemId lastChild = tree->GetLastChild(parent);
    tree->AppendItem(lastChild, "inner");
    tree->Expand(lastChild);
    batch(parent, 2, "f");
    expectRowsInPlace("appended after an open last child");
    EXPECT_EQ(shownRows().back(), "after");

    // Appends under a child of the parent that is itself the last row.
    const wxTreeItemId leaf = tree->AppendItem(after, "leaf");
    tree->Expand(after);
    batch(leaf, 2, "hidden");
    expectRowsInPlace("appended under a collapsed item");
    EXPECT_FALSE(tree->IsExpanded(leaf));
    tree->Expand(leaf);
    batch(leaf, 2, "c");
    batch(after, 2, "d");
    expectRowsInPlace("appended under the last item's child, then under the last item");
    EXPECT_EQ(shownRows().back(), "d 1");

    // A batch that mixes an insert in the middle with appends.
    tree->BeginBatch();
    tree->AppendItem(parent, "e 0");
    tree->PrependItem(parent, "e first");
    tree->AppendItem(after, "e last");
    tree->EndBatch();
    expectRowsInPlace("a batch with an insert in the middle");
    EXPECT_EQ(shownRows().size(), 22u);
}

TEST_F(LazyTreeTest, TenThousandChildrenUnderAFreezeShowTheLastAndTakeARealClick)
{
    wxTreeItemId parent = tree->AppendItem(root, "parent");
    tree->SetItemHasChildren(parent);
    tree->Expand(parent);
    tree->Freeze();
    wxTreeItemId last;
    for (int i = 0; i < 10000; ++i)
        last = tree->AppendItem(parent, wxString::Format("child %05d with a long enough name", i));
    tree->Thaw();
    tree->EnsureVisible(last);
    uitest::RunFor(50);
    EXPECT_TRUE(tree->IsVisible(last));
    EXPECT_FALSE(tree->IsVisible(parent));
    const wxRect label = Label(last);
    EXPECT_TRUE(wxRect(tree->GetClientSize()).Contains(label.GetPosition()));

    ClickAt(label.GetPosition() + wxPoint(3, label.height / 2));
    EXPECT_EQ(tree->GetSelection(), last);
    uitest::Screenshot(*frame, "lazy_tree_many");
}

} // namespace

namespace {

// Texts kept outside the control, counted as they are asked for.
class SourcedTree : public LazyTreeCtrl {
public:
    using LazyTreeCtrl::LazyTreeCtrl;
    std::map<void*, std::string> texts;
    mutable int asked = 0;

protected:
    wxString OnGetItemText(const wxTreeItemId& item) const override
    {
        ++asked;
        return wxString::FromUTF8(texts.at(item.GetID()));
    }
};

// Callback texts are asked when shown or read, not for every item at every
// change: a long branch costs only its shown rows.
TEST_F(LazyTreeTest, CallbackTextsAreAskedWhenShownOrRead)
{
    auto* sourced = new SourcedTree(frame, wxID_ANY, wxDefaultPosition, wxSize(300, 200),
                                    wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE);
    tree->Hide();
    sourced->SetSize(frame->GetClientSize());
    const wxTreeItemId top = sourced->AddRoot("root");
    const wxTreeItemId parent = sourced->AppendItem(top, "parent");
    std::vector<wxTreeItemId> items;
    for (int i = 0; i < 1000; ++i) {
        wxTreeItemId item = sourced->AppendItem(parent, wxString());
        sourced->texts[item.GetID()] = "item " + std::to_string(999 - i);
        sourced->SetItemTextCallback(item);
        items.push_back(item);
    }
    sourced->Expand(parent);
    sourced->Refresh();
    sourced->Update();
    uitest::RunFor(50);
    EXPECT_GT(sourced->asked, 0);
    EXPECT_LT(sourced->asked, 100) << "only the shown rows";

    // Read and shown as the source has it now.
    sourced->texts[items[0].GetID()] = "a much longer text than before";
    EXPECT_EQ(sourced->GetItemText(items[0]), "a much longer text than before");
    wxRect before, after;
    sourced->texts[items[1].GetID()] = "x";
    sourced->Refresh();
    sourced->Update();
    ASSERT_TRUE(sourced->GetBoundingRect(items[1], before, true));
    sourced->texts[items[1].GetID()] = "a much longer text than before";
    sourced->Refresh();
    sourced->Update();
    ASSERT_TRUE(sourced->GetBoundingRect(items[1], after, true));
    EXPECT_GT(after.width, before.width) << "the label is measured again";

    // Sorted by the current texts, each asked once.
    sourced->texts[items[1].GetID()] = "zz last";
    sourced->asked = 0;
    sourced->SortChildren(parent);
    EXPECT_EQ(sourced->asked, 1000);
    wxTreeItemIdValue cookie;
    EXPECT_EQ(sourced->GetItemText(sourced->GetFirstChild(parent, cookie)), "a much longer text than before");
    EXPECT_EQ(sourced->GetItemText(sourced->GetLastChild(parent)), "zz last");

    // A text set on the item stands from then on.
    sourced->SetItemText(items[2], "fixed");
    sourced->texts[items[2].GetID()] = "changed";
    EXPECT_EQ(sourced->GetItemText(items[2]), "fixed");
    sourced->Destroy();
}

}  // namespace
