#include "chunkfile/chunkfields.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace {

// Marks the reader bad, as a read past its end does.
bool Fail(ByteReader& in) {
    in.Skip(in.remaining() + 1);
    return false;
}

} // namespace

bool ReadPaddedString(ByteReader& in, std::string& out, size_t maxLength) {
    const size_t limit = in.ok() ? in.remaining() : 0;
    if (limit == 0) return Fail(in);
    const auto* text = reinterpret_cast<const char*>(in.cursor());
    const size_t length = strnlen(text, limit);
    if (length == limit || length > maxLength) return Fail(in);
    out.assign(text, length);
    return in.Skip(std::min<size_t>(PaddedStringSize(length), in.remaining()));
}

void WritePaddedString(ByteWriter& out, std::string_view text) {
    out.Bytes(text.data(), text.size());
    out.Zeros(PaddedStringSize(text.size()) - text.size());
}

bool ReadFixedName(ByteReader& in, std::string& out, size_t width) {
    const auto* text = reinterpret_cast<const char*>(in.cursor());
    if (!in.Skip(width)) return false;
    out.assign(text, strnlen(text, width));
    return true;
}

void WriteFixedName(ByteWriter& out, std::string_view name, size_t width) {
    const size_t n = std::min(name.size(), width);
    out.Bytes(name.data(), n);
    out.Zeros(width - n);
}

bool ReadCount(ByteReader& in, uint32_t& count, size_t elementSize) {
    if (!in.U32(count)) return false;
    return count <= in.remaining() / elementSize || Fail(in);
}

bool ReadF64(ByteReader& in, double& value) {
    uint64_t bits = 0;
    const bool ok = in.U64(bits);
    value = std::bit_cast<double>(bits);
    return ok;
}

void WriteF64(ByteWriter& out, double value) { out.U64(std::bit_cast<uint64_t>(value)); }

std::string WordsText(std::span<const uint32_t> words) {
    std::string text;
    for (uint32_t w : words) {
        char hex[12];
        std::snprintf(hex, sizeof hex, "%s%x", text.empty() ? "" : " ", w);
        text += hex;
    }
    return text;
}
