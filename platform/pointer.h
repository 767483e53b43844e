#pragma once
// The system mouse pointer, in a window's client coordinates (the screen's in
// full screen, where the window covers it). The layer that makes the
// program's window installs the window system's operations for that window;
// for any other window, and in headless runs, a move is only recorded and a
// read answers where the last move sent the pointer. Main thread only.

#include <cstdint>

#include "platform/d3d/ddraw_types.h"

namespace plat {

struct PointerPosition {
    int32_t x = 0, y = 0;
    friend bool operator==(const PointerPosition&, const PointerPosition&) = default;
};

// The window system's operations on one window.
struct PointerOps {
    WindowHandle window = nullptr;
    void (*move)(WindowHandle window, int32_t x, int32_t y) = nullptr;
    PointerPosition (*read)(WindowHandle window) = nullptr;
};

// Installs the operations for ops.window in place of any others.
void InstallPointerOps(const PointerOps& ops);
// Removes the operations installed for this window (when they are).
void RemovePointerOps(WindowHandle window);

void MovePointer(WindowHandle window, int32_t x, int32_t y);
PointerPosition ReadPointer(WindowHandle window);

} // namespace plat
