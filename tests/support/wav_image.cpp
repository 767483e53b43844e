#include "tests/support/wav_image.h"

#include "core/bytes.h"

std::string WavImage(const plat::WaveFormat& f, const std::string& data) {
    ByteWriter out;
    out.Bytes("RIFF", 4);
    out.U32(static_cast<uint32_t>(36 + data.size()));
    out.Bytes("WAVEfmt ", 8);
    out.U32(16);
    out.U16(f.formatTag);
    out.U16(f.channels);
    out.U32(f.samplesPerSec);
    out.U32(f.avgBytesPerSec);
    out.U16(f.blockAlign);
    out.U16(f.bitsPerSample);
    out.Bytes("data", 4);
    out.U32(static_cast<uint32_t>(data.size()));
    out.Bytes(data.data(), data.size());
    return std::string(out.bytes().begin(), out.bytes().end());
}

std::string WavImage(float seconds, uint32_t rate) {
    const auto frames = static_cast<size_t>(seconds * static_cast<float>(rate));
    ByteWriter data;
    for (size_t i = 0; i < frames; ++i) data.I16(static_cast<int16_t>(i % 200));
    return WavImage(plat::PcmFormat(rate, 16, 1), std::string(data.bytes().begin(), data.bytes().end()));
}
