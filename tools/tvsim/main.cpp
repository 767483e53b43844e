// tvsim LEVEL [--passes N] [--seed S] [--trace FILE] [--game-type T] [--players P]
//             [--client] [--script FILE] [--console]
//             [--fetch UNIT PICKUP] [--walk UNIT PLACE] [--attack UNIT PLACE] ...
//
// Runs a level's fight headless on the null backends: the level script's
// placements in game type T (0, the story game, by default) with P players
// (1 by default; more only in the multiplayer types 1 to 5) on a driven
// server whose thread's random generator is seeded with S (1 by default), N
// passes (600 by default) of 50 ms of virtual time each. Before the first
// pass, the units named by level variables (the map's `as` names) are given
// the orders, queued in the order written: fetch a pickup (a variable), walk
// to a place (a variable's actor or a level dummy), attack a place (an actor,
// or a dummy's position). Prints `team T alive N` per team with actors,
// `shots N` and `deaths N`, then `unit NAME rounds N` (-1: no unit or no
// inventory) for each unit given orders; with --trace, writes one line `PASS
// DIR TYPE SIZE HEX` per message to FILE. With --client a headless client
// in the same process follows the server over the local queues, one frame
// per pass, and the summary adds its objects held against the server's
// actors and the records it dropped (the trace adds `PASS DROP TYPE SIZE HEX
// REASON` lines). With --script the command script FILE is queued after the
// load (and the client's handshake) and drained, then runs a line a pass;
// with --console each pass takes one line of standard input as a typed
// console line. Console lines go to standard output; without --passes such a
// run ends when the script and the input are done (status 1 when they are
// not within the pass cap). The same arguments give the same output. Errors
// go to standard error with exit status 1; the quit command ends with status 1.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "Awapi/aw3d/startup.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/headless_level.h"
#include "Tv/server/session_players.h"
#include "tools/tvsim/fight_run.h"

namespace {

int Usage(const char* problem) {
    std::fprintf(stderr,
                 "tvsim: %s\nusage: tvsim LEVEL [--passes N] [--seed S] [--trace FILE] [--game-type T] [--players P]\n"
                 "                   [--client] [--script FILE] [--console]\n"
                 "                   [--fetch UNIT PICKUP] [--walk UNIT PLACE] [--attack UNIT PLACE] ...\n",
                 problem);
    return 1;
}

// A decimal number from 0 to 2^32 - 1, as written; none otherwise.
std::optional<uint32_t> ParseCount(const char* word) {
    if (!*word || *word < '0' || *word > '9') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(word, &end, 10);
    if (*end != '\0' || errno != 0 || value > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(value);
}

struct NumberOption {
    const char* name;
    uint32_t FightOptions::*field;
    uint32_t low, high;
};
constexpr NumberOption kNumberOptions[] = {
    {"--passes", &FightOptions::passes, 0, UINT32_MAX},
    {"--seed", &FightOptions::seed, 0, UINT32_MAX},
    {"--game-type", &FightOptions::gameType, kGameStory, kGameCaptureTheFlag},
    {"--players", &FightOptions::players, 1, kMaxSessionPlayers},
};

const NumberOption* FindNumberOption(const std::string& word) {
    for (const NumberOption& option : kNumberOptions)
        if (word == option.name) return &option;
    return nullptr;
}

// An empty string when the arguments are good, else what is wrong with them.
std::string ParseOptions(int argc, char** argv, FightOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        ScenarioOrder order{};
        if (ScenarioOrderKind(word, order.kind)) {
            if (i + 2 >= argc) return word + " needs a unit and a place";
            order.unit = argv[++i];
            order.place = argv[++i];
            options.orders.push_back(order);
        } else if (const NumberOption* number = FindNumberOption(word);
                   number || word == "--trace" || word == "--script") {
            if (i + 1 >= argc) return word + " needs a value";
            const char* value = argv[++i];
            if (!number) {
                (word == "--trace" ? options.trace : options.script) = value;
                continue;
            }
            if (word == "--passes") options.passesGiven = true;
            const std::optional<uint32_t> parsed = ParseCount(value);
            if (!parsed || *parsed < number->low || *parsed > number->high)
                return "bad number for " + word + ": " + value;
            options.*number->field = *parsed;
        } else if (word == "--client") {
            options.client = true;
        } else if (word == "--console") {
            options.console = true;
        } else if (word.size() > 1 && word[0] == '-') {
            return "unknown option " + word;
        } else if (options.level.empty()) {
            options.level = word;
        } else {
            return "more than one level: " + word;
        }
    }
    if (options.players > 1 && options.gameType == kGameStory) return "the story game has one player";
    return options.level.empty() ? "no level given" : "";
}

} // namespace

int main(int argc, char** argv) {
    FightOptions options;
    if (const std::string problem = ParseOptions(argc, argv, options); !problem.empty()) return Usage(problem.c_str());
    if (!TvStartHeadlessEngine()) {
        std::fputs("tvsim: cannot start the engine\n", stderr);
        return 1;
    }
    const bool good = RunFight(options);
    AwShutdown();
    return good ? 0 : 1;
}
