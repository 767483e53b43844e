#include "sound/bank_records.h"

#include <cstring>

#include "core/bytes.h"

namespace {

constexpr char kWaveMagic[] = "WAVCHUNK";
constexpr char kCueMagic[] = "METAWVCK";
constexpr size_t kMagicLength = 8;

// Reads the magic, the record size (unused) and the version.
bool ReadRecordHeader(ByteReader& in, const char* magic, int32_t newest, int32_t& version) {
    char got[kMagicLength];
    if (!in.Bytes(got, kMagicLength) || std::memcmp(got, magic, kMagicLength) != 0) return false;
    in.U32();
    version = in.I32();
    return in.ok() && version >= 0 && version <= newest;
}

} // namespace

WaveFile LooseWaveFile(std::string bytes) {
    WaveFile wave;
    wave.image = std::move(bytes);
    return wave;
}

bool ReadWaveRecord(std::string_view record, WaveFile& out) {
    ByteReader in(record);
    int32_t version = 0;
    if (!ReadRecordHeader(in, kWaveMagic, kWaveRecordVersion, version)) return false;
    WaveFile wave;
    wave.sampleNumber = in.I32();
    wave.volume = in.I32();
    wave.frequency = in.F32();
    if (version >= 2) wave.word = in.I32();
    if (version >= 3) {
        wave.range = in.F32();
        wave.secondRange = in.F32();
    }
    uint32_t length = 0;
    if (!in.U32(length) || !in.Has(length)) return false;
    wave.image.assign(reinterpret_cast<const char*>(in.cursor()), length);
    out = std::move(wave);
    return true;
}

bool ReadCueRecord(std::string_view record, CueRecord& out) {
    ByteReader in(record);
    int32_t version = 0;
    if (!ReadRecordHeader(in, kCueMagic, kCueRecordVersion, version)) return false;
    const int32_t count = in.I32();
    CueRecord cue;
    cue.flags = in.U32();
    if (!in.ok() || count < 0 || static_cast<uint64_t>(count) * 8 > in.remaining()) return false;
    cue.members.resize(static_cast<size_t>(count));
    for (CueMember& m : cue.members) {
        m.sample = in.I32();
        m.weight = in.I32();
    }
    out = std::move(cue);
    return in.ok();
}

void WriteWaveRecord(ByteWriter& out, const WaveFile& wave) {
    const size_t start = out.size();
    const auto length = static_cast<uint32_t>(wave.image.size());
    const uint32_t size = (length + 48 + 3) / 4 * 4;
    out.Bytes(kWaveMagic, kMagicLength);
    out.U32(size);
    out.I32(kWaveRecordVersion);
    out.I32(wave.sampleNumber);
    out.I32(wave.volume);
    out.F32(wave.frequency);
    out.I32(wave.word);
    out.F32(wave.range);
    out.F32(wave.secondRange);
    out.U32(length);
    out.Bytes(wave.image.data(), length);
    out.Zeros(start + size - out.size());
}

void WriteCueRecord(ByteWriter& out, const CueRecord& cue) {
    const size_t start = out.size();
    const auto count = static_cast<uint32_t>(cue.members.size());
    const uint32_t size = count * 8 + 40;
    out.Bytes(kCueMagic, kMagicLength);
    out.U32(size);
    out.I32(kCueRecordVersion);
    out.U32(count);
    out.U32(cue.flags);
    for (const CueMember& m : cue.members) {
        out.I32(m.sample);
        out.I32(m.weight);
    }
    out.Zeros(start + size - out.size());
}
