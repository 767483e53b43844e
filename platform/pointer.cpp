#include "platform/pointer.h"

namespace plat {
namespace {

PointerOps installed;
PointerPosition lastMove;

bool Handles(WindowHandle window) { return window && window == installed.window; }

} // namespace

void InstallPointerOps(const PointerOps& ops) { installed = ops; }

void RemovePointerOps(WindowHandle window) {
    if (Handles(window)) installed = PointerOps();
}

void MovePointer(WindowHandle window, int32_t x, int32_t y) {
    lastMove = {x, y};
    if (Handles(window) && installed.move) installed.move(window, x, y);
}

PointerPosition ReadPointer(WindowHandle window) {
    if (Handles(window) && installed.read) return installed.read(window);
    return lastMove;
}

} // namespace plat
