#include "tools/qiftool/treedump.h"

#include <cstdio>

#include "chunkfile/chunk.h"

namespace {

// Ids print as 8 characters: zero padding as blanks, other unprintable bytes as '.'.
std::string PrintableId(const char* id) {
    std::string out(8, ' ');
    for (int i = 0; i < 8; ++i) {
        const auto c = static_cast<unsigned char>(id[i]);
        if (c != 0) out[i] = c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '.';
    }
    return out;
}

// Field text with unprintable bytes as \xNN, so that a name read from a file
// cannot upset the terminal.
std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

} // namespace

std::string DumpChunkTree(const Chunk& chunk, uint64_t offset, int depth) {
    std::string line(static_cast<size_t>(depth) * 2, ' ');
    line += PrintableId(chunk.Id());
    line += ' ' + std::to_string(chunk.Size()) + " @" + std::to_string(offset);
    if (chunk.IsUnknown()) line += " unknown";
    const std::string fields = chunk.Describe();
    if (!fields.empty()) line += ' ' + Escaped(fields);
    line += '\n';
    if (chunk.IsParent()) {
        uint64_t at = offset + kChunkHeaderSize;
        for (const Chunk* c = static_cast<const ParentChunk&>(chunk).FirstChild(); c; c = c->Next()) {
            line += DumpChunkTree(*c, at, depth + 1);
            at += c->Size();
        }
    }
    return line;
}
