#include "tests/support/headless_frame.h"

#include "Awapi/camera.h"
#include "Awapi/frame_render.h"
#include "Tv/client/client_objects.h"
#include "Tv/console/batch.h"
#include "Tv/console/captions.h"
#include "Tv/console/console_window.h"
#include "Tv/server/client_link.h"
#include "Tv/server/command_scripts.h"
#include "core/clock.h"

bool RunHeadlessFrame() {
    TvRunQueuedScript();
    bool received = true;
    if (TvIsClientAttached()) {
        received = TvPollServerMessages();
        RenderAllClientObjects();
    }
    TvConsoleFrame(RealClock.GetTime());
    TvDrawCaptions();
    AwRenderFrame(AwCurrentCamera, nullptr, nullptr);
    if (!TvBatchIsEmpty()) TvBatchRunNext();
    return received;
}
