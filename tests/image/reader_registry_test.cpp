// Choosing the reader by the file's first bytes: the longest registered magic
// the file starts with wins, and the bytes looked at are put back.
#include <gtest/gtest.h>

#include <string>

#include "image/image_reader.h"
#include "image/memory_stream.h"
#include "image/pnm_reader.h"
#include "image/reader_registry.h"
#include "image/texture_error.h"
#include "tests/image/image_test_support.h"

namespace {

int longerMagicChosen = 0;
ImageReader* CountingFactory() {
    ++longerMagicChosen;
    return nullptr; // no reader: the load then fails with error 7
}

TEST(ReaderRegistry, TheLongestMagicTheFileHasWholeWins) {
    RegisterImageReaders();
    ImageReaderRegister(std::string("P6\xfe\xff", 4), CountingFactory);

    EXPECT_EQ(imagetest::ReadImage(std::string("P6\xfe\xff", 4) + " 1 1 255\nabc").error, kTextureUnsupported);
    EXPECT_EQ(longerMagicChosen, 1);

    // Only part of the longer magic: the P6 reader, which sees the file from its first byte.
    auto* stream = new MemoryStream("P6\xfe", 3);
    EXPECT_EQ(ImageReaderLookup(*stream), PnmP6ReaderCreate);
    EXPECT_EQ(stream->Position(), 0u);
    stream->Release();
    EXPECT_EQ(longerMagicChosen, 1);
}

} // namespace
