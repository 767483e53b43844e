#pragma once
// The gamma ramp of the display, reached through the primary surface.

#include <memory>

#include "platform/d3d/com_object.h"
#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/results.h"

namespace plat {

struct DisplayContext;

class GammaControl final : public ComObject {
public:
    explicit GammaControl(std::shared_ptr<DisplayContext> context);

    // Flags must be 0.
    HResult GetGammaRamp(uint32_t flags, GammaRamp* ramp) const;
    // Flags 0 or kDdsgrCalibrate; the backend may refuse the ramp.
    HResult SetGammaRamp(uint32_t flags, const GammaRamp& ramp);

private:
    ~GammaControl() override = default;

    std::shared_ptr<DisplayContext> context_;
};

} // namespace plat
