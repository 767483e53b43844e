// Mixer lines: the layer's one mixer with its CD and wave-output lines,
// whose values set the sound layer's gain groups, and described mixers.
#include <gtest/gtest.h>

#include "platform/media/mixer_lines.h"

namespace {

using namespace plat;

class MixerLinesTest : public testing::Test {
protected:
    void SetUp() override { InstallMixers(DefaultMixers()); }
    void TearDown() override {
        if (handle) MixerClose(handle);
        InstallMixers(DefaultMixers());
    }

    MixerLine Source(uint32_t index) {
        MixerLine line;
        line.source = index;
        EXPECT_EQ(kMmOk, MixerGetLineInfo(handle, &line, kMixerLineBySource));
        return line;
    }
    MmResult Set(uint32_t controlId, uint32_t value) {
        MixerControlDetails details;
        details.controlId = controlId;
        details.values = &value;
        return MixerSetControlDetails(handle, details);
    }
    uint32_t Get(uint32_t controlId) {
        uint32_t value = 0;
        MixerControlDetails details;
        details.controlId = controlId;
        details.values = &value;
        EXPECT_EQ(kMmOk, MixerGetControlDetails(handle, &details));
        return value;
    }

    MixerHandle handle = 0;
};

TEST_F(MixerLinesTest, TheLayersMixerHasFullCdAndWaveLinesThatSetTheGainGroups) {
    ASSERT_EQ(1u, MixerDeviceCount());
    ASSERT_EQ(kMmOk, MixerOpen(0, &handle));
    MixerLine speakers;
    speakers.componentType = kMixerDestinationSpeakers;
    ASSERT_EQ(kMmOk, MixerGetLineInfo(handle, &speakers, kMixerLineByComponentType));
    ASSERT_EQ(2u, speakers.connections);
    const MixerLine cd = Source(0), wave = Source(1);
    EXPECT_EQ(kMixerSourceCompactDisc, cd.componentType);
    EXPECT_EQ(kMixerSourceWaveOut, wave.componentType);
    const struct {
        MixerLine line;
        GainGroup group;
    } lines[] = {{cd, GainGroup::Cd}, {wave, GainGroup::Wave}};
    for (const auto& l : lines) {
        MixerControl control;
        ASSERT_EQ(kMmOk, MixerGetLineControl(handle, l.line.lineId, kMixerControlVolume, &control));
        EXPECT_EQ(65535u, control.maximum);
        EXPECT_EQ(65535u, Get(control.controlId));
        ASSERT_EQ(kMmOk, Set(control.controlId, 16384));
        EXPECT_EQ(16384u, Get(control.controlId));
        EXPECT_FLOAT_EQ(16384.0f / 65535.0f, GroupGain(l.group));
        ASSERT_EQ(kMmOk, Set(control.controlId, 70000)); // more than full is full
        EXPECT_EQ(65535u, Get(control.controlId));
        EXPECT_EQ(1.0f, GroupGain(l.group));
    }
}

TEST_F(MixerLinesTest, DescribedMixersShowTheirLinesAndRefuseWhatTheyLack) {
    InstallMixers({{"first", {{kMixerSourceWaveOut, "Wave", 0, true, 100, std::nullopt}}},
                   {"second",
                    {{kMixerSourceDigital, "CDSPDIF", 0, true, 200, std::nullopt},
                     {kMixerSourceCompactDisc, "CD", kMixerLineDisconnected, true, 300, std::nullopt},
                     {kMixerSourceCompactDisc, "CD2", 0, false, 400, std::nullopt}}}});
    ASSERT_EQ(2u, MixerDeviceCount());
    MixerCaps caps;
    ASSERT_EQ(kMmOk, MixerGetCaps(1, &caps));
    EXPECT_EQ("second", caps.name);
    ASSERT_EQ(kMmOk, MixerOpen(1, &handle));
    EXPECT_EQ("CDSPDIF", Source(0).shortName);
    EXPECT_EQ(kMixerLineActive, Source(0).flags & kMixerLineActive);
    EXPECT_EQ(kMixerLineDisconnected, Source(1).flags & (kMixerLineDisconnected | kMixerLineActive));
    EXPECT_EQ(200u, Get(Source(0).lineId));
    MixerControl control;
    EXPECT_EQ(kMixerErrInvalidControl, MixerGetLineControl(handle, Source(2).lineId, kMixerControlVolume, &control));
    EXPECT_EQ(kMixerErrInvalidControl, MixerGetLineControl(handle, Source(0).lineId, 0x1234, &control));
    MixerLine none;
    none.source = 3;
    EXPECT_EQ(kMixerErrInvalidLine, MixerGetLineInfo(handle, &none, kMixerLineBySource));
    EXPECT_EQ(kMixerErrInvalidControl, Set(Source(2).lineId, 5));
    MixerHandle other = 0;
    EXPECT_EQ(kMmErrBadDeviceId, MixerOpen(2, &other));
    // Handles of the mixers that were replaced no longer work.
    InstallMixers(DefaultMixers());
    EXPECT_EQ(kMmErrInvalidHandle, Set(1, 5));
    EXPECT_EQ(kMmErrInvalidHandle, MixerClose(handle));
    handle = 0;
}

} // namespace
