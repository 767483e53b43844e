// The software mixer: 32 and 128 looping voices of 22,050 Hz 16-bit mono at
// assorted volumes and pans, mixed into 44,100 Hz 16-bit stereo in blocks the
// size of an audio callback. "realtime" is seconds of sound mixed per second.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dsound/mixer.h"

namespace {

constexpr uint32_t kOutputRate = 44100;
constexpr uint32_t kCallbackFrames = 1024;

void MixVoices(benchmark::State& state) {
    const auto voices = static_cast<size_t>(state.range(0));
    plat::Mixer mixer;
    std::lock_guard hold(mixer.Mutex());
    mixer.SetFormatLocked(plat::PcmFormat(kOutputRate, 16, 2));

    std::vector<std::unique_ptr<plat::MixChannel>> channels;
    for (size_t i = 0; i < voices; ++i) {
        // Lengths differ so the loops wrap at different frames.
        const uint32_t frames = 11025 + static_cast<uint32_t>(i) * 97;
        auto data = std::make_shared<plat::SoundData>(plat::PcmFormat(22050, 16, 1), frames * 2);
        for (uint32_t f = 0; f < frames; ++f) {
            const auto s = static_cast<int16_t>(8000.0 * std::sin(f * (0.01 + 0.001 * static_cast<double>(i))));
            std::memcpy(data->bytes.get() + f * 2, &s, 2);
        }
        auto c = std::make_unique<plat::MixChannel>();
        c->data = data;
        c->frequency = 22050;
        const auto volume = -static_cast<int32_t>((i * 137) % 3000);
        const auto pan = static_cast<int32_t>((i * 911) % 4001) - 2000;
        c->gainMono = plat::AttenuationGain(volume);
        c->gainLeft = plat::AttenuationGain(volume - std::max(pan, 0));
        c->gainRight = plat::AttenuationGain(volume + std::min(pan, 0));
        mixer.StartLocked(*c, true);
        channels.push_back(std::move(c));
    }

    std::vector<int16_t> out(kCallbackFrames * 2);
    for (auto _ : state) {
        mixer.MixLocked(out.data(), kCallbackFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kCallbackFrames / kOutputRate, benchmark::Counter::kIsRate);
}

BENCHMARK(MixVoices)->Arg(32)->Arg(128);

} // namespace

BENCHMARK_MAIN();
