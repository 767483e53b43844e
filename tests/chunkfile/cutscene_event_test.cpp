#include <gtest/gtest.h>

#include <string>

#include "chunkfile/cutscene_event.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class CutsceneEvents : public ChunkFamilies {
protected:
    // Reads one CUTEVENT inside a track; null when it was left out.
    CutsceneEventChunk* ReadEvent(const std::string& event) {
        tree_ = ReadTree(PlainFile({Parent("CUTTRACK", {event})}));
        auto* track = static_cast<ParentChunk*>(tree_->FirstChild());
        return track ? dynamic_cast<CutsceneEventChunk*>(track->FirstChild()) : nullptr;
    }

    std::unique_ptr<MemoryFileChunk> tree_;
};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

// A record header: kind, size, time, words 3 to 5.
std::string Header(int32_t kind, uint32_t size, uint32_t time = 0) {
    return I32s({kind}) + Words({size, time, 0xFFFFFFFF, 0, 0});
}

std::string EventList(const std::string& name, uint32_t count, const std::string& records) {
    return Leaf("CUTEVENT", F32s({2.5f}) + Words({7, 8}) + Padded(name) + U32Bytes(count) + records);
}

TEST_F(CutsceneEvents, RecordsAreReadByKindAndTheListWrittenBackUnchanged) {
    const std::string caption = Header(7, 36, 1000) + Words({1, 2, 3});
    const std::string control = Header(3, 40) + Words({0, 4, 0, 0});
    const std::string raw = Header(20, 30) + "abcdef";
    const std::string command = Header(13, 44) + Padded("NEXT LEVEL") + Words({0, 0});
    const std::string event = EventList("Lift", 2, caption + control);
    EXPECT_EQ(112u, event.size());

    for (const std::string& list : {event, EventList("Lift", 2, raw + command)}) {
        CutsceneEventChunk* chunk = ReadEvent(list);
        ASSERT_NE(nullptr, chunk);
        EXPECT_EQ(list, BytesOf(*chunk));
    }

    CutsceneEventChunk* chunk = ReadEvent(EventList("Lift", 4, caption + control + raw + command));
    ASSERT_NE(nullptr, chunk);
    EXPECT_EQ("Lift", chunk->Name());
    EXPECT_EQ(2.5f, chunk->TriggerPosition());
    const auto& events = chunk->Events();
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ(1000u, events[0]->Time());
    auto* stop = dynamic_cast<const CutsceneControlEvent*>(events[1].get());
    ASSERT_NE(nullptr, stop);
    EXPECT_EQ(0, stop->Code());
    EXPECT_EQ(4, stop->UserId());
    auto* kept = dynamic_cast<const CutsceneRawEvent*>(events[2].get());
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(20, kept->Kind());
    EXPECT_EQ(6u, kept->Payload().size());
    auto* line = dynamic_cast<const CutsceneCommandEvent*>(events[3].get());
    ASSERT_NE(nullptr, line);
    EXPECT_EQ("NEXT LEVEL", line->Text());
}

TEST_F(CutsceneEvents, AKnownKindIsReadAndWrittenAtItsOwnSize) {
    // The kind-2 record claims 60 bytes: its 52 are read and the next record
    // follows them.
    const std::string loop = Words({0, 5, 0, 3, 1, 0, 0});
    const std::string caption = Header(7, 36) + Words({0, 0, 0});
    CutsceneEventChunk* chunk = ReadEvent(EventList("L", 2, Header(2, 60) + loop + caption));
    ASSERT_NE(nullptr, chunk);
    ASSERT_EQ(2u, chunk->Events().size());
    EXPECT_EQ(52u, chunk->Events()[0]->GetSize());
    EXPECT_EQ(7, chunk->Events()[1]->Kind());
    EXPECT_EQ(EventList("L", 2, Header(2, 52) + loop + caption), BytesOf(*chunk));
}

TEST_F(CutsceneEvents, NewRecordsHaveTheSizeOfTheirKind) {
    struct Case {
        std::unique_ptr<CutsceneEvent> event;
        uint32_t size;
    };
    Case cases[] = {
        {std::make_unique<CutsceneEvent1>(), 44},
        {std::make_unique<CutsceneLoopSequenceEvent>(), 52},
        {std::make_unique<CutsceneControlEvent>(), 40},
        {std::make_unique<CutsceneEvent4>(), 44},
        {std::make_unique<CutsceneEvent5>(), 68},
        {std::make_unique<CutsceneEvent6>(), 40},
        {std::make_unique<CutsceneCaptionEvent>(), 36},
        {std::make_unique<CutscenePlaySequenceEvent>(), 52},
        {std::make_unique<CutsceneEvent9>(), 40},
        {std::make_unique<CutsceneFadeEvent>(), 40},
        {std::make_unique<CutsceneParticleEvent>(), 72},
        {std::make_unique<CutsceneSpeedEvent>(), 36},
        {std::make_unique<CutsceneCommandEvent>(), 36},
    };
    for (const Case& c : cases) EXPECT_EQ(c.size, c.event->GetSize()) << "kind " << c.event->Kind();

    FileChunk file;
    auto* list = new CutsceneEventChunk(&file, "All");
    for (Case& c : cases) list->AddEvent(std::move(c.event));
    auto* text = dynamic_cast<CutsceneWordsEvent*>(list->Events().back().get());
    text->SetText("NEXT LEVEL");
    EXPECT_EQ(44u, text->GetSize());

    // Written and read back: same records, same defaults.
    CutsceneEventChunk* read = ReadEvent(BytesOf(*list));
    ASSERT_NE(nullptr, read);
    ASSERT_EQ(13u, read->Events().size());
    EXPECT_EQ(-1, read->Events()[0]->Word3());
    EXPECT_EQ(3000u, dynamic_cast<const CutsceneFadeEvent&>(*read->Events()[9]).DurationMs());
    EXPECT_EQ(1.0f, dynamic_cast<const CutsceneSpeedEvent&>(*read->Events()[11]).SpeedFactor());
    EXPECT_EQ(-1, dynamic_cast<const CutscenePlaySequenceEvent&>(*read->Events()[7]).UserId());
    EXPECT_EQ("NEXT LEVEL", dynamic_cast<const CutsceneCommandEvent&>(*read->Events()[12]).Text());
    EXPECT_EQ(BytesOf(*list), BytesOf(*read));
}

TEST_F(CutsceneEvents, PlayFlagsTranslateToSequencePlayerFlags) {
    CutscenePlaySequenceEvent play;
    CutsceneLoopSequenceEvent loop;
    struct Case {
        uint32_t flags;
        uint32_t play; // kind 8
        uint32_t loop; // kind 2: never removed when done
    };
    for (const Case& c : {Case{0x00, 0x10, 0x10}, Case{0x0B, 0x240, 0x200}, Case{0x01, 0, 0}, Case{0x08, 0x50, 0x10}}) {
        play.SetWord(4, c.flags);
        loop.SetWord(4, c.flags);
        EXPECT_EQ(c.play, play.SequencePlayerFlags()) << c.flags;
        EXPECT_EQ(c.loop, loop.SequencePlayerFlags()) << c.flags;
    }
}

TEST_F(CutsceneEvents, RecordsThatDoNotFitTheChunkAreMalformed) {
    const std::string caption = Header(7, 36) + Words({0, 0, 0});
    const std::string bad[] = {
        EventList("L", 1, Header(30, 20)),                       // shorter than its header
        EventList("L", 1, Header(30, 0)),                        // size 0
        EventList("L", 1000, caption),                           // count past the data
        EventList("L", 2, caption),                              // second record missing
        EventList("L", 1, Header(30, 1000) + "abcd"),            // raw payload past the data
        EventList("L", 1, Header(13, 36) + "NEXT LEVEL"),        // string past the data
        EventList("L", 1, Header(2, 52) + Words({0, 5, 0, 3})), // payload cut short
        Leaf("CUTEVENT", F32s({0}) + Words({0, 0}) + "Lift"),    // name past the data
    };
    for (const std::string& event : bad) {
        EXPECT_EQ(nullptr, ReadEvent(event));
        EXPECT_EQ(-2, tree_->Error());
    }
    // A count of zero or below holds no records.
    CutsceneEventChunk* empty = ReadEvent(EventList("L", 0xFFFFFFFF, ""));
    ASSERT_NE(nullptr, empty);
    EXPECT_TRUE(empty->Events().empty());
}

} // namespace
