// Always In Sight: the geometry with plain numbers, then KeepInSight on the
// real windows of the sample MDI program running as a process of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "harness.h"
#include "in_sight_geometry.h"
#include "keep_in_sight.h"

namespace {

RECT Rect(LONG left, LONG top, LONG right, LONG bottom) {
    RECT r = {left, top, right, bottom};
    return r;
}

void ExpectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

// ---- geometry

TEST(InSightGeometry, TheWorkedSampleMovesTheWindowAboveTheNewOne) {
    const RECT r = Rect(100, 100, 500, 400);
    const RECT q = Rect(150, 130, 300, 250);
    ASSERT_TRUE(IsCoveredBy(q, r, 18));
    const InSightRooms rooms = RoomsAround(q, r, 800, 600, 18);
    EXPECT_EQ(30, rooms.up);
    EXPECT_EQ(150, rooms.down);
    EXPECT_EQ(50, rooms.left);
    EXPECT_EQ(200, rooms.right);
    EXPECT_EQ(InSightSide::Up, ChooseSide(rooms));
    const POINT to = InSightPosition(q, r, 800, 600, 18);
    EXPECT_EQ(150, to.x);
    EXPECT_EQ(82, to.y);  // top edge one caption height above the new window's
}

TEST(InSightGeometry, EachSideEndsOneCaptionBeyondTheNewWindow) {
    const RECT r = Rect(100, 100, 500, 400);
    // Nearest to the bottom.
    POINT to = InSightPosition(Rect(150, 300, 300, 390), r, 800, 600, 18);
    EXPECT_EQ(150, to.x);
    EXPECT_EQ(400 + 18, to.y + 90);
    // Nearest to the left.
    to = InSightPosition(Rect(110, 150, 300, 300), r, 800, 600, 18);
    EXPECT_EQ(100 - 18, to.x);
    EXPECT_EQ(150, to.y);
    // Nearest to the right.
    to = InSightPosition(Rect(300, 150, 480, 300), r, 800, 600, 18);
    EXPECT_EQ(500 + 18, to.x + 180);
    EXPECT_EQ(150, to.y);
}

TEST(InSightGeometry, CoverTestIsStrictOnEverySide) {
    const RECT r = Rect(100, 100, 500, 400);
    const LONG cy = 18;
    // Inside r widened by cy, one unit from each edge: covered.
    EXPECT_TRUE(IsCoveredBy(Rect(83, 83, 517, 417), r, cy));
    // Exactly cy further out on any one side: not covered.
    EXPECT_FALSE(IsCoveredBy(Rect(82, 150, 300, 300), r, cy));
    EXPECT_FALSE(IsCoveredBy(Rect(150, 82, 300, 300), r, cy));
    EXPECT_FALSE(IsCoveredBy(Rect(150, 150, 300, 418), r, cy));
    EXPECT_FALSE(IsCoveredBy(Rect(150, 150, 518, 300), r, cy));
    // Partly overlapping, far out on one side.
    EXPECT_FALSE(IsCoveredBy(Rect(350, 130, 650, 250), r, cy));
    // Bigger than r.
    EXPECT_FALSE(IsCoveredBy(Rect(50, 50, 600, 500), r, cy));
    // With no caption height nothing may even touch an edge.
    EXPECT_FALSE(IsCoveredBy(Rect(100, 150, 300, 300), r, 0));
    EXPECT_TRUE(IsCoveredBy(Rect(101, 101, 499, 399), r, 0));
}

TEST(InSightGeometry, ShiftingKeepsTheSizeAndLandsInsideTheArea) {
    RECT q = Rect(10, 20, 110, 80);  // already inside
    ShiftRectInto(&q, 800, 600);
    ExpectRect(Rect(10, 20, 110, 80), q);

    q = Rect(-30, -5, 70, 55);
    ShiftRectInto(&q, 800, 600);
    ExpectRect(Rect(0, 0, 100, 60), q);

    q = Rect(750, 580, 850, 640);
    ShiftRectInto(&q, 800, 600);
    ExpectRect(Rect(700, 540, 800, 600), q);

    // Wider and taller than the area: right and bottom edges end on the
    // area's edges, left and top negative (left is handled before right).
    q = Rect(-10, 100, 890, 800);
    ShiftRectInto(&q, 800, 600);
    ExpectRect(Rect(-100, -100, 800, 600), q);
}

TEST(InSightGeometry, NoRoomOnASideCloserThanACaptionToTheContainerEdge) {
    const RECT q = Rect(150, 130, 300, 250);
    // Top edge one unit short of cy: no room above; the left room is next.
    InSightRooms rooms = RoomsAround(q, Rect(100, 17, 500, 400), 800, 600, 18);
    EXPECT_EQ(0, rooms.up);
    EXPECT_EQ(InSightSide::Left, ChooseSide(rooms));
    EXPECT_EQ(100 - 18, InSightPosition(q, Rect(100, 17, 500, 400), 800, 600, 18).x);
    // Exactly cy from every edge still counts.
    rooms = RoomsAround(q, Rect(18, 18, 782, 582), 800, 600, 18);
    EXPECT_EQ(112, rooms.up);
    EXPECT_EQ(332, rooms.down);
    EXPECT_EQ(132, rooms.left);
    EXPECT_EQ(482, rooms.right);
    // One unit further out on each side: none at all.
    rooms = RoomsAround(q, Rect(17, 17, 783, 583), 800, 600, 18);
    EXPECT_EQ(0, rooms.up);
    EXPECT_EQ(0, rooms.down);
    EXPECT_EQ(0, rooms.left);
    EXPECT_EQ(0, rooms.right);
    EXPECT_EQ(InSightSide::None, ChooseSide(rooms));
}

TEST(InSightGeometry, NewWindowFillingTheContainerLeavesTheCoveredOneWhereItIs) {
    const RECT r = Rect(0, 0, 800, 600);
    const RECT q = Rect(200, 150, 400, 300);
    ASSERT_TRUE(IsCoveredBy(q, r, 18));
    const POINT to = InSightPosition(q, r, 800, 600, 18);
    EXPECT_EQ(200, to.x);
    EXPECT_EQ(150, to.y);
}

TEST(InSightGeometry, SmallestPositiveRoomWinsTheEarlierOnATie) {
    EXPECT_EQ(InSightSide::Right, ChooseSide({40, 30, 20, 10}));
    EXPECT_EQ(InSightSide::Left, ChooseSide({40, 30, 10, 10}));
    EXPECT_EQ(InSightSide::Up, ChooseSide({10, 10, 10, 10}));
    EXPECT_EQ(InSightSide::Down, ChooseSide({0, 5, 0, 0}));
    EXPECT_EQ(InSightSide::None, ChooseSide({0, 0, 0, 0}));
}

TEST(InSightGeometry, NegativeRoomWinsWhenItComesBeforeTheSmallestPositive) {
    // Down sticks out a little; left (20) is the smallest positive, later.
    EXPECT_EQ(InSightSide::Down, ChooseSide({40, -5, 20, 60}));
    // The smallest positive comes first: it wins.
    EXPECT_EQ(InSightSide::Up, ChooseSide({10, -5, 20, 60}));
    // Only negative rooms: the first one.
    EXPECT_EQ(InSightSide::Left, ChooseSide({0, 0, -3, -7}));

    // The window sticks out 5 above the new one: it still ends cy above it.
    const RECT r = Rect(100, 100, 500, 400);
    const RECT q = Rect(150, 95, 300, 250);
    ASSERT_TRUE(IsCoveredBy(q, r, 18));
    EXPECT_EQ(-5, RoomsAround(q, r, 800, 600, 18).up);
    EXPECT_EQ(100 - 18, InSightPosition(q, r, 800, 600, 18).y);
}

TEST(InSightGeometry, NegativePositionBecomesZero) {
    // Wider than the container, so it was shifted to a negative left; it
    // goes up and its left edge to 0.
    const RECT r = Rect(-150, 100, 850, 400);
    const RECT q = Rect(-100, 200, 800, 300);
    ASSERT_TRUE(IsCoveredBy(q, r, 18));
    POINT to = InSightPosition(q, r, 800, 600, 18);
    EXPECT_EQ(0, to.x);
    EXPECT_EQ(82, to.y);
    // No side at all: still not left of the origin.
    to = InSightPosition(Rect(-100, -50, 800, 600), Rect(-150, -60, 850, 610), 800, 600, 18);
    EXPECT_EQ(0, to.x);
    EXPECT_EQ(0, to.y);
}

TEST(InSightGeometry, FarOffCoordinatesNeverWrapAround) {
    RECT q = Rect(LONG_MIN, 0, LONG_MAX, 10);
    ShiftRectInto(&q, 800, 600);
    EXPECT_EQ(800, q.right);
    EXPECT_LT(q.left, 0);
    // Widening a rectangle near the largest coordinate by cy stays correct.
    EXPECT_TRUE(IsCoveredBy(Rect(0, 0, LONG_MAX - 10, 10), Rect(-10, -10, LONG_MAX - 5, 20), 18));
    EXPECT_FALSE(IsCoveredBy(Rect(-10, 0, LONG_MAX, 10), Rect(0, -10, LONG_MAX - 30, 20), 18));
}

// ---- real windows

// The sample program with placed documents, its frame at a known place and
// its MDI client resized to exactly 800 x 600.
class KeepInSightTest : public ::testing::Test {
protected:
    void Start(const std::string& args) {
        sample_ = harness::Process::Start(harness::WinPath(HL_SAMPLE_MDI),
                                          "/frame:InSight /at:120,60,860,720 " + args);
        ASSERT_TRUE(sample_.valid());
        frame_ = harness::WaitForTopWindow(SAMPLE_FRAME_CLASS, "InSight", sample_.id());
        ASSERT_NE(nullptr, frame_);
        container_ = FindWindowExA(frame_, nullptr, "MDIClient", nullptr);
        ASSERT_NE(nullptr, container_);
        // Adjusted until it holds: documents still arriving may add or take
        // away the client's scroll bars between two looks.
        ASSERT_TRUE(harness::WaitUntil([this] {
            RECT client = {}, outer = {};
            GetClientRect(container_, &client);
            if (client.right == 800 && client.bottom == 600) return true;
            GetWindowRect(frame_, &outer);
            MoveWindow(frame_, outer.left, outer.top, outer.right - outer.left + 800 - client.right,
                       outer.bottom - outer.top + 600 - client.bottom, TRUE);
            return false;
        }));
        cy_ = GetSystemMetrics(SM_CYCAPTION);
    }

    HWND Document(const char* title) {
        HWND found = nullptr;
        harness::WaitUntil([&] {
            return (found = FindWindowExA(container_, nullptr, SAMPLE_DOC_CLASS, title)) != nullptr;
        });
        EXPECT_NE(nullptr, found) << title;
        return found;
    }

    RECT InContainer(HWND window) const { return harness::RectIn(container_, window); }

    // The moves are asked of the sample's own thread, which takes requests
    // in order: once it has answered one sent after them, they are done.
    void KeepInSightOf(HWND top) {
        KeepInSight(top, container_, cy_);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(frame_, WM_NULL, 0, 0, SMTO_NORMAL, harness::kWait, &ignored);
    }

    harness::Process sample_;
    HWND frame_ = nullptr;
    HWND container_ = nullptr;
    int cy_ = 0;
};

TEST_F(KeepInSightTest, OnlyACoveredWindowAboveTheNewTopOneMoves) {
    // Created in this order, so the last one is on top: "Under" lies below
    // the big window, "Partial" and "Small" above it.
    Start("Under@160,140,120,100 Big@100,100,400,300 Partial@450,130,200,100 "
          "Small@150,130,150,120");
    HWND under = Document("Under");
    HWND big = Document("Big");
    HWND partial = Document("Partial");
    HWND small = Document("Small");
    ASSERT_TRUE(under && big && partial && small);
    ASSERT_EQ(small, GetWindow(container_, GW_CHILD));

    KeepInSightOf(big);

    // The worked sample: the smallest room is above, so the small window's
    // top edge goes one caption height above the big one's (82 for cy 18).
    ExpectRect(Rect(150, 100 - cy_, 300, 220 - cy_), InContainer(small));
    ExpectRect(Rect(100, 100, 500, 400), InContainer(big));
    ExpectRect(Rect(450, 130, 650, 230), InContainer(partial));
    ExpectRect(Rect(160, 140, 280, 240), InContainer(under));
    // Nothing changed order.
    EXPECT_EQ(small, GetWindow(container_, GW_CHILD));

    // Once in sight it stays where it is.
    KeepInSightOf(big);
    ExpectRect(Rect(150, 100 - cy_, 300, 220 - cy_), InContainer(small));
}

TEST_F(KeepInSightTest, EveryCoveredWindowAboveGetsItsOwnSide) {
    // Big sits near the container's top: no room above; each small one
    // goes to the side nearest to it.
    Start("Big@100,10,400,300 NearBottom@150,200,150,100 NearRight@340,60,150,100");
    HWND big = Document("Big");
    HWND nearBottom = Document("NearBottom");
    HWND nearRight = Document("NearRight");
    ASSERT_TRUE(big && nearBottom && nearRight);

    KeepInSightOf(big);

    // Rooms: down 10 (< left 50); right 10 (< left 240).
    ExpectRect(Rect(150, 310 + cy_ - 100, 300, 310 + cy_), InContainer(nearBottom));
    ExpectRect(Rect(500 + cy_ - 150, 60, 500 + cy_, 160), InContainer(nearRight));
}

TEST_F(KeepInSightTest, NewWindowFillingTheContainerOnlyPullsCoveredWindowsInside) {
    // Stray sticks out of the container on the left.
    Start("Big@0,0,800,600 Stray@-10,50,140,100 Inner@300,200,150,100");
    HWND big = Document("Big");
    HWND stray = Document("Stray");
    HWND inner = Document("Inner");
    ASSERT_TRUE(big && stray && inner);
    ASSERT_EQ(-10, InContainer(stray).left);

    KeepInSightOf(big);

    ExpectRect(Rect(0, 50, 140, 150), InContainer(stray));
    ExpectRect(Rect(300, 200, 450, 300), InContainer(inner));
    ExpectRect(Rect(0, 0, 800, 600), InContainer(big));
}

// The frame's bars (made before the container) and a palette lie above the
// container in z-order; none of them is a document to keep in sight.
TEST_F(KeepInSightTest, ContainerComingToTopMovesNothing) {
    Start("/bars /palette:300,200,120,80 Doc@50,50,200,150");
    std::vector<HWND> above;
    std::vector<RECT> before;
    for (HWND w = GetWindow(container_, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        above.push_back(w);
        before.push_back(harness::RectIn(frame_, w));
    }
    ASSERT_EQ(3u, above.size());

    KeepInSightOf(container_);

    for (size_t i = 0; i < above.size(); ++i) ExpectRect(before[i], harness::RectIn(frame_, above[i]));
}

}  // namespace
