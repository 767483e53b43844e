#include "sound/wave_image.h"

#include <cstring>

#include "core/bytes.h"

namespace {

bool Tag(ByteReader& in, const char* tag) {
    char got[4];
    return in.Bytes(got, 4) && std::memcmp(got, tag, 4) == 0;
}

} // namespace

bool ParseWaveImage(std::string_view image, WaveImage& out) {
    ByteReader in(image);
    uint32_t riffSize = 0, fmtSize = 0, dataSize = 0;
    if (!Tag(in, "RIFF") || !in.U32(riffSize) || !Tag(in, "WAVE") || !Tag(in, "fmt ") || !in.U32(fmtSize) ||
        fmtSize < 16 || !in.Has(fmtSize))
        return false;
    ByteReader fmt = in.Sub(fmtSize);
    plat::WaveFormat f;
    f.formatTag = fmt.U16();
    f.channels = fmt.U16();
    f.samplesPerSec = fmt.U32();
    f.avgBytesPerSec = fmt.U32();
    f.blockAlign = fmt.U16();
    f.bitsPerSample = fmt.U16();
    if (!fmt.ok() || f.formatTag != plat::kWaveFormatPcm || (f.bitsPerSample != 8 && f.bitsPerSample != 16)) return false;
    if (!Tag(in, "data") || !in.U32(dataSize) || !in.Has(dataSize)) return false;
    out.format = f;
    out.data = in.cursor();
    out.length = dataSize;
    return true;
}
