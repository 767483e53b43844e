// Sound, caption and script messages on the client (no server thread, but
// for the host case: a driven server).

#include <gtest/gtest.h>

#include <cstring>

#include "Tv/server/server.h"
#include "tests/tv/client_dispatch_fixture.h"

namespace {

ByteWriter TextRecord(int32_t type, std::initializer_list<int32_t> ints, const char* text) {
    ByteWriter w = Record(type, ints);
    w.Bytes(text, std::strlen(text) + 1);
    return w;
}

} // namespace

TEST_F(ClientDispatchTest, RunScriptLoadsOnlyPlainNamesAndNotOnTheHost) {
    Dispatch(TextRecord(103, {}, "intro.tcs"));
    EXPECT_EQ(seen.batches, std::vector<std::string>{"intro.tcs"});
    for (const char* name : {"../intro.tcs", "sub/intro.tcs", "sub\\intro.tcs", "c:intro.tcs", "..", ""})
        ExpectDropped(TextRecord(103, {}, name));
    ByteWriter unterminated = Record(103);
    unterminated.Bytes("intro.tcs", 9);
    ExpectDropped(unterminated);

    StartServer(); // the host runs it from the script queue
    Dispatch(TextRecord(103, {}, "intro.tcs"));
    EXPECT_EQ(seen.batches.size(), 1u);
}

TEST_F(ClientDispatchTest, SoundsPlayWithTheirOptionsAndNothingFromTheRecord) {
    ClientObject* object = MakeClientObject(5);
    Dispatch(Record(114, {12}));
    ByteWriter withData = Record(115, {13, 0x41414141, 0x42424242});
    Dispatch(withData);
    Dispatch(Record(116, {14, 5}));
    Dispatch(Record(116, {15, 99})); // no such object
    std::vector<SeenSound> expected = {{12, ""}, {13, "l"}};
    if (object->Model) expected.push_back({14, "t"});
    EXPECT_EQ(seen.sounds, expected);
}

TEST_F(ClientDispatchTest, ObjectCaptionShowsAtTheObjectOrNotAtAll) {
    MakeClientObject(5);
    Dispatch(TextRecord(179, {5}, "Hello"));
    Dispatch(TextRecord(179, {6}, "Nobody"));
    ASSERT_EQ(seen.captions.size(), 1u);
    EXPECT_EQ(seen.captions[0].text, "Hello");
    EXPECT_EQ(seen.captions[0].kind, 1);
    EXPECT_EQ(seen.captions[0].x, 0.5f); // not drawn yet: the screen's middle
    ByteWriter extra = TextRecord(179, {5}, "Hello");
    extra.U8('!');
    ExpectDropped(extra);
}
