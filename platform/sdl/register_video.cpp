#include "platform/sdl/register_video.h"

#include <cstdio>

#include "platform/d3d/video_backend.h"
#include "platform/sdl/gl_backend.h"

namespace plat {

void RegisterSdlVideoBackend() {
    RegisterVideoBackend("gl", []() -> std::shared_ptr<DeviceBackend> {
        std::string failure;
        std::shared_ptr<DeviceBackend> backend = CreateGlBackend(&failure);
        if (!backend) std::fprintf(stderr, "OpenGL video is not available (%s): drawing nothing.\n", failure.c_str());
        return backend;
    });
}

} // namespace plat
