// The program window moves and reads the real pointer. Skipped where no
// display can be opened (run under xvfb-run).

#include <gtest/gtest.h>

#include "platform/pointer.h"
#include "platform/sdl/window.h"

namespace {

using plat::PointerPosition;

TEST(WindowPointer, TheProgramWindowWarpsThePointerInItsClientArea) {
    plat::WindowHandle window = plat::CreateProgramWindow("pointer test", 320, 240);
    if (!window) GTEST_SKIP() << "no display: run under xvfb-run";
    for (const PointerPosition at : {PointerPosition{37, 21}, PointerPosition{160, 120}}) {
        plat::MovePointer(window, at.x, at.y);
        EXPECT_EQ(plat::ReadPointer(window), at);
    }
    int fake = 0;
    plat::MovePointer(&fake, 5, 6); // not an SDL window: only recorded
    EXPECT_EQ(plat::ReadPointer(window), (PointerPosition{160, 120}));
    plat::DestroyProgramWindow(window);
}

} // namespace
