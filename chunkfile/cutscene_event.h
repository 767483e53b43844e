#pragma once
// CUTEVENT: an event list of a cutscene track. When the track's user reaches
// the trigger position (in points of the track: 1.5 is halfway between the
// second and the third point) the list fires, and each record happens at its
// time after that moment.
//
// Data: trigger position (f32), words B and C (kept), the list's name
// (padded string), i32 record count, then the records. Every record starts
// with a 24-byte header: kind, record size (header included), time in ms,
// word 3, word 4 (when non-zero, used as the time in place of the time
// field), word 5 (kept). Kinds 1 to 13 have fixed payloads (CutsceneEvent
// subclasses below) and are always written at their own size, whatever size
// the file gave; records of other kinds are kept as raw bytes.
//
// A record shorter than its header, or a count, string or payload that the
// chunk's data cannot hold, makes the chunk malformed.

#include <memory>
#include <string>
#include <vector>

#include "chunkfile/chunk.h"

class CutsceneEvent : public MemObject {
public:
    static constexpr uint32_t kHeaderSize = 24;

    virtual ~CutsceneEvent() = default;

    int32_t Kind() const { return kind_; }
    uint32_t Time() const { return time_; }
    void SetTime(uint32_t ms) { time_ = ms; }
    int32_t Word3() const { return word3_; }
    uint32_t Word4() const { return word4_; }
    void SetWord4(uint32_t word) { word4_ = word; }

    // The record's size on disk, header included.
    virtual uint32_t GetSize() const = 0;
    void Write(ByteWriter& out) const;

    // Reads the record at `in` (advanced past it); null when it does not fit.
    static std::unique_ptr<CutsceneEvent> Read(ByteReader& in);

protected:
    explicit CutsceneEvent(int32_t kind) : kind_(kind) {}

    virtual bool ReadPayload(ByteReader& in, uint32_t size) = 0;
    virtual void WritePayload(ByteWriter& out) const = 0;

private:
    int32_t kind_;
    uint32_t time_ = 0;
    int32_t word3_ = -1;
    uint32_t word4_ = 0;
    uint32_t word5_ = 0;
};

// A record of kinds 1 to 13: an optional leading string (kinds 5, 11 and 13)
// and a fixed number of words d0, d1, ...
class CutsceneWordsEvent : public CutsceneEvent {
public:
    static constexpr int32_t kMaxKind = 13;

    // The string (empty when absent).
    const std::string& Text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }
    uint32_t WordCount() const { return static_cast<uint32_t>(words_.size()); }
    uint32_t Word(uint32_t i) const { return words_.at(i); }
    void SetWord(uint32_t i, uint32_t value) { words_.at(i) = value; }

    uint32_t GetSize() const override;

protected:
    // A new record of `kind` (1 to 13) with its kind's defaults.
    explicit CutsceneWordsEvent(int32_t kind);

    bool ReadPayload(ByteReader& in, uint32_t size) override;
    void WritePayload(ByteWriter& out) const override;

    // The sequence-player flags of play flags d4 (kinds 2 and 8): hold (0x10)
    // unless bit 0 is set, reverse (0x200) for bit 1, and remove when done
    // (0x40) for bit 3 when `removable`.
    uint32_t PlayerFlags(bool removable) const;

private:
    std::string text_;
    std::vector<uint32_t> words_;
};

class CutsceneEvent1 final : public CutsceneWordsEvent {
public:
    CutsceneEvent1() : CutsceneWordsEvent(1) {}
};

// Kind 2: every user with the user id plays the sequence endlessly.
class CutsceneLoopSequenceEvent final : public CutsceneWordsEvent {
public:
    CutsceneLoopSequenceEvent() : CutsceneWordsEvent(2) {}
    int32_t SequenceNumber() const { return static_cast<int32_t>(Word(1)); }
    int32_t UserId() const { return static_cast<int32_t>(Word(3)); }
    uint32_t SequencePlayerFlags() const { return PlayerFlags(false); }
};

// Kind 3: code 0 ends the cutscene, code 1 moves every user with the user id
// on to its next track; other codes go to the cutscene object.
class CutsceneControlEvent final : public CutsceneWordsEvent {
public:
    CutsceneControlEvent() : CutsceneWordsEvent(3) {}
    int32_t Code() const { return static_cast<int32_t>(Word(0)); }
    int32_t UserId() const { return static_cast<int32_t>(Word(1)); }
};

class CutsceneEvent4 final : public CutsceneWordsEvent {
public:
    CutsceneEvent4() : CutsceneWordsEvent(4) {}
};

class CutsceneEvent5 final : public CutsceneWordsEvent {
public:
    CutsceneEvent5() : CutsceneWordsEvent(5) {}
};

class CutsceneEvent6 final : public CutsceneWordsEvent {
public:
    CutsceneEvent6() : CutsceneWordsEvent(6) {}
};

// Kind 7: the cutscene's next subtitle line is shown.
class CutsceneCaptionEvent final : public CutsceneWordsEvent {
public:
    CutsceneCaptionEvent() : CutsceneWordsEvent(7) {}
};

// Kind 8: every user with the user id plays the sequence d2 times.
class CutscenePlaySequenceEvent final : public CutsceneWordsEvent {
public:
    CutscenePlaySequenceEvent() : CutsceneWordsEvent(8) {}
    int32_t SequenceNumber() const { return static_cast<int32_t>(Word(1)); }
    int32_t RepeatCount() const { return static_cast<int32_t>(Word(2)); }
    int32_t UserId() const { return static_cast<int32_t>(Word(3)); }
    uint32_t SequencePlayerFlags() const { return PlayerFlags(true); }
};

class CutsceneEvent9 final : public CutsceneWordsEvent {
public:
    CutsceneEvent9() : CutsceneWordsEvent(9) {}
};

// Kind 10: a full-screen fade (modes 0 and 1) lasting d1 milliseconds.
class CutsceneFadeEvent final : public CutsceneWordsEvent {
public:
    CutsceneFadeEvent() : CutsceneWordsEvent(10) {}
    int32_t Mode() const { return static_cast<int32_t>(Word(0)); }
    uint32_t DurationMs() const { return Word(1); }
};

// Kind 11: particle types 0 and 1 start an emitter at the position (file units).
class CutsceneParticleEvent final : public CutsceneWordsEvent {
public:
    CutsceneParticleEvent() : CutsceneWordsEvent(11) {}
    int32_t ParticleType() const { return static_cast<int32_t>(Word(0)); }
    int32_t X() const { return static_cast<int32_t>(Word(1)); }
    int32_t Y() const { return static_cast<int32_t>(Word(2)); }
    int32_t Z() const { return static_cast<int32_t>(Word(3)); }
};

// Kind 12: the game's clocks run at the factor times their normal speed.
class CutsceneSpeedEvent final : public CutsceneWordsEvent {
public:
    CutsceneSpeedEvent() : CutsceneWordsEvent(12) {}
    float SpeedFactor() const;
};

// Kind 13: the string is a command line for the game's queue.
class CutsceneCommandEvent final : public CutsceneWordsEvent {
public:
    CutsceneCommandEvent() : CutsceneWordsEvent(13) {}
};

// A record of any other kind, kept whole.
class CutsceneRawEvent final : public CutsceneEvent {
public:
    explicit CutsceneRawEvent(int32_t kind) : CutsceneEvent(kind) {}
    const std::vector<uint8_t>& Payload() const { return payload_; }
    uint32_t GetSize() const override { return kHeaderSize + static_cast<uint32_t>(payload_.size()); }

private:
    bool ReadPayload(ByteReader& in, uint32_t size) override;
    void WritePayload(ByteWriter& out) const override;

    std::vector<uint8_t> payload_;
};

class CutsceneEventChunk final : public Chunk {
public:
    // A new list: trigger 0, words 0, no records.
    CutsceneEventChunk(ParentChunk* parent, std::string name);
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    const std::string& Name() const { return name_; }
    float TriggerPosition() const { return trigger_; }
    void SetTriggerPosition(float points) { trigger_ = points; }
    const std::vector<std::unique_ptr<CutsceneEvent>>& Events() const { return events_; }
    void AddEvent(std::unique_ptr<CutsceneEvent> event) { events_.push_back(std::move(event)); }

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    std::string Describe() const override;

private:
    float trigger_ = 0;
    uint32_t wordB_ = 0;
    uint32_t wordC_ = 0;
    std::string name_;
    std::vector<std::unique_ptr<CutsceneEvent>> events_;
};
