#include "chunkfile/cutscene_event.h"

#include <bit>

#include "chunkfile/chunkfields.h"
#include "chunkfile/chunkreading.h"

namespace {

// The payload of each kind: a leading string or not, the number of words,
// and the one word that a new record does not start at 0.
struct EventLayout {
    bool leadingString;
    uint32_t words;
    int32_t defaultWord; // -1: none
    uint32_t defaultValue;
};

constexpr uint32_t kMinusOne = 0xFFFFFFFF;

constexpr EventLayout kLayouts[CutsceneWordsEvent::kMaxKind + 1] = {
    {false, 0, -1, 0},                             // (no kind 0)
    {false, 5, 2, kMinusOne},                      // 1
    {false, 7, 3, kMinusOne},                      // 2 loop sequence
    {false, 4, 1, kMinusOne},                      // 3 control
    {false, 5, -1, 0},                             // 4
    {true, 10, -1, 0},                             // 5
    {false, 4, 1, kMinusOne},                      // 6
    {false, 3, -1, 0},                             // 7 caption
    {false, 7, 3, kMinusOne},                      // 8 play sequence
    {false, 4, 0, std::bit_cast<uint32_t>(90.0f)}, // 9
    {false, 4, 1, 3000},                           // 10 fade
    {true, 11, -1, 0},                             // 11 particles
    {false, 3, 0, std::bit_cast<uint32_t>(1.0f)},  // 12 speed
    {true, 2, -1, 0},                              // 13 command
};

std::unique_ptr<CutsceneEvent> NewEvent(int32_t kind) {
    switch (kind) {
    case 1: return std::make_unique<CutsceneEvent1>();
    case 2: return std::make_unique<CutsceneLoopSequenceEvent>();
    case 3: return std::make_unique<CutsceneControlEvent>();
    case 4: return std::make_unique<CutsceneEvent4>();
    case 5: return std::make_unique<CutsceneEvent5>();
    case 6: return std::make_unique<CutsceneEvent6>();
    case 7: return std::make_unique<CutsceneCaptionEvent>();
    case 8: return std::make_unique<CutscenePlaySequenceEvent>();
    case 9: return std::make_unique<CutsceneEvent9>();
    case 10: return std::make_unique<CutsceneFadeEvent>();
    case 11: return std::make_unique<CutsceneParticleEvent>();
    case 12: return std::make_unique<CutsceneSpeedEvent>();
    case 13: return std::make_unique<CutsceneCommandEvent>();
    default: return std::make_unique<CutsceneRawEvent>(kind);
    }
}

} // namespace

void CutsceneEvent::Write(ByteWriter& out) const {
    out.I32(kind_);
    out.U32(GetSize());
    out.U32(time_);
    out.I32(word3_);
    out.U32(word4_);
    out.U32(word5_);
    WritePayload(out);
}

std::unique_ptr<CutsceneEvent> CutsceneEvent::Read(ByteReader& in) {
    int32_t kind = 0;
    uint32_t size = 0;
    if (!in.I32(kind) || !in.U32(size) || size < kHeaderSize) return nullptr;
    std::unique_ptr<CutsceneEvent> event = NewEvent(kind);
    event->time_ = in.U32();
    event->word3_ = in.I32();
    event->word4_ = in.U32();
    event->word5_ = in.U32();
    if (!in.ok() || !event->ReadPayload(in, size)) return nullptr;
    return event;
}

CutsceneWordsEvent::CutsceneWordsEvent(int32_t kind) : CutsceneEvent(kind), words_(kLayouts[kind].words, 0) {
    if (kLayouts[kind].defaultWord >= 0) words_[kLayouts[kind].defaultWord] = kLayouts[kind].defaultValue;
}

uint32_t CutsceneWordsEvent::GetSize() const {
    const uint32_t text = kLayouts[Kind()].leadingString ? PaddedStringSize(text_.size()) : 0;
    return kHeaderSize + text + 4 * WordCount();
}

bool CutsceneWordsEvent::ReadPayload(ByteReader& in, uint32_t /*size*/) {
    if (kLayouts[Kind()].leadingString && !ReadPaddedString(in, text_)) return false;
    for (uint32_t& w : words_) in.U32(w);
    return in.ok();
}

void CutsceneWordsEvent::WritePayload(ByteWriter& out) const {
    if (kLayouts[Kind()].leadingString) WritePaddedString(out, text_);
    for (uint32_t w : words_) out.U32(w);
}

uint32_t CutsceneWordsEvent::PlayerFlags(bool removable) const {
    const uint32_t play = Word(4);
    uint32_t flags = (play & 1) ? 0 : 0x10;
    if (play & 2) flags |= 0x200;
    if (removable && (play & 8)) flags |= 0x40;
    return flags;
}

float CutsceneSpeedEvent::SpeedFactor() const { return std::bit_cast<float>(Word(0)); }

bool CutsceneRawEvent::ReadPayload(ByteReader& in, uint32_t size) {
    if (!in.Has(size - kHeaderSize)) return false;
    payload_.resize(size - kHeaderSize);
    return in.Bytes(payload_.data(), payload_.size());
}

void CutsceneRawEvent::WritePayload(ByteWriter& out) const { out.Bytes(payload_.data(), payload_.size()); }

CutsceneEventChunk::CutsceneEventChunk(ParentChunk* parent, std::string name)
    : Chunk(parent, "CUTEVENT"), name_(std::move(name)) {}

Chunk* CutsceneEventChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    ByteReader in = raw.Reader();
    const float trigger = in.F32();
    const uint32_t wordB = in.U32();
    const uint32_t wordC = in.U32();
    std::string name;
    int32_t count = 0;
    bool ok = in.ok() && ReadPaddedString(in, name) && in.I32(count) &&
              (count <= 0 || static_cast<uint32_t>(count) <= in.remaining() / CutsceneEvent::kHeaderSize);
    std::vector<std::unique_ptr<CutsceneEvent>> events;
    for (int32_t i = 0; ok && i < count; ++i) {
        events.push_back(CutsceneEvent::Read(in));
        ok = events.back() != nullptr;
    }
    if (!ok) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    auto* chunk = new CutsceneEventChunk(parent, std::move(name));
    chunk->trigger_ = trigger;
    chunk->wordB_ = wordB;
    chunk->wordC_ = wordC;
    chunk->events_ = std::move(events);
    return chunk;
}

uint32_t CutsceneEventChunk::SizeChunk() {
    uint32_t size = kChunkHeaderSize + 16 + PaddedStringSize(name_.size());
    for (const auto& e : events_) size += e->GetSize();
    return StoreSize(size);
}

void CutsceneEventChunk::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    out.F32(trigger_);
    out.U32(wordB_);
    out.U32(wordC_);
    WritePaddedString(out, name_);
    out.I32(static_cast<int32_t>(events_.size()));
    for (const auto& e : events_) e->Write(out);
}

std::string CutsceneEventChunk::Describe() const {
    return "name \"" + name_ + "\" trigger " + std::to_string(trigger_) + " records " + std::to_string(events_.size());
}
