// Where side windows go: beside the main window where there is room, always
// inside the screen's free area (here with a 30-pixel panel at the top), moved
// the least and shrunk only where larger than it.
#include "common/WindowFit.h"

#include <gtest/gtest.h>

namespace {

const QRect kFree(0, 30, 1920, 1050);

struct Beside {
    const char* name;
    QSize size;
    QRect anchor;
    QRect expected;
};

TEST(WindowFit, SideWindowsGoBesideTheAnchorWhereTheyFitElseOverItInsideTheFreeArea)
{
    const Beside cases[] = {
        {"right", {400, 300}, {100, 100, 1000, 800}, {1100, 100, 400, 300}},
        {"left", {400, 300}, {800, 100, 1000, 800}, {400, 100, 400, 300}},
        {"below", {700, 200}, {500, 30, 1000, 800}, {500, 830, 700, 200}},
        {"above", {700, 200}, {500, 280, 1000, 800}, {500, 80, 700, 200}},
        {"above, pulled in sideways", {1100, 200}, {1000, 280, 920, 800}, {820, 80, 1100, 200}},
        {"no room: right edge", {620, 560}, {0, 30, 1504, 994}, {1300, 30, 620, 560}},
        {"no room: left edge", {620, 560}, {500, 30, 1420, 994}, {0, 30, 620, 560}},
        {"anchor low: lifted in", {620, 560}, {0, 560, 1700, 520}, {1300, 520, 620, 560}},
        {"larger than the free area", {2000, 1200}, {0, 30, 1504, 994}, kFree},
    };
    for (const Beside& c : cases) {
        const QRect placed = common::besideRect(c.size, c.anchor, kFree);
        EXPECT_EQ(placed, c.expected) << c.name;
        EXPECT_TRUE(kFree.contains(placed)) << c.name;
    }
}

} // namespace
