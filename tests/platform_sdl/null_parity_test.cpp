// The render scenes run on the null backend too: every call is taken and
// every draw recorded.
#include "platform/d3d/null_device.h"
#include "tests/platform_sdl/scenes.h"

using namespace plat;

TEST(NullBackendParity, EveryRenderSceneRunsAndRecordsItsDraws) {
    for (const SceneEntry& scene : AllScenes()) {
        SCOPED_TRACE(scene.name);
        auto backend = std::make_shared<NullBackend>();
        Display display;
        display.Open(backend);
        backend->ResetRecords();
        scene.draw(display);
        EXPECT_EQ(backend->Draws().size(), scene.draws);
        EXPECT_FALSE(backend->Clears().empty());
    }
}
