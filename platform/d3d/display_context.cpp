#include "platform/d3d/display_context.h"

namespace plat {

DisplayContext::DisplayContext(std::shared_ptr<DeviceBackend> b) : backend(std::move(b)), mode(backend->Facts().desktop) {
    for (uint32_t i = 0; i < 256; ++i) {
        const auto level = static_cast<uint16_t>(i * 0x101);
        gamma.red[i] = gamma.green[i] = gamma.blue[i] = level;
    }
}

uint32_t DisplayContext::FreeVideoMemory() const {
    CriticalSectionLock hold(lock);
    const uint64_t budget = Facts().videoMemoryBytes;
    return videoBytesUsed >= budget ? 0 : static_cast<uint32_t>(budget - videoBytesUsed);
}

} // namespace plat
