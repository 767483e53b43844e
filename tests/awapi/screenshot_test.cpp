#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/frame_render.h"
#include "Awapi/screenshot.h"
#include "core/bytes.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/surface.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/awapi/engine_fixture.h"

namespace {

class ScreenshotTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("tavrin-screenshot-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        previousDir = plat::GetCurrentDir();
        ASSERT_TRUE(plat::SetCurrentDir(dir.string()));
    }
    void TearDown() override {
        plat::SetCurrentDir(previousDir);
        std::filesystem::remove_all(dir);
        AwClearColour = 0;
        EngineTest::TearDown();
    }
    // Clears the back buffer to the colour and shows it.
    void ShowColour(uint32_t colour) {
        AwClearColour = colour;
        AwClear();
        AwPresent();
    }
    std::string Read(const std::string& name) {
        std::string bytes;
        EXPECT_TRUE(plat::ReadWholeFile(name, bytes)) << name;
        return bytes;
    }
    static void Touch(const std::string& name) {
        plat::File::Open(name, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    }

    std::filesystem::path dir;
    std::string previousDir;
};

TEST_F(ScreenshotTest, TheNextFreeNameIsTaken) {
    EXPECT_EQ(AwNextScreenshotName(), "Screen.bmp");
    Touch("Screen.bmp");
    Touch("Screen1.bmp");
    EXPECT_EQ(AwNextScreenshotName(), "Screen2.bmp");
}

TEST_F(ScreenshotTest, AWindowIsWrittenAsATwentyFourBitBmp) {
    ScreenGeometry.Destination = {0, 0, 640, 480};
    ShowColour(0xFF336699u);
    Touch("Screen.bmp");
    Touch("Screen1.bmp");
    ASSERT_TRUE(AwSaveScreenshot());
    const std::string bmp = Read("Screen2.bmp");
    ASSERT_EQ(bmp.size(), 921654u);
    ByteReader header(reinterpret_cast<const uint8_t*>(bmp.data()), 54);
    EXPECT_EQ(header.U16(), 0x4D42);
    EXPECT_EQ(header.U32(), 921654u);
    header.Skip(4);
    EXPECT_EQ(header.U32(), 54u);
    EXPECT_EQ(header.U32(), 40u);
    EXPECT_EQ(header.I32(), 640);
    EXPECT_EQ(header.I32(), 480);
    EXPECT_EQ(header.U16(), 1);
    EXPECT_EQ(header.U16(), 24);
    EXPECT_EQ(header.U32(), 0u);
    EXPECT_EQ(header.U32(), 921600u);
    EXPECT_EQ(static_cast<uint8_t>(bmp[54]), 0x99);
    EXPECT_EQ(static_cast<uint8_t>(bmp[55]), 0x66);
    EXPECT_EQ(static_cast<uint8_t>(bmp[56]), 0x33);
}

TEST_F(ScreenshotTest, SixteenBitScreensAreWidenedAndRowsPadded) {
    ASSERT_TRUE(Start(plat::NullBackend::DefaultFacts(), false));
    ASSERT_EQ(ScreenGeometry.Depth, 16u);
    ShowColour(0xFFFF0000u);
    ASSERT_TRUE(AwSaveScreenshot());
    const std::string bmp = Read("Screen.bmp");
    ASSERT_EQ(bmp.size(), 921654u);
    EXPECT_EQ(static_cast<uint8_t>(bmp[54]), 0x00);
    EXPECT_EQ(static_cast<uint8_t>(bmp[55]), 0x00);
    EXPECT_EQ(static_cast<uint8_t>(bmp[56]), 0xF8);
}

// Each pixel of the area gets its own bytes, so row order and padding show.
TEST_F(ScreenshotTest, TwentyFourBitRowsAreCopiedBottomUpAndPadded) {
    plat::BackendFacts facts = plat::NullBackend::DefaultFacts();
    facts.desktop.bitDepth = 24;
    facts.modes.push_back({640, 480, 24, 60});
    ASSERT_TRUE(Start(facts));
    ASSERT_EQ(ScreenGeometry.Depth, 24u);

    ScreenGeometry.Destination = {0, 0, 640, 480};
    ASSERT_TRUE(AwSaveScreenshot());
    EXPECT_EQ(Read("Screen.bmp").size(), 921654u);

    ScreenGeometry.Destination = {10, 20, 15, 23}; // 5 x 3: 15 bytes a row, padded to 16
    plat::SurfaceDesc desc;
    ASSERT_TRUE(plat::Succeeded(AwDevice.PrimarySurface->Lock(&ScreenGeometry.Destination, &desc, plat::kDdLockWait)));
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 15; ++x) desc.surface[y * desc.pitch + x] = static_cast<uint8_t>(16 * y + x);
    AwDevice.PrimarySurface->Unlock(&ScreenGeometry.Destination);
    ASSERT_TRUE(AwSaveScreenshot());
    const std::string bmp = Read("Screen1.bmp");
    ASSERT_EQ(bmp.size(), 54u + 3 * 16);
    for (uint32_t row = 0; row < 3; ++row) {
        const uint32_t screenRow = 2 - row;
        for (uint32_t x = 0; x < 15; ++x)
            ASSERT_EQ(static_cast<uint8_t>(bmp[54 + row * 16 + x]), 16 * screenRow + x) << row << "/" << x;
        EXPECT_EQ(bmp[54 + row * 16 + 15], 0) << "padding";
    }
}

TEST_F(ScreenshotTest, AnAreaBeyondTheScreenIsRefused) {
    ASSERT_TRUE(Start(plat::NullBackend::DefaultFacts(), false));
    ScreenGeometry.Screen.right = 4096; // larger than the primary
    EXPECT_FALSE(AwSaveScreenshot());
    EXPECT_EQ(AwNextScreenshotName(), "Screen.bmp");
}

TEST_F(ScreenshotTest, NoScreenNoFile) {
    ScreenGeometry.Destination = {};
    EXPECT_FALSE(AwSaveScreenshot());
    EXPECT_EQ(AwNextScreenshotName(), "Screen.bmp") << "nothing left behind";
}

} // namespace
