#pragma once
// The music's objects over a recording fake of the media control layer: a
// disc with data track 1, audio tracks 2 (3 s), 3 (3 s) and 4 (4 s) and data
// track 5, the layer's mixer with full lines, and the sound manager on its
// silent backend with a clock that stands still until moved.

#include <gtest/gtest.h>

#include <memory>

#include "platform/media/mixer_lines.h"
#include "tests/sound/recording_mci.h"
#include "tests/sound/sound_fixture.h"

class MusicTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        plat::InstallMixers(plat::DefaultMixers());
        mci = std::make_shared<RecordingMci>();
        mci->disc = {{75, false}, {225, true}, {225, true}, {300, true}, {75, false}};
        plat::InstallMciSystem(mci);
    }
    void TearDown() override {
        plat::InstallMciSystem(nullptr);
        plat::InstallMixers(plat::DefaultMixers());
        SoundTest::TearDown();
    }

    // A TMSF position.
    static uint32_t Tmsf(uint32_t track, uint32_t frames = 0) { return track | plat::MciFramesToMsf(frames) << 8; }

    std::shared_ptr<RecordingMci> mci;
};
