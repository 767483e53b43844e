// The manager as the engine's sound service: a model's frame sounds, named
// in a bank, play on voices that follow the object.
#include <gtest/gtest.h>

#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/model/sound_hooks.h"
#include "Awapi/object.h"
#include "Awapi/render_item.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "sound/sound_names.h"
#include "sound/sound_service.h"
#include "tests/awapi/engine_fixture.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace sound_flags;

class ServiceTest : public EngineTest, public SoundRig {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Open();
        RegisterAllChunkClasses();
        InstallSoundService(&ManagerSoundService());
    }
    void TearDown() override {
        InstallSoundService(nullptr);
        Close();
        EngineTest::TearDown();
    }
};

TEST_F(ServiceTest, ARobotsStepPlaysOnAVoiceThatFollowsTheRobot) {
    WriteBank("robots.dat", {WaveItem("step.wav", 0, WavImage(0.3f)), WaveItem("servo.wav", -1, WavImage(0.3f))});
    ASSERT_EQ(0, manager->LoadBank("robots.dat"));
    auto file = AwModelFile::Open(std::string(TAVRIN_DATA_DIR) + "/Qifs/Robot.qif");
    ASSERT_NE(nullptr, file) << "build the sample_data target first";
    AwModel* model = file->LoadHierarchy("Robot");
    ASSERT_NE(nullptr, model);
    file.reset();
    // The model's sounds are permanent copies, kept for the whole run.
    const int32_t step = manager->LoadSound("step.wav");
    ASSERT_GT(step, 0);

    auto* robot = new AwObject(*model, false);
    const uint32_t t0 = 1000;
    ASSERT_TRUE(robot->PlaySequence(1, kUnitSpeed, -1, t0, nullptr, 0, false));
    robot->AdvanceSequences(t0 + static_cast<uint32_t>(CurrentTicksPerSecond() / 4), kDrawAnimationObject);

    int32_t voice = 0;
    for (int32_t i = 1; i < SoundSystem::kVoiceCount && !voice; ++i)
        if ((manager->Voice(i).flags & kVoiceActive) && manager->Voice(i).tracked == robot) voice = i;
    ASSERT_GT(voice, 0) << "no voice follows the robot";
    const SoundVoice& v = manager->Voice(voice);
    EXPECT_TRUE(SoundNamesMatch(manager->Sample(v.sample).name, manager->Sample(step).name));
    EXPECT_EQ(0u, v.flags & kVoiceUnpositioned);
    EXPECT_EQ(2, robot->RefCount); // the voice holds one

    robot->SetPositionVector({40, -3, 0});
    manager->Update(&origin);
    EXPECT_EQ(v.volume / 4, v.currentVolume);
    robot->SetPositionVector({0, 0, 61});
    manager->Update(&origin);
    EXPECT_EQ(0, v.currentVolume);

    robot->Release();
    EXPECT_EQ(1, robot->RefCount); // the voice keeps the robot while it plays
    RunFor(0.5);
    EXPECT_FALSE(manager->Voice(voice).flags & kVoiceActive);
    model->ReleaseUse();
}

} // namespace
