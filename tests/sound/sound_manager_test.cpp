// Voices: options, distance attenuation, buffers for the loudest, cursors of
// virtual voices, cue sequences and weighted picks, persistent sounds.
#include <gtest/gtest.h>

#include <set>

#include "platform/dsound/direct_sound.h"
#include "platform/files.h"
#include "platform/textfile.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace sound_flags;

class ManagerTest : public SoundTest {
protected:
    // A level sample of that many seconds, from a bank of its own.
    int32_t LevelSample(const std::string& name, float seconds) {
        WriteBank(name + ".dat", {WaveItem(name, 0, WavImage(seconds))});
        EXPECT_EQ(0, manager->LoadBank((name + ".dat").c_str()));
        const int32_t sample = manager->LoadSound(name.c_str());
        EXPECT_GT(sample, 0) << name;
        return sample;
    }

    int32_t CountWithBuffers() const {
        int32_t n = 0;
        for (int32_t i = 1; i < SoundSystem::kVoiceCount; ++i)
            n += (manager->Voice(i).flags & (kVoiceActive | kVoiceHasBuffer)) == (kVoiceActive | kVoiceHasBuffer);
        return n;
    }

    // The play cursor of the voice's device buffer.
    uint32_t DeviceCursor(int32_t voice) const {
        uint32_t play = 0;
        manager->Voice(voice).buffer->GetCurrentPosition(&play, nullptr);
        return play;
    }
};

TEST_F(ManagerTest, PositionedVoicesFadeWithHorizontalDistanceFrom20To60Metres) {
    const int32_t s = LevelSample("hum.wav", 1.0f);
    const struct {
        float x, y, z;
        int32_t volume;
    } cases[] = {{15, 0, 0, 100}, {40, 0, 0, 25}, {61, 0, 0, 0}, {50, 0, 50, 0}, {0, -300, 0, 100}, {-30, 0, 0, 50}};
    for (const auto& c : cases) {
        const float at[3] = {c.x, c.y, c.z};
        const int32_t voice = manager->Play(s, "dv", at, 100);
        ASSERT_GT(voice, 0);
        manager->Update(&origin);
        EXPECT_EQ(c.volume, manager->Voice(voice).currentVolume) << c.x << ", " << c.y << ", " << c.z;
        manager->StopVoice(voice);
        manager->Update(&origin);
    }
}

TEST_F(ManagerTest, OptionsThatCannotGoTogetherAreRefusedAndHandlesFollowTheVoice) {
    const int32_t s = LevelSample("tick.wav", 0.5f);
    const float at[3] = {1, 2, 3};
    EXPECT_EQ(0, manager->Play(0, ""));
    EXPECT_EQ(0, manager->Play(s, "l"));
    EXPECT_EQ(0, manager->Play(s, "td", static_cast<AwObject*>(nullptr), at));
    EXPECT_EQ(0, manager->Play(SoundSystem::kSampleCount + 5, ""));

    int32_t handle = 77;
    const int32_t voice = manager->Play(s, "lefvnr", &handle, 11025, 40);
    ASSERT_GT(voice, 0);
    EXPECT_EQ(voice, handle);
    const SoundVoice& v = manager->Voice(voice);
    EXPECT_EQ(kVoiceActive | kVoiceStartedThisFrame | kVoiceLoops | kVoiceUnpositioned | kVoiceOptionN | kVoiceOptionR,
              v.flags);
    EXPECT_EQ(11025, v.frequency);
    EXPECT_EQ(40, v.volume);
    EXPECT_EQ(1, manager->Sample(s).playingCount);
    manager->StopVoice(voice);
    EXPECT_EQ(-1, handle);
    manager->Update(&origin);
    EXPECT_FALSE(manager->Voice(voice).flags & kVoiceActive);
    EXPECT_EQ(0, manager->Sample(s).playingCount);
}

TEST_F(ManagerTest, AVoiceEndsWhenItsTimeHasPassedAndItsBufferHasFinished) {
    const int32_t s = LevelSample("beep.wav", 0.5f);
    int32_t handle = 0;
    const int32_t voice = manager->Play(s, "e", &handle);
    manager->Update(&origin);
    ASSERT_TRUE(manager->Voice(voice).flags & kVoiceHasBuffer);
    EXPECT_EQ(0u, DeviceCursor(voice));
    RunFor(0.25);
    EXPECT_NEAR(11025.0, DeviceCursor(voice), 2.0);
    RunFor(0.3);
    EXPECT_FALSE(manager->Voice(voice).flags & kVoiceActive);
    EXPECT_EQ(-1, handle);
}

TEST_F(ManagerTest, TheLoudestVoicesHoldTheBuffersAndEqualOnesNeverSteal) {
    plat::SoundCaps caps = plat::DefaultSoundCaps();
    caps.maxHwMixingAllBuffers = 16;
    Start(caps);
    const int32_t s = LevelSample("loop.wav", 1.0f);
    const float at[3] = {5, 0, 0};
    std::vector<int32_t> handles(17);
    for (int32_t& h : handles) ASSERT_GT(manager->Play(s, "ledv", &h, at, 100), 0);
    manager->Update(&origin);
    EXPECT_EQ(16, CountWithBuffers());
    EXPECT_FALSE(manager->Voice(handles.back()).flags & kVoiceHasBuffer);
    RunFor(0.1);
    EXPECT_FALSE(manager->Voice(handles.back()).flags & kVoiceHasBuffer);

    // Unpositioned voices rank above every positioned one, however quiet.
    int32_t quiet = 0;
    ASSERT_GT(manager->Play(s, "lev", &quiet, 1), 0);
    manager->Update(&origin);
    EXPECT_TRUE(manager->Voice(quiet).flags & kVoiceHasBuffer);
    EXPECT_EQ(16, CountWithBuffers());
    Stop(); // while the handles exist
}

TEST_F(ManagerTest, ALoopingVoiceThatWinsABufferLateStartsWhereItWouldBe) {
    plat::SoundCaps caps = plat::DefaultSoundCaps();
    caps.maxHwMixingAllBuffers = 16;
    Start(caps);
    const int32_t s = LevelSample("loop.wav", 1.0f);
    std::vector<int32_t> loud(16);
    for (int32_t& h : loud) ASSERT_GT(manager->Play(s, "lev", &h, 100), 0);
    int32_t late = 0;
    ASSERT_GT(manager->Play(s, "lev", &late, 50), 0);
    manager->Update(&origin);
    ASSERT_FALSE(manager->Voice(late).flags & kVoiceHasBuffer);

    sound->MoveSeconds(2.5);
    manager->StopVoice(loud[0]);
    manager->Update(&origin);
    ASSERT_TRUE(manager->Voice(late).flags & kVoiceHasBuffer);
    const int32_t bytesPerSecond = manager->Sample(s).bytesPerSecond;
    EXPECT_NEAR(bytesPerSecond / 2, manager->Voice(late).cursor, 4);
    EXPECT_NEAR(bytesPerSecond / 2, DeviceCursor(late), 4);
    Stop(); // while the handles exist
}

TEST_F(ManagerTest, ASequenceCueLoopsAtItsLoopPointUntilTheLoopIsEnded) {
    WriteBank("cues.dat", {WaveItem("a.wav", 0, WavImage(0.5f)), WaveItem("b.wav", -1, WavImage(0.5f)),
                           WaveItem("c.wav", -2, WavImage(0.5f)),
                           CueItem("seq", 0, {{0, 1}, {-1, -1}, {-2, 1}})});
    manager->LoadPermanentBank("cues.dat");
    const int32_t a = manager->LoadSound("a.wav"), b = manager->LoadSound("b.wav"), c = manager->LoadSound("c.wav");
    int32_t instance = 0;
    const int32_t first = manager->PlayCue("seq", "x", &instance);
    ASSERT_GT(first, 0);
    ASSERT_GT(instance, 0);
    EXPECT_EQ(a, manager->Voice(first).sample);
    manager->Update(&origin);

    const auto playing = [&] { return manager->Voice(manager->Instance(instance).request.index); };
    RunFor(0.6);
    EXPECT_EQ(b, playing().sample);
    EXPECT_TRUE(playing().flags & kVoiceLoops);
    RunFor(1.5);
    EXPECT_EQ(b, playing().sample);
    manager->EndCueLoop(instance);
    RunFor(0.6);
    EXPECT_EQ(c, playing().sample);
    EXPECT_FALSE(playing().flags & kVoiceLoops);
    RunFor(0.6);
    EXPECT_EQ(-1, instance);
    EXPECT_FALSE(manager->Instance(1).flags & kInstanceActive);
}

TEST_F(ManagerTest, ALoopEndedBeforeItsLoopPointLetsThatMemberPlayOnce) {
    WriteBank("cues.dat", {WaveItem("a.wav", 0, WavImage(0.5f)), WaveItem("b.wav", -1, WavImage(0.5f)),
                           CueItem("seq", 0, {{0, 1}, {-1, -1}})});
    manager->LoadPermanentBank("cues.dat");
    int32_t instance = 0;
    ASSERT_GT(manager->PlayCue("seq", "x", &instance), 0);
    manager->EndCueLoop(instance);
    manager->Update(&origin);
    RunFor(0.6);
    EXPECT_FALSE(manager->Voice(manager->Instance(instance).request.index).flags & kVoiceLoops);
    RunFor(0.6);
    EXPECT_EQ(-1, instance);
}

TEST_F(ManagerTest, TheWeightedPickReachesEveryMemberEvenWithHugeWeights) {
    WriteBank("ui.dat", {WaveItem("one.wav", 1, WavImage(0.1f)), WaveItem("two.wav", 2, WavImage(0.1f)),
                         CueItem("pick", kCueRandom, {{1, 0x40000000}, {2, 0x40000000}})});
    manager->LoadPermanentBank("ui.dat");
    std::set<int32_t> picked;
    for (int i = 0; i < 64; ++i) {
        const int32_t voice = manager->PlayCue("PICK", "");
        ASSERT_GT(voice, 0);
        picked.insert(manager->Voice(voice).sample);
        EXPECT_EQ(kVoiceFromCue, manager->Voice(voice).flags & (kVoiceFromCue | kVoiceCueStep | kVoiceLoops));
    }
    EXPECT_EQ((std::set<int32_t>{1, 2}), picked);
    EXPECT_EQ(0, manager->PlayCue("missing", ""));
}

TEST_F(ManagerTest, PersistentSoundsLoopAtTheirPlacesAndOutliveACutscenesStop) {
    const int32_t s = LevelSample("wind.wav", 1.0f);
    const int32_t other = LevelSample("bird.wav", 1.0f);
    ASSERT_TRUE(manager->AddPersistentSound(s, {10, 0, 0}, 0, 0, 0, 0));
    ASSERT_TRUE(manager->AddPersistentSound(s, {0, 0, 30}, 0, 0, 12.0f, 0));
    ASSERT_EQ(2u, manager->PersistentSounds().size());
    const PersistentSound& near = manager->PersistentSounds().front();
    const PersistentSound& far = manager->PersistentSounds().back();
    EXPECT_EQ(s, near.sample); // its own settings: the sample itself
    EXPECT_NE(s, far.sample); // another range: a variant
    EXPECT_EQ(12.0f, manager->Sample(far.sample).range);

    manager->ReplayPersistentSounds();
    const int32_t passing = manager->Play(other, "");
    manager->Update(&origin);
    ASSERT_GT(near.handle, 0);
    const SoundVoice& v = manager->Voice(near.handle);
    EXPECT_EQ(kVoiceLoops | kVoiceOptionR, v.flags & (kVoiceLoops | kVoiceOptionR | kVoiceUnpositioned));
    EXPECT_EQ(10.0f, v.position.x);
    EXPECT_EQ(50, manager->Voice(far.handle).currentVolume); // 30 m away

    manager->StopAllExceptPersistent();
    manager->Update(&origin);
    EXPECT_FALSE(manager->Voice(passing).flags & kVoiceActive);
    EXPECT_TRUE(manager->Voice(near.handle).flags & kVoiceActive);

    const int32_t nearVoice = near.handle;
    manager->StopAll();
    manager->ClearPersistentSounds();
    manager->Update(&origin); // the voices end after their records went
    EXPECT_FALSE(manager->Voice(nearVoice).flags & kVoiceActive);
    EXPECT_TRUE(manager->PersistentSounds().empty());
}

TEST_F(ManagerTest, TheStorageDumpCountsActiveVoicesPerSample) {
    const int32_t s = LevelSample("hit.wav", 1.0f);
    plat::DeleteFile("SOUND_STORAGE_DUMP.TXT");
    manager->DumpStorage();
    manager->Play(s, "");
    manager->Play(s, "");
    manager->DumpStorage();
    std::string text;
    ASSERT_TRUE(plat::ReadTextFile("SOUND_STORAGE_DUMP.TXT", text));
    EXPECT_EQ("Total instances 0\n2 instances of sample " + std::to_string(s) + "\nTotal instances 2\n", text);
}

} // namespace
