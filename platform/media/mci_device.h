#pragma once
// One open device of the media control layer. Internal to the layer.

#include <cstdint>

#include "platform/media/mci.h"

namespace plat {

class MciDevice {
public:
    virtual ~MciDevice() = default;

    virtual MciError SetTimeFormat(uint32_t) { return kMciErrUnsupportedFunction; }
    virtual MciError Status(uint32_t item, uint32_t track, uint32_t* value) = 0;
    virtual MciError Play(uint32_t, uint32_t, uint32_t) { return kMciErrUnsupportedFunction; }
    virtual MciError Stop() { return kMciOk; }
    virtual MciError Pause() { return kMciErrUnsupportedFunction; }
    virtual MciError Resume() { return kMciErrUnsupportedFunction; }
    // Ends a play whose end has come, posting its notification.
    virtual void CatchUp() {}
};

} // namespace plat
