#include "platform/d3d/gamma_control.h"

#include "platform/d3d/display_context.h"

namespace plat {

GammaControl::GammaControl(std::shared_ptr<DisplayContext> context) : context_(std::move(context)) {}

HResult GammaControl::GetGammaRamp(uint32_t flags, GammaRamp* ramp) const {
    if (flags != 0 || !ramp) return kDdErrInvalidParams;
    CriticalSectionLock hold(context_->lock);
    *ramp = context_->gamma;
    return kDdOk;
}

HResult GammaControl::SetGammaRamp(uint32_t flags, const GammaRamp& ramp) {
    if (flags & ~kDdsgrCalibrate) return kDdErrInvalidParams;
    CriticalSectionLock hold(context_->lock);
    const HResult result = context_->backend->SetGammaRamp(ramp);
    if (Succeeded(result)) context_->gamma = ramp;
    return result;
}

} // namespace plat
