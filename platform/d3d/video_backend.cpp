#include "platform/d3d/video_backend.h"

#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/d3d/null_device.h"

namespace plat {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, VideoBackendFactory> factories;
    std::shared_ptr<DeviceBackend> current;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

void RegisterVideoBackend(const std::string& name, VideoBackendFactory factory) {
    Registry& r = TheRegistry();
    std::lock_guard hold(r.mutex);
    r.factories[name] = std::move(factory);
}

std::shared_ptr<DeviceBackend> SelectVideoBackend() {
    const char* asked = std::getenv("TAVRIN_VIDEO");
    const std::string name = asked && *asked ? asked : "gl";
    VideoBackendFactory factory;
    {
        Registry& r = TheRegistry();
        std::lock_guard hold(r.mutex);
        if (const auto it = r.factories.find(name); it != r.factories.end()) factory = it->second;
    }
    std::shared_ptr<DeviceBackend> backend = factory ? factory() : nullptr;
    if (!backend) backend = std::make_shared<NullBackend>();
    InstallVideoBackend(backend);
    return backend;
}

void InstallVideoBackend(std::shared_ptr<DeviceBackend> backend) {
    Registry& r = TheRegistry();
    std::lock_guard hold(r.mutex);
    r.current = std::move(backend);
}

std::shared_ptr<DeviceBackend> CurrentVideoBackend() {
    {
        Registry& r = TheRegistry();
        std::lock_guard hold(r.mutex);
        if (r.current) return r.current;
    }
    return SelectVideoBackend();
}

} // namespace plat
