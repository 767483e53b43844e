#include "Tv/console/command_args.h"

#include <string>
#include <string_view>

#include "Awapi/model/dummy_object.h"
#include "Tv/client/client_objects.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/line_parser.h"
#include "Tv/console/tokens.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "Tv/world/level_world.h"
#include "core/hashtable.h"
#include "core/numeric.h"
#include "core/serverthread.h"
#include "core/stringtable.h"

int32_t SelectedActorId = -1;
uint8_t NoActorSelected = 1;

namespace {

// A dummy's type name is the first line of its text; "Sound" dummies are
// never positions.
bool IsSoundDummy(const AwDummyObject& dummy) {
    if (!dummy.Text) return false;
    const std::string_view text = *dummy.Text;
    const std::string type(text.substr(0, text.find_first_of("\r\n")));
    return NameEquals(type.c_str(), "Sound");
}

bool DummyPosition(const char* name, Vector3& position, Quaternion* orientation) {
    for (const AwDummyObject& dummy : LevelDummyList) {
        if (IsSoundDummy(dummy) || !dummy.Name || !NameEquals(dummy.Name->c_str(), name)) continue;
        position = dummy.Position;
        if (orientation) *orientation = dummy.Orientation;
        return true;
    }
    TvConsolePrint("Invalid dummy object specified.");
    return false;
}

// SELECT and WATCH: the id given, or with none (negative) the object under
// the cursor; false (string 11028 printed) when there is none.
bool ChooseActor(int32_t& id) {
    id = TvParseInt(-1);
    if (id >= 0) return true;
    if (TvIsClientAttached() && CurrentClientObject) {
        id = CurrentClientObject->GetId();
        return true;
    }
    TvPrintString(11028);
    return false;
}

} // namespace

bool TvIsInLevelState(int32_t state) { return state == 5 || state == 6 || state == 7 || state == 17; }

bool TvGuardInLevel() {
    if (TvIsInLevelState(CurrentGameState)) return true;
    TvPrintString(11019);
    return false;
}

bool TvGuardLevelNotOver() { return GameOptions.LevelStatus != kLevelOver; }

bool TvGuardSimulation() { return TvIsServerRunning(); }

bool TvGuardClient() { return TvIsClientAttached(); }

void TvPrintString(uint32_t id) { TvConsolePrint(StringTableLookup(id)); }

bool TvParsePosition(Vector3& position, Quaternion* orientation) {
    if (!TvGuardInLevel()) return false;
    if (TvNextArgIsNumber()) {
        position.x = TvParseFloat(0.0f);
        position.y = TvParseFloat(0.0f);
        position.z = TvParseFloat(0.0f);
        return true;
    }
    if (TvNextArgIsWord()) {
        ConsoleText word;
        TvParseWord(word);
        return DummyPosition(word, position, orientation);
    }
    if (!LevelWorldInstance || !LevelWorldInstance->cursorPointValid) {
        TvPrintString(11020);
        return false;
    }
    position = LevelWorldInstance->cursorPoint;
    return true;
}

bool TvParseActor(ServerObject*& actor) {
    ConsoleText word;
    TvParseWord(word);
    float value = 0.0f;
    if (word[0] == '\0' || !TokenTable::Get(word, value)) return false;
    actor = TvFindActor(FloorToInt(value));
    return actor && actor->IsAlive();
}

uint8_t TvCmdSelect() {
    if (!TvGuardInLevel()) return 0;
    int32_t id = -1;
    if (!ChooseActor(id)) return 0;
    SelectedActorId = id;
    NoActorSelected = 0;
    return 0;
}

uint8_t TvCmdWatch() {
    // WATCH marks a selection and opens the watch view even when it finds
    // no actor, outside a level too.
    int32_t id = -1;
    if (TvGuardInLevel() && ChooseActor(id)) SelectedActorId = id;
    NoActorSelected = 0;
    StatusWindowMode = 2;
    return 0;
}

uint8_t TvCmdGetSelected() {
    if (!TvGuardInLevel() || !TvGuardClient()) return 0;
    TvSelectNextSquadMember();
    TvSelectPreviousSquadMember();
    const int32_t id = TvFirstSelectedObjectId();
    if (id < 0) return 0;
    TvSetResultToken(static_cast<float>(id));
    const std::string text = std::string(StringTableLookup(12022)) + std::to_string(id) + StringTableLookup(12008);
    TvConsolePrint(text.c_str());
    TvExecuteLine(("SELECT " + std::to_string(id)).c_str());
    return 0;
}

void TvResetCommandArgs() {
    SelectedActorId = -1;
    NoActorSelected = 1;
}
