#include "tests/support/headless_frame.h"

#include "Awapi/camera.h"
#include "Awapi/frame_render.h"
#include "Tv/client/client_objects.h"
#include "Tv/server/client_link.h"
#include "Tv/server/command_scripts.h"

bool RunHeadlessFrame() {
    TvRunQueuedScript();
    const bool received = TvPollServerMessages();
    RenderAllClientObjects();
    AwRenderFrame(AwCurrentCamera, nullptr, nullptr);
    return received;
}
