// Compiling a level script of a few megabytes: many characters, lights,
// projectiles and roles with their properties, and a map placing them.
// Reports the script's bytes per second through both compiler passes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "Tv/defs/compiler.h"
#include "platform/files.h"
#include "platform/fpu.h"
#include "platform/textfile.h"

namespace {

std::string GenerateLevel(int units) {
    std::string s = "// Generated benchmark level.\n#define SPEED 1.75\n\n";
    for (int i = 0; i < units; ++i) {
        const std::string n = std::to_string(i);
        s += "/* Unit " + n + " */\n";
        s += "character walker_" + n +
             " {\n"
             "    walking speed SPEED\n    turning speed 0.5\n    strength 40\n    aim 3\n"
             "    sight angle 45\n    sight range 30\n    hearing range 20\n    aggression 0.65\n"
             "    weapon plasma pistol\n    secondary weapon enemy laser weak\n"
             "    max weapon 2  max ammo 4  max module 1\n    description tavrin description\n"
             "    initial first person range 10\n    maximum first person range 30\n}\n";
        s += "light glow_" + n +
             " { red 0.5 green 0.75 blue 1.0 specular red 0.1 specular green 0.1 specular blue 0.1 range 4 }\n";
        s += "projectile shot_" + n + " { damage 12.5 blast damage 3 blast range 1.5 gravity no hit_light glow_" + n +
             " sound plasmahit2 hit sound }\n";
        s += "destructibility wreck_" + n + " { type explode }\n";
        s += "role unit_" + n + " {\n    identifier \"Unit" + n + "\"\n    character walker_" + n +
             "\n    light glow_" + n + "\n    projectile shot_" + n + "\n    destructibility wreck_" + n +
             "\n    alpha fogging no\n    per vertex fogging yes\n    ai scavenger\n"
             "    recon name drone recon\n    armour 25.5  shields 10\n    resistance resists laser\n"
             "    resistance factor 0.5\n    pickup radius 2.5\n    sever point \"arm,leg\"\n}\n\n";
    }
    s += "map level { name \"Level\" file \"level.qif\" bitmap none camera plane none max camera distance 80\n";
    for (int i = 0; i < units; ++i) {
        const std::string n = std::to_string(i);
        s += "    use unit_" + n + " in team 1 for \"Spawn" + n + "\" as \"S" + n + "\"\n";
    }
    return s + "}\n";
}

class LevelScript {
public:
    LevelScript() {
        path_ = (std::filesystem::temp_directory_path() / ("tavrin-bench-" + std::to_string(std::random_device{}()) + ".tvs"))
                    .string();
        text_ = GenerateLevel(2500);
        plat::TextFile file = plat::TextFile::Open(path_, "wb");
        file.Write(text_);
    }
    ~LevelScript() { plat::DeleteFile(path_); }
    const std::string& Path() const { return path_; }
    size_t Size() const { return text_.size(); }

private:
    std::string path_;
    std::string text_;
};

// One compile before the measured ones, so they find the program's code and
// the heap in use, as every level load after the first does.
void CompileOnce(const LevelScript& script) { ScriptObjectList::Delete(TvCompileScript(script.Path(), kScriptModeLevel)); }

void BM_CompileLevelScript(benchmark::State& state) {
    plat::SetGameFpuMode();
    static const LevelScript script;
    static const bool warm = (CompileOnce(script), true);
    (void)warm;
    for (auto _ : state) {
        ScriptObjectList* list = TvCompileScript(script.Path(), kScriptModeLevel);
        benchmark::DoNotOptimize(list);
        ScriptObjectList::Delete(list);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(script.Size()));
    state.counters["script_MB"] = static_cast<double>(script.Size()) / (1 << 20);
}
BENCHMARK(BM_CompileLevelScript)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
