// The commands registered at start-up, in registration order. A row without a
// handler is not registered yet (its handler comes with a later change).
#include <cstdint>
#include <iterator>

#include "Tv/console/command_args.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_commands.h"
#include "Tv/console/flow_commands.h"
#include "Tv/console/repeat_text.h"
#include "Tv/console/tokens.h"
#include "Tv/console/training_commands.h"
#include "Tv/console/utility_commands.h"
#include "Tv/console/waits.h"
#include "Tv/server/client_service_hooks.h"
#include "core/stringtable.h"

namespace {

struct BuiltInCommand {
    const char* name; // null: the language string nameId
    uint32_t nameId;
    const char* help; // null: the language string helpId
    uint32_t helpId;
    CommandHandler handler;
    int32_t level;
};

constexpr BuiltInCommand Named(uint32_t nameId, uint32_t helpId, CommandHandler handler, int32_t level) {
    return {nullptr, nameId, nullptr, helpId, handler, level};
}
constexpr BuiltInCommand Row(const char* name, uint32_t helpId, CommandHandler handler, int32_t level) {
    return {name, 0, nullptr, helpId, handler, level};
}
constexpr BuiltInCommand Row(const char* name, const char* help, CommandHandler handler, int32_t level) {
    return {name, 0, help, 0, handler, level};
}

// Comment lines and the empty name.
uint8_t DoNothing() { return 0; }

uint8_t OpenStatusWindow() {
    TvOpenStatusWindow();
    return 0;
}

uint8_t NextLevel() {
    TvStartNextLevel();
    return 0;
}

constexpr const char* kCheatHelp = "You shouldn't need help with this one.";
constexpr const char* kWaterHelp = "Adds a water effect to the level. May take an area to fill later, or detail level.";
constexpr const char* kLavaHelp = "Adds a lava effect to the level. May take an area to fill later, or detail level.";
constexpr const char* kSeaHelp = "Adds a sea effect to the level. May take an area to fill later, or detail level.";
constexpr const char* kSwampHelp = "Adds a swamp effect to the level. May take an area to fill later, or detail level.";
constexpr const char* kOilHelp = "Adds an oil effect to the level. May take an area to fill later, or detail level.";

const BuiltInCommand kBuiltInCommands[] = {
    // Named by language strings.
    Named(10000, 10305, &TvCmdQuit, 0),
    Named(10001, 10306, &TvCmdQuit, 0),
    Named(10002, 10307, nullptr, 0),
    Named(10004, 10309, &TvCmdConsoleHeight, 0),
    Named(10005, 10323, &TvCmdConsoleInstant, 0),
    Named(10006, 10324, &TvCmdHelp, 0),
    Named(10007, 10325, &TvCmdPendingCap, 0),
    Named(10008, 10325, &TvCmdPendingCap, 0),
    Named(10009, 10326, &TvCmdClearScreen, 0),
    Named(10010, 10330, &TvCmdScrollbackCap, 0),
    Named(10011, 10330, &TvCmdScrollbackCap, 0),
    Named(10014, 10360, nullptr, 0),
    Named(10012, 10301, nullptr, 1),
    Named(10013, 10302, nullptr, 1),
    // Level 1.
    Row("WAIT", 10355, &TvCmdWait, 1),
    Row("REAL WAIT", "Waits the given number of real seconds before the next script line.", &TvCmdRealWait, 1),
    Row("REAL WAIT OR CLICK", "Waits the given number of real seconds, or until the next click.", &TvCmdRealWaitOrClick,
        1),
    Row("WAIT FOR", "Waits until the given condition holds.", nullptr, 1),
    Row("GET WAIT FOR", "Prints the condition being waited for.", nullptr, 1),
    Row("CHECK WAIT FOR", "Tests the condition being waited for.", nullptr, 1),
    Row("CANCEL WAIT FOR", "Stops waiting for a condition.", nullptr, 1),
    Row("HIDE CONSOLE", "Puts the console away.", &TvCmdHideConsole, 1),
    Row("TEXT", 10340, &TvCmdText, 1),
    Row("TOKEN", 10327, &TvCmdToken, 1),
    Row("IF", 10333, &TvCmdIf, 1),
    Row("IF CARRYING", "Runs the rest of the line when a player's unit carries the named item.", &TvCmdIfCarrying, 1),
    Row("@", 10334, &TvCmdSilent, 1),
    Row("ECHO", 10349, &TvCmdEcho, 1),
    Row("ASSERT", "Throws a breakpoint.", &TvCmdAssert, 1),
    Row("GET ACTOR ARMOUR", "Prints an actor's armour.", &TvCmdGetActorArmour, 1),
    Row("SET ACTOR ARMOUR", "Sets an actor's armour.", &TvCmdSetActorArmour, 1),
    Row("BATCH", 10358, &TvCmdBatch, 1),
    Row("LOG", "Writes a line to the log file.", &TvCmdLog, 1),
    Row("BATCHANDBROADCAST", "Runs a command script here and on every client.", &TvCmdBatchAndBroadcast, 1),
    Row("VISION", "Shows or hides the units' vision cones.", &TvCmdVision, 1),
    Row("PARTICLE TESTER", "Opens the particle tester at a position.", &TvCmdParticleTester, 1),
    Row("BREAK", "Empty function that I keep a breakpoint in. Useful for debugging.", &TvCmdBreak, 1),
    Row("SELECT", 10314, &TvCmdSelect, 1),
    Row("GET SELECTED", 10354, &TvCmdGetSelected, 1),
    Row("SHOW ZOOM", "Prints the camera's zoom.", nullptr, 1),
    Row("SET CAMERA", 10331, nullptr, 1),
    Row("SET CAMERA POS", 10331, nullptr, 1),
    Row("SET CAMERA POSITION", 10331, nullptr, 1),
    Row("ALTER CAMERA", 10332, nullptr, 1),
    Row("SET CAMERA ORI", 10344, nullptr, 1),
    Row("SET CAMERA ORIENTATION", 10344, nullptr, 1),
    Row("CENTRE", 10304, nullptr, 1),
    Row("SAVE CAMERA", 10341, nullptr, 1),
    Row("RESTORE CAMERA", 10342, nullptr, 1),
    Row("GET CAMERA", 10343, nullptr, 1),
    Row("SET DISTANCE", 10345, nullptr, 1),
    Row("SET REQUIRED POS", "Moves the camera smoothly to a position.", nullptr, 1),
    Row("SET REQUIRED ORI", "Turns the camera smoothly to an orientation.", nullptr, 1),
    Row("SET REQUIRED DISTANCE", "Moves the camera smoothly to a distance.", nullptr, 1),
    Row("SET JERKY DISTANCE", "Sets the camera's distance at once.", nullptr, 1),
    Row("SET REQUIRED POSDIST", "Moves the camera smoothly to a position and distance.", nullptr, 1),
    Row("SET CAMERA DISTANCE", 10345, nullptr, 1),
    Row("ROTATE CAMERA", "Rotates the camera.", nullptr, 1),
    Row("ELEVATE CAMERA", "Raises or lowers the camera's angle.", nullptr, 1),
    Row("SET CAMERA FOCUS", "Fixes the camera's focus on a position.", nullptr, 1),
    Row("FREE CAMERA FOCUS", "Releases the camera's focus.", nullptr, 1),
    Row("CAMERA TRACK", "Moves the camera along a path.", nullptr, 1),
    Row("ADD", 10310, nullptr, 1),
    Row("ADDTEAM", 10311, nullptr, 1),
    Row("ADD TEAM", 10312, nullptr, 1),
    Row("DELETE", 10313, nullptr, 1),
    Row("DELETE TEAM", "Deletes every actor of a team.", nullptr, 1),
    Row("SPAWN", "Adds an actor as a respawn does.", nullptr, 1),
    Row("SPAWNTEAM", "Adds a team's actors as a respawn does.", nullptr, 1),
    Row("SPAWN TEAM", "Adds a team's actors as a respawn does.", nullptr, 1),
    Row("EASY", "Runs the rest of the line on easy difficulty only.", nullptr, 1),
    Row("MEDIUM", "Runs the rest of the line on medium difficulty only.", nullptr, 1),
    Row("HARD", "Runs the rest of the line on hard difficulty only.", nullptr, 1),
    Row("EXTREME", "Runs the rest of the line on extreme difficulty only.", nullptr, 1),
    Row("ONLYCTF", "Runs the rest of the line in capture-the-flag games only.", nullptr, 1),
    Row("EXCEPTCTF", "Runs the rest of the line except in capture-the-flag games.", nullptr, 1),
    Row("ONLYPRESIDENT", "Runs the rest of the line in president games only.", nullptr, 1),
    Row("EXCEPTPRESIDENT", "Runs the rest of the line except in president games.", nullptr, 1),
    Row("LIST UNITS", 10320, nullptr, 1),
    Row("LIST TEAM", 10321, nullptr, 1),
    Row("GOTO", 10350, nullptr, 1),
    Row("SPEAK", 10300, nullptr, 1),
    Row("TELEPORT", "Moves the selected actor to a position.", nullptr, 1),
    Row("TELEPORT AND ORIENTATE", "Moves and turns the selected actor.", nullptr, 1),
    Row("GET ACTOR NAME", "Prints the name of the actor under the cursor.", nullptr, 1),
    Row("GET ACTOR ID", "Prints the id of the actor under the cursor.", nullptr, 1),
    Row("REFLECT", "Switches an actor's reflection.", nullptr, 1),
    Row("SHADOW", "Switches an actor's shadow.", nullptr, 1),
    Row("SET SCALE", "Scales an actor.", nullptr, 1),
    Row("GIVE CONTROL", "Gives an actor to a player.", nullptr, 1),
    Row("PLAYER SELECT", "Selects an actor for the player.", nullptr, 1),
    Row("SUNANGLE", 10317, nullptr, 1),
    Row("SUNANGLE2", "Sets the sun's direction from two angles.", nullptr, 1),
    Row("SUNBRIGHTNESS", 10318, nullptr, 1),
    Row("AMBIENT", "Sets the ambient light.", nullptr, 1),
    Row("EXPLODE", 10338, nullptr, 1),
    Row("RAY", "Adds a light ray.", nullptr, 1),
    Row("RAY COLOUR", "Sets the light rays' colour.", nullptr, 1),
    Row("RAIN", 10346, nullptr, 1),
    Row("SNOW", 10347, nullptr, 1),
    Row("RING", "Adds an expanding ring.", nullptr, 1),
    Row("PULSE RINGS", "Adds pulsing rings.", nullptr, 1),
    Row("REMOVE PULSE RINGS", "Removes pulsing rings.", nullptr, 1),
    Row("LIGHT CYLINDER", "Adds a light cylinder.", nullptr, 1),
    Row("REMOVE LIGHT CYLINDER", "Removes a light cylinder.", nullptr, 1),
    Row("BASIN", "Adds a basin effect.", nullptr, 1),
    Row("RATE", "Sets the weather's rate.", nullptr, 1),
    Row("QOR GOD", kCheatHelp, nullptr, 1),
    Row("WIREFRAME", "Draws the scene as wireframe.", nullptr, 1),
    Row("RESET TIME", "Testing: resets the clocks.", nullptr, 1),
    Row("TIMER INFO", "Testing: prints the clocks.", nullptr, 1),
    Row("QOR INFINITE AMMO", kCheatHelp, nullptr, 1),
    Row("SET", 10328, &TvCmdSet, 1),
    Row("LIST TOKENS", 10329, &TvCmdListTokens, 1),
    Row("TEXT COLOUR", 10351, nullptr, 1),
    Row("CURSOR COLOUR", 10352, nullptr, 1),
    Row("VERSION", 10356, nullptr, 1),
    Row("ADD MISSION", 10303, nullptr, 1),
    Row("ADDMISSION", 10303, nullptr, 1),
    Row("ADD MULTI MISSION", 10303, nullptr, 1),
    Row("ADDMULTIMISSION", 10303, nullptr, 1),
    Row("ADD MULTIMISSION", 10303, nullptr, 1),
    Row("OBJECTIVE TEXT", "Prints an objective's text.", nullptr, 1),
    Row("RECORD", "Records a demo.", nullptr, 1),
    Row("PLAYBACK", "Plays the recorded demo.", nullptr, 1),
    Row("SAVE", "Saves the recorded demo to a file.", nullptr, 1),
    Row("LOAD", "Loads a demo from a file.", nullptr, 1),
    Row("PLAY CUTSCENE", "Plays a cutscene.", nullptr, 1),
    Row("SWITCH DETAIL LEVEL", "Switches between the detailed and the simple shapes.", nullptr, 1),
    Row("CREDITS", "Shows the credits.", nullptr, 1),
    Row("INFO DIALOG TEST", "Testing: shows an information dialog.", nullptr, 1),
    Row("CONFIRM DIALOG TEST", "Testing: shows a confirmation dialog.", nullptr, 1),
    Row("CLEAR DIALOGS", "Closes every dialog.", nullptr, 1),
    Row("CENTRE CURSOR TEST", "Just for testing TvCentreCursor().", nullptr, 1),
    Row("STATUS WINDOW", 10357, &OpenStatusWindow, 1),
    // Level 3.
    Named(10003, 10308, &TvCmdListCommands, 3),
    Row("REM", 10316, &DoNothing, 3),
    Row("//", 10316, &DoNothing, 3),
    Row("", "You shouldn't be seeing this !", &DoNothing, 3),
    Row("REPTXT", "Shows a training text again and again.", &TvCmdRepeatText, 3),
    Row("PLAY ENVIRONMENTAL SOUND", "Plays a looping sound.", &TvCmdPlayEnvironmentalSound, 3),
    Row("PLAY SOUND", "Plays a sound.", &TvCmdPlaySound, 3),
    Row("SET TRAINING AREA", "Sets the training area, 1 to 6.", &TvCmdSetTrainingArea, 3),
    Row("TRNTXT", "Prints a training text.", &TvCmdTrainingText, 3),
    Row("WATCH", "Selects an actor and shows it in the status window.", &TvCmdWatch, 3),
    Row("CONTROLS", "Switches the player's controls.", nullptr, 3),
    Row("STOP TRACKING", "Stops the camera following an actor.", nullptr, 3),
    Row("STOP TRACKING", "The camera no longer follows anything.", nullptr, 3),
    Row("TRACK", "The camera follows an actor.", nullptr, 3),
    Row("FADE TO BLACK", "Fades the screen out.", nullptr, 3),
    Row("FADE FROM BLACK", "Fades the screen in.", nullptr, 3),
    Row("BORDERS ", "Shows the cinema borders.", nullptr, 3),
    Row("BORDERS OFF", "Hides the cinema borders.", nullptr, 3),
    Row("PAUSE GAME", "Pauses the game.", nullptr, 3),
    Row("CURSOR", "Shows or hides the cursor.", nullptr, 3),
    Row("SET MAX DISTANCE", "Sets the camera's largest distance.", nullptr, 3),
    Row("SET ACTIVITY", 10335, nullptr, 3),
    Row("ADD WAYPOINT", 10336, nullptr, 3),
    Row("ADD PATROLPOINT", "Adds a patrol point for the selected actor.", nullptr, 3),
    Row("ADD PP", "Adds a patrol point for the selected actor.", nullptr, 3),
    Row("AI", "Switches an actor's AI.", nullptr, 3),
    Row("SET TRACK", "Puts an actor on a track.", nullptr, 3),
    Row("RUN TRACK", "Runs an actor's track.", nullptr, 3),
    Row("BOARD", "An actor boards a vehicle.", nullptr, 3),
    Row("DEFOGGER", "Clears the fog of war around an actor.", nullptr, 3),
    Row("FOGGER", "Fogs an actor's surroundings.", nullptr, 3),
    Row("FRAG", "Destroys an actor.", nullptr, 3),
    Row("REMOVEBB", "Removes an actor's bounding box.", nullptr, 3),
    Row("ANIM", "Plays an actor's animation.", nullptr, 3),
    Row("SET UPPER LEFT BOUND", "Sets an actor's upper left bound.", nullptr, 3),
    Row("SET LOWER RIGHT BOUND", "Sets an actor's lower right bound.", nullptr, 3),
    Row("SET SPEED", "Sets an actor's speed.", nullptr, 3),
    Row("SET LOOP TIME", "Sets an actor's loop time.", nullptr, 3),
    Row("PAUSE", "Pauses an actor.", nullptr, 3),
    Row("UNPAUSE", "Lets a paused actor go on.", nullptr, 3),
    Row("SMOKE", "An actor smokes.", nullptr, 3),
    Row("STOP PARTICLES", "Stops an actor's particles.", nullptr, 3),
    Row("PRESIDENT", "Makes an actor the president.", nullptr, 3),
    Row("TEXTURE ANIMATE", "Animates an actor's texture.", nullptr, 3),
    Row("HUNTER", "Makes an actor a hunter.", nullptr, 3),
    Row("FLARE FIRER", "Makes an actor fire flares.", nullptr, 3),
    Row("TURN VISION CONE", "Turns an actor's vision cone.", nullptr, 3),
    Row("TURN HEARING RANGE", "Sets an actor's hearing range.", nullptr, 3),
    Row("NEW NODE WAYPOINT LIST", "Starts a node's new waypoint list.", nullptr, 3),
    Row("ALERT NODE", "Alerts a node.", nullptr, 3),
    Row("ADD LIGHT", "Adds a light.", nullptr, 3),
    Row("ADD BLINKING LIGHT", "Adds a blinking light.", nullptr, 3),
    Row("LIGHTON", "Switches a light.", nullptr, 3),
    Row("ASSOCIATELIGHT", "Ties a light to an actor.", nullptr, 3),
    Row("LIGHTNING", "Adds lightning.", nullptr, 3),
    Row("ELECTRICITY", "Adds an electric arc.", nullptr, 3),
    Row("LASER FENCE", "Adds a laser fence.", nullptr, 3),
    Row("DEACTIVATE ELECTRICITY", "Removes an electric arc.", nullptr, 3),
    Row("SPOTLIGHT", "Adds a spotlight.", nullptr, 3),
    Row("CORONA", "Adds a corona.", nullptr, 3),
    Row("SPARKS", "Adds sparks.", nullptr, 3),
    Row("EWS", "Adds an early warning signal.", nullptr, 3),
    Row("AIRSTRIKE", "Calls an air strike.", nullptr, 3),
    Row("WATER", kWaterHelp, nullptr, 3),
    Row("LAVA", kLavaHelp, nullptr, 3),
    Row("SEA", kSeaHelp, nullptr, 3),
    Row("SWAMP", kSwampHelp, nullptr, 3),
    Row("OIL", kOilHelp, nullptr, 3),
    Row("SET WATER SPEED", "Sets the liquid's flow speed.", nullptr, 3),
    Row("SET WATER DIRECTION", "Sets the liquid's flow direction.", nullptr, 3),
    Row("RAISE WATER", "Raises a liquid.", nullptr, 3),
    Row("LOWER WATER", "Lowers a liquid.", nullptr, 3),
    Row("RAISE LAVA", "Raises a liquid.", nullptr, 3),
    Row("LOWER LAVA", "Lowers a liquid.", nullptr, 3),
    Row("INC", "Adds one to a token.", &TvCmdInc, 3),
    Row("DEC", "Takes one from a token.", &TvCmdDec, 3),
    Row("ATTACH", "Lets characters walk on and off an actor.", nullptr, 3),
    Row("DETACH", "Stops characters walking on or off an actor.", nullptr, 3),
    Row("DOOR", "Makes a door of the level's polygons.", nullptr, 3),
    Row("OPEN DOOR", "Opens a door.", nullptr, 3),
    Row("CLOSE DOOR", "Closes a door.", nullptr, 3),
    Row("TOGGLE DOOR", "Opens a closed door, closes an open one.", nullptr, 3),
    Row("ADD OBJECTIVE", "Adds a mission objective.", nullptr, 3),
    Row("COMPLETE OBJECTIVE", "Completes a step of an objective.", nullptr, 3),
    Row("FAIL OBJECTIVE", "Fails an objective.", nullptr, 3),
    Row("CD FADE", "Fades the music.", nullptr, 3),
    Row("CD SET VOLUME", "Sets the music's volume.", nullptr, 3),
    Row("CD PLAY", "Plays music tracks.", nullptr, 3),
    Row("CD STOP", "Stops the music.", nullptr, 3),
    Row("CD AUTO", "Switches the mood music.", nullptr, 3),
    Row("CD TRACKS", "Sets a mood's music tracks.", nullptr, 3),
    Row("CD VICTORY KILLS", "Sets the kills that play the victory music.", nullptr, 3),
    Row("BATTLE NUMBER", "Sets the fighters that play the battle music.", nullptr, 3),
    Row("EPW", "Switches the enemy position warning.", nullptr, 3),
    Row("FRIENDLY FIRE", "Switches friendly fire.", nullptr, 3),
    Row("START PRINTING OBJECTIVES", "Prints the objectives after a delay.", nullptr, 3),
    Row("PLAY FMV", "Plays a movie.", nullptr, 3),
    Row("FMV", "Ends the level with the winning or the losing movie.", nullptr, 3),
    Row("ADD TRIGGER", "Adds a level trigger.", nullptr, 3),
    Row("REMOVE TRIGGER", "Removes a level trigger.", nullptr, 3),
    Row("ASSOCIATE", "Ties an item to an actor.", nullptr, 3),
    Row("LINK", "Links two switches.", nullptr, 3),
    Row("REQUIRES", "A switch requires an item.", nullptr, 3),
    Row("HEAP", "Adds a heap of items.", nullptr, 3),
    Row("RESPAWN HEAP", "Adds a heap of items that comes back.", nullptr, 3),
    Row("GIVE AND EQUIP AND SAY", "Gives an actor an item, equips it and says so.", nullptr, 3),
    Row("GIVE AND SAY", "Gives an actor an item and says so.", nullptr, 3),
    Row("GIVE AND EQUIP", "Gives an actor an item and equips it.", nullptr, 3),
    Row("GIVE AND EQUIP ROLE", "Gives every actor of a role an item and equips it.", nullptr, 3),
    Row("GIVE AND EQUIP ROLE TEAM", "Gives a team's actors of a role an item and equips it.", nullptr, 3),
    Row("GIVE AND EQUIP ROLE ID", "Gives the respawns of a role an item and equips it.", nullptr, 3),
    Row("GIVE", "Gives an actor an item.", nullptr, 3),
    Row("GIVE ROLE", "Gives every actor of a role an item.", nullptr, 3),
    Row("GIVE ROLE TEAM", "Gives a team's actors of a role an item.", nullptr, 3),
    Row("GIVE ROLE ID", "Gives the respawns of a role an item.", nullptr, 3),
    Row("NEXT RESPAWN ID", "Sets the id of the next respawn.", nullptr, 3),
    Row("VULNERABILITY", "Sets what can hurt an actor.", nullptr, 3),
    Row("TURRET LOS", "Switches a turret's line of sight test.", nullptr, 3),
    Row("REMOVE ITEM", "Removes an item.", nullptr, 3),
    Row("HURT TAVRIN IF NECESSARY", "Hurts the lead character when the level needs it.", nullptr, 3),
    Row("NEXT LEVEL", "Leaves the level and starts the next one.", &NextLevel, 3),
};

static_assert(std::size(kBuiltInCommands) == 256);

// Tokens every script may use: RES, and the two sides' team numbers.
constexpr const char* kStartUpLines[] = {"@TOKEN RES", "@TOKEN FRIENDLY", "@TOKEN ENEMY", "SET FRIENDLY 1",
                                         "SET ENEMY 2"};

} // namespace

void TvRegisterBuiltInCommands() {
    for (const BuiltInCommand& row : kBuiltInCommands) {
        if (!row.handler) continue;
        TvRegisterCommand(row.name ? row.name : StringTableLookup(row.nameId),
                          row.help ? row.help : StringTableLookup(row.helpId), row.handler, row.level);
    }
    for (const char* line : kStartUpLines) TvExecuteLine(line);
}
