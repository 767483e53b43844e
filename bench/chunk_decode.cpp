// Decoding a compressed chunk image against zlib's inflate of the same image,
// in the same run. The image is laid out like a level file: shapes with their
// points, normals, polygons and texture names, and objects with their headers.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cmath>
#include <random>
#include <string>

#include "chunkfile/container.h"
#include "core/bytes.h"

namespace {

// Writes a chunk whose body `fill` writes, patching its size afterwards.
template <class Fill>
void WriteChunk(ByteWriter& out, const char* id, Fill fill) {
    const size_t start = out.size();
    out.Bytes(id, 8);
    out.U32(0);
    fill();
    out.PatchU32(start + 8, static_cast<uint32_t>(out.size() - start));
}

void WriteName(ByteWriter& out, const std::string& name) {
    out.Bytes(name.data(), name.size());
    out.Zeros(4 - name.size() % 4);
}

void WriteShape(ByteWriter& out, std::mt19937& rng, int number) {
    std::uniform_int_distribution<int32_t> step(-400, 400);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    const int points = 200 + static_cast<int>(rng() % 400);
    const int polygons = points * 2;
    WriteChunk(out, "QORSHAPE", [&] {
        WriteChunk(out, "SHPHEAD1", [&] {
            out.U32(0);
            out.Bytes("Player\0\0\0\0\0\0\0\0\0\0", 16);
            for (int32_t v : {number, points, polygons}) out.I32(v);
            out.F32(1500.0f);
            for (int i = 0; i < 6; ++i) out.I32(step(rng) * 10);
            out.I32(3);
            out.I32(1);
            WriteName(out, "Crate" + std::to_string(number));
        });
        WriteChunk(out, "SHPRAWVT", [&] {
            int32_t x = 0, y = 0, z = 0;
            for (int i = 0; i < points; ++i) {
                out.I32(x += step(rng));
                out.I32(y += step(rng));
                out.I32(z += step(rng));
            }
        });
        WriteChunk(out, "SHPVNORM", [&] {
            for (int i = 0; i < points; ++i) {
                const float a = unit(rng), b = unit(rng);
                const float c = std::sqrt(std::fmax(0.0f, 1.0f - a * a - b * b));
                for (float v : {a, b, c}) out.F32(v);
            }
        });
        WriteChunk(out, "SHPPOLYS", [&] {
            for (int i = 0; i < polygons; ++i) {
                out.I32(i % 3 == 0 ? 5 : 1);
                out.I32(i);
                out.U32(0);
                out.U32(static_cast<uint32_t>(rng() % 8));
                const int base = static_cast<int>(rng() % static_cast<uint32_t>(points - 3));
                for (int k = 0; k < 3; ++k) out.I32(base + k);
                out.I32(-1);
                out.I32(-1);
            }
        });
        WriteChunk(out, "SHPTEXFN", [&] {
            out.U32(2);
            WriteName(out, "Textures\\Metal" + std::to_string(number % 7) + ".bmp");
        });
    });
}

std::vector<uint8_t> LevelImage() {
    std::mt19937 rng(2024);
    ByteWriter out;
    WriteChunk(out, "QORINFF2", [&] {
        WriteChunk(out, "QIFVERIN", [&] { out.U32(0); });
        WriteChunk(out, "QIFFNAME", [&] { WriteName(out, "Qifs\\Level1.qif"); });
        for (int shape = 0; out.size() < (4u << 20); ++shape) {
            WriteShape(out, rng, shape);
            WriteChunk(out, "QOOBJECT", [&] {
                WriteChunk(out, "OBJHEAD1", [&] {
                    out.U32(0x100);
                    out.Bytes("Player\0\0\0\0\0\0\0\0\0\0", 16);
                    for (int i = 0; i < 3; ++i) out.I32(static_cast<int32_t>(rng() % 100000));
                    for (float q : {0.0f, 0.0f, 0.0f, 1.0f}) out.F32(q);
                    out.I32(shape);
                    out.I32(4);
                    out.I32(shape);
                    WriteName(out, "Crate" + std::to_string(shape));
                });
            });
        }
    });
    return std::move(out.bytes());
}

const std::vector<uint8_t>& Image() {
    static const std::vector<uint8_t> image = LevelImage();
    return image;
}

void ChunkContainerDecode(benchmark::State& state) {
    const std::vector<uint8_t> packed = CompressChunkImage(Image());
    std::vector<uint8_t> image;
    for (auto _ : state) {
        if (!DecompressChunkImage(packed, image)) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Image().size()));
    state.counters["packed/image"] = static_cast<double>(packed.size()) / static_cast<double>(Image().size());
}
BENCHMARK(ChunkContainerDecode)->Unit(benchmark::kMillisecond);

void ZlibInflate(benchmark::State& state) {
    uLongf packedSize = compressBound(Image().size());
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, Image().data(), Image().size(), Z_DEFAULT_COMPRESSION);
    std::vector<uint8_t> image(Image().size());
    for (auto _ : state) {
        uLongf size = image.size();
        if (uncompress(image.data(), &size, packed.data(), packedSize) != Z_OK) state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Image().size()));
    state.counters["packed/image"] = static_cast<double>(packedSize) / static_cast<double>(Image().size());
}
BENCHMARK(ZlibInflate)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
