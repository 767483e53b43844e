#pragma once
// MATCHIMG: a table that maps image references to replacements.
//
// Data: three kept words (the third keeps bits 0-7 only), u32 pair count n,
// then n pairs: three kept words, the replacement reference, the matched
// reference. A reference: key word (bits 0-7 kept), three kept words, three
// names zero-terminated back to back and padded to a multiple of 4.

#include <string>
#include <vector>

#include "chunkfile/fieldchunk.h"

struct ImageReference {
    uint8_t key = 0;
    uint32_t words[3] = {};
    std::string names[3]; // empty: absent

    ImageReference() = default;
    ImageReference(uint8_t keyByte, std::string first, std::string second, std::string third)
        : key(keyByte), names{std::move(first), std::move(second), std::move(third)} {}

    // Same key byte, and the names equal ignoring case; the words are not compared.
    bool operator==(const ImageReference& other) const;
};
bool ReadImageReference(ByteReader& in, ImageReference& ref);
void WriteImageReference(ByteWriter& out, const ImageReference& ref);

struct ImageMatchPair {
    uint32_t words[3] = {};
    ImageReference replacement;
    ImageReference matched;
};

struct ImageMatch {
    uint32_t words[3] = {};
    std::vector<ImageMatchPair> pairs;
};
bool ReadFields(ByteReader& in, ImageMatch& f);
void WriteFields(ByteWriter& out, const ImageMatch& f);

class ImageMatchChunk final : public FieldChunk<ImageMatch> {
public:
    using Fields = ImageMatch;
    using FieldChunk::FieldChunk;

    // The replacement of the first pair whose matched reference equals
    // `ref`; `ref` itself when none does.
    const ImageReference& FindMatch(const ImageReference& ref) const;
};
