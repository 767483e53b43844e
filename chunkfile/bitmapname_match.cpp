#include "chunkfile/bitmapname_match.h"

#include "chunkfile/bitmapname_records.h"
#include "chunkfile/nametext.h"

namespace {
// The smallest reference on disk: four words and three empty names, padded.
constexpr size_t kMinReferenceSize = 20;
} // namespace

bool ImageReference::operator==(const ImageReference& other) const {
    if (key != other.key) return false;
    for (int i = 0; i < 3; ++i)
        if (!EqualsIgnoringCase(names[i], other.names[i])) return false;
    return true;
}

bool ReadImageReference(ByteReader& in, ImageReference& ref) {
    ref.key = static_cast<uint8_t>(in.U32());
    for (uint32_t& w : ref.words) in.U32(w);
    return in.ok() && ReadStringRun(in, {&ref.names[0], &ref.names[1], &ref.names[2]});
}

void WriteImageReference(ByteWriter& out, const ImageReference& ref) {
    out.U32(ref.key);
    for (uint32_t w : ref.words) out.U32(w);
    WriteStringRun(out, {&ref.names[0], &ref.names[1], &ref.names[2]});
}

bool ReadFields(ByteReader& in, ImageMatch& f) {
    f.words[0] = in.U32();
    f.words[1] = in.U32();
    f.words[2] = in.U32() & 0xFF;
    uint32_t n = 0;
    if (!in.ok() || !ReadCount(in, n, 12 + 2 * kMinReferenceSize)) return false;
    f.pairs.resize(n);
    for (ImageMatchPair& p : f.pairs) {
        for (uint32_t& w : p.words) in.U32(w);
        if (!in.ok() || !ReadImageReference(in, p.replacement) || !ReadImageReference(in, p.matched)) return false;
    }
    return true;
}

void WriteFields(ByteWriter& out, const ImageMatch& f) {
    for (uint32_t w : f.words) out.U32(w);
    out.U32(static_cast<uint32_t>(f.pairs.size()));
    for (const ImageMatchPair& p : f.pairs) {
        for (uint32_t w : p.words) out.U32(w);
        WriteImageReference(out, p.replacement);
        WriteImageReference(out, p.matched);
    }
}

const ImageReference& ImageMatchChunk::FindMatch(const ImageReference& ref) const {
    for (const ImageMatchPair& p : fields_.pairs)
        if (p.matched == ref) return p.replacement;
    return ref;
}
