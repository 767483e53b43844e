#include <gtest/gtest.h>

#include <vector>

#include "platform/pointer.h"

namespace {

using plat::PointerPosition;
using plat::WindowHandle;

struct Move {
    WindowHandle window;
    int32_t x, y;
};
std::vector<Move> systemMoves;

TEST(Pointer, OnlyTheWindowWithOperationsReachesTheWindowSystem) {
    int window = 0, other = 0;
    systemMoves.clear();
    plat::MovePointer(&other, 3, 4);
    EXPECT_EQ(plat::ReadPointer(&other), (PointerPosition{3, 4})) << "headless: where the last move sent it";

    plat::InstallPointerOps({&window, [](WindowHandle w, int32_t x, int32_t y) { systemMoves.push_back({w, x, y}); },
                             [](WindowHandle) { return PointerPosition{100, 200}; }});
    plat::MovePointer(&window, 5, 6);
    ASSERT_EQ(systemMoves.size(), 1u);
    EXPECT_EQ(systemMoves[0].window, &window);
    EXPECT_EQ(systemMoves[0].x, 5);
    EXPECT_EQ(systemMoves[0].y, 6);
    EXPECT_EQ(plat::ReadPointer(&window), (PointerPosition{100, 200})) << "the window system answers";

    plat::MovePointer(&other, 7, 8);
    EXPECT_EQ(systemMoves.size(), 1u) << "another window's handle never reaches the window system";
    EXPECT_EQ(plat::ReadPointer(&other), (PointerPosition{7, 8}));

    plat::RemovePointerOps(&other); // not the one installed: nothing changes
    plat::MovePointer(&window, 1, 1);
    EXPECT_EQ(systemMoves.size(), 2u);
    plat::RemovePointerOps(&window);
    plat::MovePointer(&window, 2, 2);
    EXPECT_EQ(systemMoves.size(), 2u);
    EXPECT_EQ(plat::ReadPointer(&window), (PointerPosition{2, 2}));
}

} // namespace
