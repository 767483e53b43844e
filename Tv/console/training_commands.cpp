#include "Tv/console/training_commands.h"

#include <cstdio>

#include "Tv/console/command_args.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/line_parser.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/game_options.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/sim/server_object.h"
#include "chunkfile/nametext.h"
#include "core/stringtable.h"
#include "sound/sound_system.h"

uint8_t VisionConesShown = 0;
int32_t EnvironmentalSoundHandle = 0;

namespace {

constexpr int32_t kFirstTrainingArea = 1;
constexpr int32_t kLastTrainingArea = 6;
// String ids of the training texts: the text number plus the area's base.
constexpr uint32_t kTrainingTextBase[kLastTrainingArea] = {13099, 13199, 13299, 13399, 13499, 13527};

constexpr int32_t kDefaultParticleType = 5;
struct ParticleTypeName {
    const char* name;
    int32_t type;
};
constexpr ParticleTypeName kParticleTypes[] = {
    {"explosion", 5}, {"bigexplosion", 6}, {"smoke", 0}, {"steam", 1}, {"trail", 9},
    {"snow", 2},      {"rain", 11},        {"shot", 4},  {"fire", 3},  {"sparks", 12},
};

void PlaySoundArgument(const char* options, int32_t* handle) {
    const int32_t sound = TvParseInt(0);
    if (sound == 0 || !SoundSystemInstance) return;
    if (handle)
        SoundSystemInstance->Play(sound, options, handle);
    else
        SoundSystemInstance->Play(sound, options);
}

void PrintNoActor() { TvConsolePrint("Couldn't find actor or no actor specified."); }

} // namespace

const char* TvTrainingText(int32_t number) {
    const int32_t area = GameOptions.TrainingArea;
    if (number <= 0 || area < kFirstTrainingArea || area > kLastTrainingArea) return nullptr;
    const char* text = StringTableLookup(kTrainingTextBase[area - 1] + static_cast<uint32_t>(number));
    return text[0] ? text : nullptr;
}

int32_t TvParseParticleType() {
    ConsoleText word;
    TvParseWord(word);
    for (const ParticleTypeName& entry : kParticleTypes)
        if (EqualsIgnoringCase(word, entry.name)) return entry.type;
    TvConsolePrint("Invalid particle type specified.");
    return kDefaultParticleType;
}

uint8_t TvCmdSetTrainingArea() {
    const int32_t area = TvParseInt(-1);
    if (area >= kFirstTrainingArea && area <= kLastTrainingArea) GameOptions.TrainingArea = area;
    return 1;
}

uint8_t TvCmdTrainingText() {
    if (const char* text = TvTrainingText(TvParseInt(-1))) TvConsolePrint(text);
    return 1;
}

uint8_t TvCmdGetActorArmour() {
    if (!TvIsServerRunning()) return 0;
    ServerLockHold lock;
    ServerObject* actor = nullptr;
    if (!TvParseActor(actor)) {
        PrintNoActor();
        return 0;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Armour value: %f", static_cast<double>(actor->GetArmour()));
    TvConsolePrint(text);
    return 1;
}

uint8_t TvCmdSetActorArmour() {
    if (!TvIsServerRunning()) return 0;
    const float armour = TvParseFloat(-1.0f);
    if (armour < 0.0f) return 0;
    int32_t id = 0;
    {
        ServerLockHold lock;
        ServerObject* actor = nullptr;
        if (!TvParseActor(actor)) return 0;
        actor->SetArmour(armour);
        id = actor->Id;
    }
    ByteWriter message;
    message.I32(MSG_SET_ARMOUR);
    message.I32(id);
    message.F32(armour);
    TvBroadcast(message, true);
    return 1;
}

uint8_t TvCmdPlaySound() {
    PlaySoundArgument("", nullptr);
    return 1;
}

uint8_t TvCmdPlayEnvironmentalSound() {
    PlaySoundArgument("ler", &EnvironmentalSoundHandle);
    return 1;
}

uint8_t TvCmdVision() {
    VisionConesShown = TvParseBool() != 0 ? 1 : 0;
    return 1;
}

uint8_t TvCmdParticleTester() {
    Vector3 position;
    if (!TvParsePosition(position)) return 0;
    TvOpenParticleTester(position, TvParseParticleType());
    return 1;
}
