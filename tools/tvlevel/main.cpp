// tvlevel [-w DIR] LEVEL [--object NAME] [QUERY...]
//
// Loads a level on the null backend as the game does and answers questions
// about it: LEVEL is a level script (compiled from the scripts directory of
// the tree whose tvdirs.tvs is applied from DIR, the current directory by
// default), whose map writes and reads the level's caches, or a bare model
// file (.qif) whose object NAME (the first with a shape by default) is the
// level's geometry, without caches. Queries come as arguments, or else one
// per line on standard input:
//   ray X0 Y0 Z0 X1 Y1 Z1      hit FRACTION X Y Z POLYGON, or none
//   floor X Y Z                floor Y POLYGON, or none
//   path X0 Y0 Z0 X1 Y1 Z1 [MASK]  path N LENGTH and N lines X Y Z POLYGON, or none
//   info                       info POLYGONS CELLS WAYPOINTS LINKS
//   dummies                    dummy NAME X Y Z, one a dummy
//   placements                 placement ID TEAM DEFINITION X Y Z [VARIABLE], one an actor
// A bad query is reported on standard error and makes the exit status 1.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Awapi/aw3d/headless_start.h"
#include "Awapi/aw3d/startup.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "platform/fpu.h"
#include "tools/tvlevel/level_loading.h"
#include "tools/tvlevel/queries.h"

namespace {

struct Options {
    std::string directory;
    std::string level;
    std::string object;
    std::vector<std::string> queryWords;
};

int Usage() {
    std::fputs("usage: tvlevel [-w DIR] LEVEL [--object NAME] [QUERY...]\n", stderr);
    return 2;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "-w") == 0 && hasValue && options.level.empty())
            options.directory = argv[++i];
        else if (std::strcmp(argv[i], "--object") == 0 && hasValue)
            options.object = argv[++i];
        else if (options.level.empty())
            options.level = argv[i];
        else
            options.queryWords.push_back(argv[i]);
    }
    return !options.level.empty();
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Answers one query; false (reported) when it is not a query.
bool Answer(const std::vector<std::string>& words, const LoadedLevel& level) {
    if (AnswerQuery(words, level)) return true;
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    std::fprintf(stderr, "tvlevel: bad query: %s\n", text.c_str());
    return false;
}

// The queries given as arguments, one after another.
bool AnswerArguments(const std::vector<std::string>& words, const LoadedLevel& level) {
    bool good = true;
    for (size_t i = 0; i < words.size();) {
        const size_t length = QueryLength(words, i);
        const size_t taken = length > 0 ? length : 1;
        good &= Answer(std::vector<std::string>(words.begin() + i, words.begin() + i + taken), level);
        i += taken;
    }
    return good;
}

bool AnswerLines(const LoadedLevel& level) {
    bool good = true;
    for (std::string line; std::getline(std::cin, line);) {
        const std::vector<std::string> words = Words(line);
        if (!words.empty()) good &= Answer(words, level);
        std::fflush(stdout);
    }
    return good;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return Usage();
    plat::SetGameFpuMode();
    RecalibrateClocks(0);
    RegisterAllChunkClasses();
    if (!AwStartHeadless(640, 480)) {
        std::fputs("tvlevel: cannot start the engine\n", stderr);
        return 1;
    }
    LoadedLevel level;
    bool good = LoadLevel(options.directory, options.level, options.object, level);
    if (good) good = options.queryWords.empty() ? AnswerLines(level) : AnswerArguments(options.queryWords, level);
    UnloadLevel();
    AwShutdown();
    return good ? 0 : 1;
}
