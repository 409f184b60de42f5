// The layout arithmetic of resizable windows: margins measured at
// registration, places at a new size, entry order, and what an arrange pass
// moves.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "dialogcore/CAnchorLayoutList.h"

namespace {

struct PlaceCase {
    const char* name;
    LayoutRect child;        // at registration, in an area of 300 x 200
    AnchorPoint tl, br;
    int width, height;       // the new area
    LayoutRect expected;
};

TEST(AnchorLayout, ChildrenKeepTheirDistancesFromTheirAnchorPoints)
{
    const PlaceCase cases[] = {
        {"grows both ways", {10, 10, 290, 190}, AnchorTopLeft, AnchorBottomRight, 400, 300, {10, 10, 390, 290}},
        {"never moves", {10, 10, 60, 30}, AnchorTopLeft, AnchorTopLeft, 400, 300, {10, 10, 60, 30}},
        {"follows the corner, keeps its size", {220, 160, 290, 190}, AnchorBottomRight, AnchorNone, 400, 300,
         {320, 260, 390, 290}},
        {"grows in height only", {10, 10, 100, 190}, AnchorTopLeft, AnchorBottomLeft, 400, 300, {10, 10, 100, 290}},
        {"stays centred", {100, 90, 200, 110}, AnchorMiddleCenter, AnchorNone, 400, 300, {150, 140, 250, 160}},
        {"top edge follows the middle", {10, 100, 290, 190}, AnchorMiddleLeft, AnchorBottomRight, 400, 300,
         {10, 150, 390, 290}},
        // 50% of 301 is 150 (truncated), not 151.
        {"truncating percent", {150, 0, 160, 10}, AnchorTopCenter, AnchorNone, 301, 200, {150, 0, 160, 10}},
        {"smaller than at registration", {10, 10, 290, 190}, AnchorTopLeft, AnchorBottomRight, 100, 50,
         {10, 10, 90, 40}},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        AnchoredChild entry = CAnchorLayoutList::Measure(nullptr, 300, 200, c.child, c.tl, c.br);
        EXPECT_EQ(CAnchorLayoutList::Place(entry, 300, 200), c.child);
        EXPECT_EQ(CAnchorLayoutList::Place(entry, c.width, c.height), c.expected);
    }
}

TEST(AnchorLayout, MarginsAndNegativeProducts)
{
    AnchoredChild grow = CAnchorLayoutList::Measure(nullptr, 300, 200, {10, 10, 290, 190}, AnchorTopLeft,
                                                    AnchorBottomRight);
    EXPECT_EQ(grow.tlMargin, AnchorPoint(10, 10));
    EXPECT_EQ(grow.brMargin, AnchorPoint(-10, -10));

    // AnchorNone as the bottom-right anchor stands for the top-left one.
    AnchoredChild fixed = CAnchorLayoutList::Measure(nullptr, 300, 200, {220, 160, 290, 190}, AnchorBottomRight,
                                                     AnchorNone);
    EXPECT_EQ(fixed.brAnchor, AnchorBottomRight);
    EXPECT_EQ(fixed.brMargin, AnchorPoint(-10, -10));

    // A negative area width (a window squeezed below nothing) truncates
    // toward zero: -3 * 50 / 100 is -1, not -2.
    AnchoredChild centre = CAnchorLayoutList::Measure(nullptr, 0, 0, {0, 0, 10, 10}, AnchorTopCenter, AnchorNone);
    EXPECT_EQ(CAnchorLayoutList::Place(centre, -3, 0).left, -1);
}

// Windows of the arrange tests are just numbers.
void* Window(intptr_t n)
{
    return reinterpret_cast<void*>(n);
}

TEST(AnchorLayout, CallbackEntriesComeAfterEveryAnchoredChild)
{
    CAnchorLayoutList list;
    list.AddAnchored(CAnchorLayoutList::Measure(Window(1), 300, 200, {0, 0, 10, 10}, AnchorTopLeft, AnchorNone));
    list.AddCallback(7);
    list.AddAnchored(CAnchorLayoutList::Measure(Window(2), 300, 200, {0, 0, 10, 10}, AnchorTopLeft, AnchorNone));
    list.AddCallback(8);
    ASSERT_EQ(list.Entries().size(), 4u);
    EXPECT_EQ(list.AnchoredCount(), 2u);
    EXPECT_EQ(list.Entries()[0].window, Window(1));
    EXPECT_EQ(list.Entries()[1].window, Window(2));
    EXPECT_EQ(list.Entries()[2].callbackId, 7u);
    EXPECT_EQ(list.Entries()[3].callbackId, 8u);
    list.RemoveAll();
    EXPECT_TRUE(list.Entries().empty());
    EXPECT_EQ(list.AnchoredCount(), 0u);
}

TEST(AnchorLayout, AnArrangePassMovesOnlyWhatChanges)
{
    // Windows 1 (grows) and 2 (fixed in the top-left), callback 5 places
    // window 9 over the right half, callback 6 has nothing to place.
    CAnchorLayoutList list;
    list.AddCallback(5);
    list.AddAnchored(CAnchorLayoutList::Measure(Window(1), 300, 200, {10, 10, 290, 190}, AnchorTopLeft,
                                                AnchorBottomRight));
    list.AddCallback(6);
    list.AddAnchored(CAnchorLayoutList::Measure(Window(2), 300, 200, {10, 10, 60, 30}, AnchorTopLeft,
                                                AnchorTopLeft));

    std::map<void*, LayoutRect> places = {{Window(1), {10, 10, 290, 190}},
                                          {Window(2), {10, 10, 60, 30}},
                                          {Window(9), {150, 0, 300, 200}}};
    std::vector<void*> moved;
    std::vector<std::string> order;  // what the pass looked at, in order
    CAnchorLayoutList::ArrangeSteps steps;
    steps.currentRect = [&](void* w) {
        order.push_back("window " + std::to_string(reinterpret_cast<intptr_t>(w)));
        return places[w];
    };
    steps.callback = [&](AnchoredChild& entry) {
        order.push_back("callback " + std::to_string(entry.callbackId));
        if (entry.callbackId != 5) return false;
        entry = CAnchorLayoutList::Measure(Window(9), 300, 200, {150, 0, 300, 200}, AnchorTopCenter,
                                           AnchorBottomRight);
        return true;
    };
    steps.apply = [&](const ChildMove& m) {
        moved.push_back(m.window);
        places[m.window] = m.rect;
    };

    // The same size: nothing moves. Every anchored child comes before any callback.
    list.Arrange(300, 200, steps);
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(order, (std::vector<std::string>{"window 1", "window 2", "callback 5", "window 9", "callback 6"}));

    // Only the growing child and the callback's window change.
    list.Arrange(400, 300, steps);
    EXPECT_EQ(moved, (std::vector<void*>{Window(1), Window(9)}));
    EXPECT_EQ(places[Window(1)], LayoutRect(10, 10, 390, 290));
    EXPECT_EQ(places[Window(2)], LayoutRect(10, 10, 60, 30));
    EXPECT_EQ(places[Window(9)], LayoutRect(200, 0, 400, 300));
    // The callback's fill is not kept in the list.
    EXPECT_EQ(list.Entries()[2].window, nullptr);
}

} // namespace
