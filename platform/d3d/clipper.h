#pragma once
// A clipper ties a surface to a window: blits onto a surface with a clipper
// are cut to the surface instead of being refused when they reach past it.

#include <cstdint>

#include "platform/d3d/com_object.h"
#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/results.h"

namespace plat {

class Clipper final : public ComObject {
public:
    Clipper() = default;

    // Flags must be 0.
    HResult SetHWnd(uint32_t flags, WindowHandle window);
    WindowHandle Window() const { return window_; }

private:
    ~Clipper() override = default;

    WindowHandle window_ = nullptr;
};

} // namespace plat
