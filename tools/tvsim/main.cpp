// tvsim LEVEL [--passes N] [--seed S] [--trace FILE]
//
// Runs a level's fight headless on the null backends: the level script's
// placements in the story game on a driven server whose thread's random
// generator is seeded with S (1 by default), N passes (600 by default) of
// 50 ms of virtual time each. Prints `team T alive N` per team with actors,
// `shots N` and `deaths N`; with --trace, writes one line `PASS DIR TYPE SIZE
// HEX` per message to FILE. The same arguments give the same output. Errors
// go to standard error with exit status 1.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "Awapi/aw3d/headless_start.h"
#include "Awapi/aw3d/startup.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "platform/fpu.h"
#include "platform/virtual_clock.h"
#include "tools/tvsim/fight_run.h"

namespace {

constexpr uint32_t kCalibrationRounds = 200; // as a level load calibrates

int Usage(const char* problem) {
    std::fprintf(stderr, "tvsim: %s\nusage: tvsim LEVEL [--passes N] [--seed S] [--trace FILE]\n", problem);
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

// An empty string when the arguments are good, else what is wrong with them.
std::string ParseOptions(int argc, char** argv, FightOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--passes" || word == "--seed" || word == "--trace") {
            if (i + 1 >= argc) return word + " needs a value";
            const char* value = argv[++i];
            if (word == "--trace") {
                options.trace = value;
                continue;
            }
            const std::optional<uint32_t> number = ParseCount(value);
            if (!number) return "bad number for " + word + ": " + value;
            (word == "--passes" ? options.passes : options.seed) = *number;
        } else if (word.size() > 1 && word[0] == '-') {
            return "unknown option " + word;
        } else if (options.level.empty()) {
            options.level = word;
        } else {
            return "more than one level: " + word;
        }
    }
    return options.level.empty() ? "no level given" : "";
}

} // namespace

int main(int argc, char** argv) {
    FightOptions options;
    if (const std::string problem = ParseOptions(argc, argv, options); !problem.empty()) return Usage(problem.c_str());
    plat::SetGameFpuMode();
    RegisterAllChunkClasses();
    bool started;
    {
        // A clock that moves on every reading: calibration ends at once, with the same figures every run.
        plat::VirtualClock stepping;
        started = AwStartHeadless(640, 480);
        RecalibrateClocks(kCalibrationRounds);
    }
    if (!started) {
        std::fputs("tvsim: cannot start the engine\n", stderr);
        return 1;
    }
    const bool good = RunFight(options);
    AwShutdown();
    return good ? 0 : 1;
}
