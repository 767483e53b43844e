#include "platform/d3d/clipper.h"

namespace plat {

HResult Clipper::SetHWnd(uint32_t flags, WindowHandle window) {
    if (flags != 0) return kDdErrInvalidParams;
    window_ = window;
    return kDdOk;
}

} // namespace plat
