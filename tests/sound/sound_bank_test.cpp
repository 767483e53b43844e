// Banks and loose files: loading, names, fixed and free slots, permanent
// banks, level unload, and banks or records that do not hold what they say.
#include <gtest/gtest.h>

#include "core/bytes.h"
#include "platform/dsound/direct_sound.h"
#include "sound/sound_names.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace sound_flags;

using BankTest = SoundTest;

TEST_F(BankTest, ASecondLoadKeepsOneCopyAndNamesMatchWithoutRegardToCase) {
    WriteBank("level.dat", {WaveItem("Click.wav", 0, WavImage(0.1f))});
    EXPECT_EQ(0, manager->LoadBank("level.dat"));
    EXPECT_EQ(0, manager->LoadBank("LEVEL.DAT"));
    const int32_t s = manager->LoadSound("cLICK.WAV");
    EXPECT_GE(s, SoundSystem::kFirstLooseSample);
    EXPECT_EQ(s, manager->LoadSound("click.wav"));
    EXPECT_EQ(kSampleInUse | kSampleLevel, manager->Sample(s).flags);

    manager->UnloadBank("level.dat");
    manager->ReleaseLevelSounds();
    EXPECT_EQ(0, manager->LoadSound("click.wav")); // no second copy was left behind
    EXPECT_EQ(-1, manager->LoadBank("missing.dat"));
}

TEST_F(BankTest, ANameWithOtherPaddingIsAnotherName) {
    // "abc" stored in 8 bytes, where a lookup pads it to 4.
    const std::string image = WavImage(0.1f);
    ByteWriter record;
    WriteWaveRecord(record, [&] {
        WaveFile w;
        w.image = image;
        return w;
    }());
    ByteWriter bank;
    bank.Bytes("FILECHNK", 8);
    bank.U32(0);
    bank.I32(2);
    bank.U32(1);
    bank.U32(8);
    bank.Bytes("abc\0\0\0\0\0", 8);
    bank.I32(0);
    bank.I32(0);
    bank.U32(40);
    bank.Bytes(record.bytes().data(), record.size());
    bank.PatchU32(8, static_cast<uint32_t>(bank.size()));
    dir.Write("pad.dat", std::string(bank.bytes().begin(), bank.bytes().end()));
    ASSERT_EQ(0, manager->LoadBank("pad.dat"));
    EXPECT_EQ(0, manager->LoadSound("abc"));
    EXPECT_EQ(0, manager->LoadSound("ABC"));
}

TEST_F(BankTest, AVersion1BankYieldsNoCues) {
    const auto items = std::vector<SoundBankItem>{WaveItem("one.wav", 0, WavImage(0.1f)),
                                                  CueItem("both", kCueRandom, {{0, 1}})};
    WriteBank("old.dat", items, 1);
    WriteBank("new.dat", items, 2);
    ASSERT_EQ(0, manager->LoadBank("old.dat"));
    EXPECT_EQ(0, manager->LoadSound("both"));
    EXPECT_GT(manager->LoadSound("one.wav"), 0);
    manager->UnloadBank("old.dat");
    ASSERT_EQ(0, manager->LoadBank("new.dat"));
    EXPECT_LT(manager->LoadSound("both"), 0);
}

TEST_F(BankTest, FixedNumbersFillTheirSlotsAndAPermanentCuePlaysTheSlotsItsBankGave) {
    WriteBank("ui.dat", {WaveItem("fixed.wav", 37, WavImage(0.1f), 60), WaveItem("first.wav", -1, WavImage(0.1f)),
                         WaveItem("second.wav", -2, WavImage(0.1f)),
                         CueItem("pair", kCueRandom, {{-2, 1}}), CueItem("lost", kCueRandom, {{-9, 1}}),
                         WaveItem("stray.wav", -9, WavImage(0.1f))}); // a position past the table: not remembered
    manager->LoadPermanentBank("ui.dat");
    EXPECT_EQ(37, manager->LoadSound("fixed.wav"));
    EXPECT_EQ(60, manager->Sample(37).volume);
    EXPECT_EQ(kSampleInUse, manager->Sample(37).flags); // permanent
    const int32_t second = manager->LoadSound("second.wav");
    ASSERT_GE(second, SoundSystem::kFirstLooseSample);

    const int32_t pair = -manager->LoadSound("pair");
    ASSERT_GT(pair, 0);
    EXPECT_EQ(second, manager->Cue(pair).members[0].first);
    const int32_t voice = manager->PlayCue("pair", "");
    ASSERT_GT(voice, 0);
    EXPECT_EQ(second, manager->Voice(voice).sample);

    // A member naming a position the bank does not have plays nothing.
    EXPECT_EQ(0, manager->Cue(-manager->LoadSound("lost")).members[0].first);
    EXPECT_EQ(0, manager->PlayCue("lost", ""));
    EXPECT_GT(manager->LoadSound("stray.wav"), 0);

    // The bank is gone, its sounds stay, also past a level unload.
    manager->ReleaseLevelSounds();
    EXPECT_EQ(37, manager->LoadSound("fixed.wav"));
    EXPECT_EQ(pair, -manager->LoadSound("pair"));
}

TEST_F(BankTest, AfterALevelUnloadTheNextLooseSampleTakesTheLowestFreedSlot) {
    WriteBank("ui.dat", {WaveItem("menu.wav", 0, WavImage(0.1f))});
    manager->LoadPermanentBank("ui.dat");
    const int32_t permanent = manager->LoadSound("menu.wav");
    EXPECT_EQ(SoundSystem::kFirstLooseSample, permanent);

    WriteBank("robots.dat", {WaveItem("yes.wav", 0, WavImage(0.1f)), WaveItem("no.wav", -1, WavImage(0.1f))});
    dir.Write("robots/loose.wav", WavImage(0.1f));
    ASSERT_EQ(0, manager->LoadBank("robots.dat"));
    EXPECT_EQ(permanent + 1, manager->LoadSound("yes.wav"));
    EXPECT_EQ(permanent + 2, manager->LoadSound("no.wav"));
    manager->ReleaseLevelSounds();
    EXPECT_EQ(0, manager->Sample(permanent + 1).flags);
    EXPECT_EQ(permanent + 1, manager->LoadSound("LOOSE.wav"));
}

TEST_F(BankTest, ABankFindsItsLooseFilesInTheFolderNamedLikeIt) {
    WriteBank("robots.dat", {WaveItem("inbank.wav", 0, WavImage(0.1f))});
    dir.Write("robots/hello.wav", WavImage(0.2f));
    dir.Write("specials/elsewhere.wav", WavImage(0.2f));
    dir.Write("robots/broken.wav", "RIFF....WAVEjunk");
    ASSERT_EQ(0, manager->LoadBank("robots.dat"));
    const int32_t hello = manager->LoadSound("hello.wav");
    ASSERT_GT(hello, 0);
    EXPECT_EQ(kSampleInUse | kSampleLevel, manager->Sample(hello).flags);
    EXPECT_FLOAT_EQ(0.2f, manager->Sample(hello).duration);
    EXPECT_EQ(5.0f, manager->Sample(hello).range);
    EXPECT_EQ(0, manager->LoadSound("elsewhere.wav"));
    EXPECT_EQ(0, manager->LoadSound("broken.wav"));
    EXPECT_EQ(0, manager->Sample(hello + 1).flags);

    // An entry without an image is read from the folder too.
    WriteBank("specials.dat", {WaveItem("elsewhere.wav", 0, "")});
    ASSERT_EQ(0, manager->LoadBank("specials.dat"));
    EXPECT_GT(manager->LoadSound("elsewhere.wav"), 0);
}

TEST_F(BankTest, FixedNumbersPastTheTableMakeNoSoundAndATakenSlotIsReleasedFirst) {
    WriteBank("first.dat", {WaveItem("old.wav", 40, WavImage(0.1f)), WaveItem("far.wav", 1024, WavImage(0.1f))});
    WriteBank("second.dat", {WaveItem("new.wav", 40, WavImage(0.1f))});
    ASSERT_EQ(0, manager->LoadBank("first.dat"));
    EXPECT_EQ(0, manager->LoadSound("far.wav"));
    EXPECT_EQ(40, manager->LoadSound("old.wav"));
    manager->UnloadBank("first.dat");
    ASSERT_EQ(0, manager->LoadBank("second.dat"));
    EXPECT_EQ(40, manager->LoadSound("new.wav"));
    EXPECT_EQ(0, manager->LoadSound("old.wav")); // no stale name left behind
    EXPECT_EQ(PaddedSoundName("new.wav"), manager->Sample(40).name);
}

TEST_F(BankTest, SoundsWhoseBufferCannotBeMadeAreNotMade) {
    const plat::WaveFormat tooFast = plat::PcmFormat(192000, 16, 1);
    plat::WaveFormat noRate = plat::PcmFormat(22050, 16, 1);
    noRate.avgBytesPerSec = 0;
    plat::WaveFormat compressed = plat::PcmFormat(22050, 16, 1);
    compressed.formatTag = 2;
    WriteBank("bad.dat", {WaveItem("fast.wav", 0, WavImage(tooFast, std::string(64, '\0'))),
                          WaveItem("empty.wav", 0, WavImage(plat::PcmFormat(22050, 16, 1), "")),
                          WaveItem("norate.wav", 0, WavImage(noRate, std::string(64, '\0'))),
                          WaveItem("adpcm.wav", 0, WavImage(compressed, std::string(64, '\0'))),
                          WaveItem("fixed.wav", 12, WavImage(tooFast, std::string(64, '\0'))),
                          WaveItem("good.wav", 0, WavImage(0.1f))});
    ASSERT_EQ(0, manager->LoadBank("bad.dat"));
    for (const char* name : {"fast.wav", "empty.wav", "norate.wav", "adpcm.wav", "fixed.wav"})
        EXPECT_EQ(0, manager->LoadSound(name)) << name;
    EXPECT_EQ(0, manager->Sample(12).flags);
    EXPECT_EQ(SoundSystem::kFirstLooseSample, manager->LoadSound("good.wav"));
    int32_t handle = 0;
    EXPECT_EQ(0, manager->Play(12, "le", &handle)); // nothing to loop over
}

TEST_F(BankTest, VolumesOutsideTheTableAreClampedOnTheDevice) {
    WriteBank("ui.dat", {WaveItem("loud.wav", 5, WavImage(1.0f))});
    manager->LoadPermanentBank("ui.dat");
    const struct {
        int32_t volume, attenuation;
    } cases[] = {{250, 0}, {-20, -10000}, {100, 0}};
    for (const auto& c : cases) {
        const int32_t voice = manager->Play(5, "v", c.volume);
        manager->Update(nullptr);
        ASSERT_TRUE(manager->Voice(voice).flags & kVoiceHasBuffer);
        int32_t attenuation = 1;
        manager->Voice(voice).buffer->GetVolume(&attenuation);
        EXPECT_EQ(c.attenuation, attenuation) << c.volume;
    }
}

// A valid bank of one wave and one cue, as bytes, and the offsets of its fields.
std::string ValidBank() {
    const std::vector<uint8_t> bytes = WriteSoundBank(
        2, {WaveItem("w.wav", 0, WavImage(0.1f)), CueItem("c", kCueRandom, {{0, 1}})});
    return std::string(bytes.begin(), bytes.end());
}

void Put32(std::string& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

TEST_F(BankTest, BanksThatDoNotHoldWhatTheySayAreRefusedWhole) {
    // Entry 0 at 20: length 8 ("w.wav"), name, word, cue word, offset at 36.
    const std::string valid = ValidBank();
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a short header", valid.substr(0, 10)},
        {"another magic", "FILECHNX" + valid.substr(8)},
        {"a total size past the file", [&] { std::string b = valid; Put32(b, 8, valid.size() + 1); return b; }()},
        {"a total size below the header", [&] { std::string b = valid; Put32(b, 8, 12); return b; }()},
        {"more entries than fit", [&] { std::string b = valid; Put32(b, 16, 0x10000000); return b; }()},
        {"a negative count", [&] { std::string b = valid; Put32(b, 16, 0xFFFFFFFF); return b; }()},
        {"a name length of 5", [&] { std::string b = valid; Put32(b, 20, 5); return b; }()},
        {"a name length past the file", [&] { std::string b = valid; Put32(b, 20, 0x7FFFFFF0); return b; }()},
        {"an unterminated name", [&] { std::string b = valid; b.replace(24, 8, "wwwwwwww"); return b; }()},
        {"an offset inside the header", [&] { std::string b = valid; Put32(b, 40, 8); return b; }()},
        {"an offset past the file", [&] { std::string b = valid; Put32(b, 40, valid.size()); return b; }()},
    };
    for (const auto& c : cases) {
        dir.Write("bad.dat", c.bytes);
        EXPECT_EQ(-1, manager->LoadBank("bad.dat")) << c.what;
    }
    dir.Write("good.dat", valid);
    EXPECT_EQ(0, manager->LoadBank("good.dat"));
}

TEST_F(BankTest, RecordsThatDoNotFitMakeNoSound) {
    std::string wave = [] {
        ByteWriter r;
        WaveFile w;
        w.image = WavImage(0.1f);
        WriteWaveRecord(r, w);
        return std::string(r.bytes().begin(), r.bytes().end());
    }();
    const struct {
        const char* what;
        size_t at;
        uint32_t value;
        bool cue;
    } cases[] = {
        {"an image longer than the bank", 40, 0x00FFFFFF, false},
        {"a data chunk longer than the image", 44 + 40, 0x00FFFFFF, false},
        {"a wave record of version 4", 12, 4, false},
        {"a cue of more members than fit", 16, 1000, true},
        {"a cue record of version 2", 12, 2, true},
    };
    for (const auto& c : cases) {
        std::string record = c.cue ? [] {
            ByteWriter r;
            WriteCueRecord(r, {kCueRandom, {{0, 1}}});
            return std::string(r.bytes().begin(), r.bytes().end());
        }()
                                   : wave;
        Put32(record, c.at, c.value);
        WriteBank("bad.dat", {{"x", c.cue, std::vector<uint8_t>(record.begin(), record.end())}});
        ASSERT_EQ(0, manager->LoadBank("bad.dat")) << c.what;
        EXPECT_EQ(0, manager->LoadSound("x")) << c.what;
        manager->UnloadBank("bad.dat");
    }
}

} // namespace
