#include <gtest/gtest.h>

#include "shellcore/BalloonLayout.h"
#include "shellcore/WaitForWorkers.h"

namespace {

TEST(WaitForWorkers, AsksOnceThenFollowsTheCountToZero)
{
    int running = 3, aborts = 0;
    CWaitForWorkers wait([&] { return running; }, [&] { ++aborts; });
    wait.Start();
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(wait.GetInitialCount(), 3);

    auto p = wait.Check();
    EXPECT_EQ(p.remaining, 3);
    EXPECT_EQ(p.position, 0);
    EXPECT_FALSE(p.done);
    running = 1;
    p = wait.Check();
    EXPECT_EQ(p.position, 2);
    EXPECT_FALSE(p.done);
    running = 5;  // started meanwhile
    EXPECT_EQ(wait.Check().position, 0);
    running = 0;
    p = wait.Check();
    EXPECT_EQ(p.position, 3);
    EXPECT_TRUE(p.done);
    EXPECT_EQ(aborts, 1);
}

TEST(WaitForWorkers, NoWorkersLeftEndsAtTheFirstCheck)
{
    CWaitForWorkers wait([] { return 0; }, [] {});
    wait.Start();
    EXPECT_TRUE(wait.Check().done);
}

TEST(BalloonLayout, HeaderSpacing)
{
    using balloon::HeaderSize;
    using balloon::Size;
    struct Case {
        Size icon;
        bool close;
        Size title;
        int width, height;
    } cases[] = {
        {{0, 0}, false, {0, 0}, 0, 0},
        {{16, 16}, false, {0, 0}, 16, 16},
        {{0, 0}, true, {0, 0}, 16, 16},
        {{16, 16}, true, {50, 13}, 16 + 8 + 16 + 8 + 50, 16},
        {{0, 0}, false, {50, 20}, 50, 20},
    };
    for (const Case& c : cases) {
        Size s = HeaderSize(c.icon, c.close, c.title);
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
    }
}

TEST(BalloonLayout, AnAnchorInTheLowerRightPutsTheBalloonAboveAndLeftWithTheTailAtTheBottom)
{
    balloon::Rect desk{0, 0, 1280, 1024};
    balloon::Layout l = balloon::Compute({100, 16}, {200, 40}, {1000, 800}, desk);
    EXPECT_EQ(l.quadrant, 2);
    EXPECT_EQ(l.window.width, 216);
    EXPECT_EQ(l.window.height, 16 + 40 + 8 + 36);
    int q = (216 - 20) / 4;
    EXPECT_EQ(l.tail[1].x, 3 * q + 20) << "three quarters across";
    EXPECT_EQ(l.tail[1].y, l.window.height - 2) << "tail at the bottom";
    EXPECT_EQ(l.position.x + l.tail[1].x, 1000);
    EXPECT_EQ(l.position.y + l.tail[1].y, 800);
    EXPECT_LT(l.position.x, 1000);
    EXPECT_LT(l.position.y, 800);
    EXPECT_EQ(l.body.bottom, l.window.height - 20);
    EXPECT_EQ(l.client.bottom, l.window.height - 8 - 20);
}

TEST(BalloonLayout, QuadrantsAndTheirTails)
{
    balloon::Rect desk{0, 0, 1000, 800};
    struct Case {
        balloon::Point anchor;
        int quadrant;
        bool tailOnTop;
    } cases[] = {{{900, 100}, 0, true}, {{100, 100}, 1, true}, {{900, 700}, 2, false}, {{100, 700}, 3, false}};
    for (const Case& c : cases) {
        balloon::Layout l = balloon::Compute({60, 16}, {120, 30}, c.anchor, desk);
        EXPECT_EQ(l.quadrant, c.quadrant);
        EXPECT_EQ(l.tail[1].y == 1, c.tailOnTop) << c.quadrant;
        EXPECT_EQ(l.position.x + l.tail[1].x, c.anchor.x) << c.quadrant;
        EXPECT_EQ(l.position.y + l.tail[1].y, c.anchor.y) << c.quadrant;
    }
}

TEST(BalloonLayout, ABalloonCrossingTheRightEdgeIsShiftedLeftAndStillPointsAtTheAnchor)
{
    balloon::Rect desk{0, 0, 1000, 800};
    // Upper left quadrant, but a wide balloon: its tail sits a quarter across.
    balloon::Layout l = balloon::Compute({0, 0}, {900, 30}, {490, 100}, desk);
    EXPECT_EQ(l.quadrant, 1);
    EXPECT_GE(l.position.x, 0);
    EXPECT_LT(l.position.x + l.window.width, 1000 + 1);
    EXPECT_EQ(l.position.x + l.tail[1].x, 490);

    balloon::Layout r = balloon::Compute({0, 0}, {600, 30}, {990, 100}, desk);
    EXPECT_LE(r.position.x + r.window.width, 1000);
    EXPECT_EQ(r.position.x + r.tail[1].x, 990);
}

TEST(BalloonLayout, Fading)
{
    bool finished = false;
    EXPECT_EQ(balloon::FadeInStep(5, 0, finished), 30);
    EXPECT_FALSE(finished);
    EXPECT_EQ(balloon::FadeInStep(240, 0, finished), 255);
    EXPECT_TRUE(finished);
    EXPECT_EQ(balloon::FadeInStep(5, balloon::kDisableFadeIn, finished), 255);
    EXPECT_TRUE(finished);
    EXPECT_EQ(balloon::FadeOutStep(250, 0, finished), 225);
    EXPECT_FALSE(finished);
    EXPECT_EQ(balloon::FadeOutStep(20, 0, finished), 0);
    EXPECT_TRUE(finished);
    EXPECT_EQ(balloon::FadeOutStep(250, balloon::kDisableFadeOut, finished), 0);
    EXPECT_TRUE(finished);
    EXPECT_FALSE(balloon::MovedBeyondTolerance({10, 10}, {13, 7}));
    EXPECT_TRUE(balloon::MovedBeyondTolerance({10, 10}, {14, 10}));
}

} // namespace
