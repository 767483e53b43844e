#include <gtest/gtest.h>

#include <string>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/surfaces.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "image/reader_registry.h"
#include "platform/d3d/directdraw.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/awapi/engine_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

// A 64 x 64 binary PPM in a scratch directory.
class TextureFilesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        RegisterImageReaders();
        home = plat::GetCurrentDir();
        dir = scratch.path();
        std::string ppm = "P6\n64 64\n255\n";
        ppm.append(64 * 64 * 3, '\x80');
        plat::File file = plat::File::Open(dir + "/Wall.ppm", plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        ASSERT_TRUE(file.Write(ppm.data(), static_cast<uint32_t>(ppm.size())));
    }
    void TearDown() override {
        plat::SetCurrentDir(home);
        EngineTest::TearDown();
    }

    TempDir scratch;
    std::string home, dir;
};

} // namespace

TEST_F(EngineTest, NamesDifferingInCaseShareOneRecord) {
    AwTexture* a = TextureManager.Get("Units\\Tank.bmp", 0);
    AwTexture* b = TextureManager.Get("UNITS\\tank.BMP", kTextureClamp);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->RefCount, 2);
    EXPECT_EQ(a->Flags, 0u); // the second request's flags are ignored
    // Same byte sum, same bucket, different records.
    AwTexture* ab = TextureManager.Get("ab", 0);
    AwTexture* ba = TextureManager.Get("ba", 0);
    EXPECT_NE(ab, ba);
    EXPECT_EQ(TextureManager.Find("BA"), ba);
    a->RefCount = b->RefCount = 0;
    ab->RefCount = ba->RefCount = 0;
    // None has a surface: the purge deletes them and reports no released surface.
    EXPECT_FALSE(TextureManager.PurgeOneUnused());
    EXPECT_EQ(TextureManager.Find("ab"), nullptr);
    EXPECT_EQ(TextureManager.Find("units\\tank.bmp"), nullptr);
}

TEST_F(TextureFilesTest, LoadsReleasesAndReloadsFromTheRecordedDirectory) {
    ASSERT_TRUE(plat::SetCurrentDir(dir));
    const uint32_t usedBefore = AwDeviceCaps.TextureMemoryUsed;
    AwTexture* texture = TextureManager.Get("WALL.PPM", 0);
    AwTexture* blank = TextureManager.Get(" Blank", 0);
    TextureManager.LoadPending(AwNoProgress);
    ASSERT_NE(texture->Surface, nullptr);
    EXPECT_EQ(texture->ImageWidth, 64u);
    EXPECT_EQ(texture->Directory, dir);
    EXPECT_EQ(blank->Surface, nullptr); // never loaded from a file
    EXPECT_EQ(AwDeviceCaps.TextureMemoryUsed, usedBefore + 1);

    TextureManager.ReleaseAll();
    EXPECT_EQ(texture->Surface, nullptr);
    EXPECT_EQ(AwDeviceCaps.TextureMemoryUsed, usedBefore);

    // The reload finds the file from elsewhere and leaves the current directory alone.
    ASSERT_TRUE(plat::SetCurrentDir(home));
    TextureManager.RestoreLost();
    EXPECT_NE(texture->Surface, nullptr);
    EXPECT_EQ(plat::GetCurrentDir(), home);

    texture->RefCount = blank->RefCount = 0;
    EXPECT_TRUE(TextureManager.PurgeOneUnused());
    EXPECT_EQ(AwDeviceCaps.TextureMemoryUsed, usedBefore);
}

TEST(TextureReduction, FollowsTheBudget) {
    AwDeviceCaps.Reset();
    UserSettings = AwUserSettings();
    // No DirectDraw: nothing is free, the reduction is as large as it gets.
    AwUpdateTextureReduction();
    EXPECT_EQ(UserSettings.TextureReduction, 11);
    AwDeviceCaps.TextureMemoryUsed = kTextureMemoryCrowded;
    AwUpdateTextureReduction();
    EXPECT_EQ(UserSettings.TextureReduction, 3);
    AwDeviceCaps.Reset();
}

TEST_F(EngineTest, TextureReductionOfTheNullDisplayAndLargeBudgets) {
    struct Case {
        uint32_t videoMemory, used, trueColour, reduction;
    };
    // 32 MB, 4 GB - 1: a budget far above 1 MB gives 0 (the 32-bit product would wrap).
    const Case cases[] = {{32u << 20, 0, 0, 2}, {0xFFFFFFFFu, 0, 0, 0}, {0xFFFFFFFFu, 0, 1, 0}, {32u << 20, 12033, 0, 3}};
    for (const Case& c : cases) {
        plat::BackendFacts facts = plat::NullBackend::DefaultFacts();
        facts.videoMemoryBytes = c.videoMemory;
        ASSERT_TRUE(Start(facts));
        UserSettings.TrueColourTextures = static_cast<int32_t>(c.trueColour);
        AwDeviceCaps.TextureMemoryUsed = c.used;
        AwUpdateTextureReduction();
        EXPECT_EQ(static_cast<uint32_t>(UserSettings.TextureReduction), c.reduction) << c.videoMemory << " " << c.used;
    }
}
