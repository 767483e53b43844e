#include "platform/d3d/video_backend.h"

#include "platform/backend_registry.h"
#include "platform/d3d/null_device.h"

namespace plat {
namespace {

BackendRegistry<DeviceBackend>& TheRegistry() {
    static BackendRegistry<DeviceBackend> registry("TAVRIN_VIDEO", "gl",
                                                   [] { return std::make_shared<NullBackend>(); });
    return registry;
}

} // namespace

void RegisterVideoBackend(const std::string& name, VideoBackendFactory factory) {
    TheRegistry().Register(name, std::move(factory));
}

std::shared_ptr<DeviceBackend> SelectVideoBackend() { return TheRegistry().Select(); }

void InstallVideoBackend(std::shared_ptr<DeviceBackend> backend) { TheRegistry().Install(std::move(backend)); }

std::shared_ptr<DeviceBackend> CurrentVideoBackend() { return TheRegistry().Current(); }

} // namespace plat
