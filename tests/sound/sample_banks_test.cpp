// The sample banks of the data tree load through the manager, entry by entry.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "sound/sound_names.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace sound_flags;

class SampleBanksTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_TRUE(plat::SetCurrentDir(std::string(TAVRIN_DATA_DIR) + "/sound")) << "build the sample_data target first";
    }
};

TEST_F(SampleBanksTest, TheInterfaceSoundsSitAtTheirNumbersAndTheMenuCueLoops) {
    manager->LoadPermanentBank("UI.dat");
    for (const int32_t fixed : {4, 103, 116}) {
        EXPECT_EQ(kSampleInUse, manager->Sample(fixed).flags) << fixed;
        EXPECT_GT(manager->Play(fixed, ""), 0) << fixed;
    }
    const int32_t menu = -manager->LoadSound("menu");
    ASSERT_GT(menu, 0);
    ASSERT_EQ(3u, manager->Cue(menu).members.size());
    for (const auto& [sample, count] : manager->Cue(menu).members) EXPECT_GE(sample, SoundSystem::kFirstLooseSample);
    EXPECT_EQ(-1, manager->Cue(menu).members[1].second);
    int32_t instance = 0;
    EXPECT_GT(manager->PlayCue("menu", "x", &instance), 0);
    manager->StopCue(instance);
}

TEST_F(SampleBanksTest, EveryEntryOfTheLevelBanksLoadsAndPlays) {
    for (const char* name : {"robots.dat", "specials.dat", "environ.dat"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(0, manager->LoadBank(name));
        SoundBank bank;
        ASSERT_TRUE(bank.Load(name, nullptr));
        for (const SoundBankEntry& e : bank.Entries()) {
            const std::string text(SoundNameText(e.name));
            const int32_t sound = manager->LoadSound(text.c_str());
            if (e.cueWord) {
                ASSERT_LT(sound, 0) << text;
                continue;
            }
            ASSERT_GT(sound, 0) << text;
            EXPECT_GT(manager->Sample(sound).duration, 0.0f) << text;
            EXPECT_GT(manager->Play(sound, ""), 0) << text;
        }
    }
    const int32_t halt = manager->LoadSound("halt.wav");
    EXPECT_GT(halt, 0) << "the loose wave beside robots.dat";
    EXPECT_GT(manager->PlayCue("acknowledge", ""), 0);
    manager->Update(&origin);
}

} // namespace
