#include "Awapi/aw3d/headless_start.h"

#include <memory>

#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/user_settings.h"
#include "platform/d3d/null_device.h"
#include "platform/d3d/video_backend.h"

namespace {
// Stands in for the window and instance handles the start-up asks for.
int headlessWindow = 0;
} // namespace

bool AwStartHeadless(uint32_t width, uint32_t height) {
    plat::InstallVideoBackend(std::make_shared<plat::NullBackend>());
    UserSettings = AwUserSettings();
    ScreenGeometry = AwScreenGeometry();
    ScreenGeometry.DisplayFlags = kDisplayWindowed;
    AwStartupRecord record;
    record.Instance = &headlessWindow;
    record.Window = &headlessWindow;
    return AwStartup(record) && AwSetDisplayMode(width, height, ScreenGeometry.Depth, kDisplayWindowed) > 0 &&
           AwCreateDirect3D();
}
