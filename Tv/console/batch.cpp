#include "Tv/console/batch.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "Tv/client/client_objects.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/repeat_text.h"
#include "Tv/console/text_trim.h"
#include "Tv/console/wait_for.h"
#include "Tv/console/waits.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "chunkfile/nametext.h"
#include "core/clock.h"
#include "core/hashtable.h"
#include "core/list.h"
#include "platform/textfile.h"

namespace {

constexpr size_t kLineMax = kConsoleLineSize - 1;
// A client object's StateEndTime that means "no state running".
constexpr uint64_t kNoStateEnd = 0x7FFFFFFFFFFFFFFFull;
constexpr int32_t kEnemyTeam = 2;

List<std::string> BatchQueue;

std::string CutLine(std::string_view text) { return std::string(text.substr(0, kLineMax)); }

// An enemy that is alive and busy: in a timed state, or a bot attacking.
bool EnemyEngaged() {
    const uint64_t now = GameClock.GetTime();
    HashSetIterator<ClientObject*> it;
    for (it.Begin(ClientObjectHash); !it.AtEnd(); it.Next()) {
        const ClientObject* object = it.Current()->Payload;
        if (object->Team != kEnemyTeam || !object->IsAlive()) continue;
        const bool timedState = object->StateEndTime != kNoStateEnd && object->StateEndTime > now;
        if (timedState || object->GetBotFlag()) return true;
    }
    return false;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Where a script's lines go while it is read: after `at` (the queue's
// sentinel: the front), or to the very front once when `immediate` is set.
struct Insertion {
    ListNodeBase* at;
    bool immediate = false;
};

enum class ReadOn { kYes, kStop };

ReadOn ApplyDirective(std::string_view directive, Insertion& insertion) {
    if (StartsWithIgnoringCase(directive, "ONLY IF SAFE")) return EnemyEngaged() ? ReadOn::kStop : ReadOn::kYes;
    if (StartsWithIgnoringCase(directive, "ONLY IF HINTS ON")) return HintsOn ? ReadOn::kYes : ReadOn::kStop;
    if (StartsWithIgnoringCase(directive, "CLEAR BATCH")) {
        BatchQueue.Clear();
        insertion = {BatchQueue.Sentinel()};
    } else if (StartsWithIgnoringCase(directive, "EXECUTE IMMEDIATELY")) {
        insertion.immediate = true;
    } else if (StartsWithIgnoringCase(directive, "NORMAL EXECUTION")) {
        insertion = {BatchQueue.Sentinel()->Prev};
    }
    return ReadOn::kYes;
}

// One piece of a script line (at most 249 characters).
ReadOn QueueScriptPiece(std::string& piece, Insertion& insertion) {
    const char* text = TvTrimBlanks(piece.data());
    if (!text) return ReadOn::kYes;
    if (text[0] == '#') return ApplyDirective(text + 1, insertion);
    if (text[0] == '/' && text[1] == '/') return ReadOn::kYes;
    if (insertion.immediate || BatchQueue.IsEmpty())
        insertion = {BatchQueue.PushFront(text)};
    else
        insertion = {BatchQueue.InsertBefore(insertion.at->Next, text)};
    return ReadOn::kYes;
}

// The next piece of a line: up to its end (consumed) or the line buffer's
// capacity, so a longer line is read as several lines. False at the end.
bool ReadPiece(plat::TextFile& file, std::string& piece) {
    piece.clear();
    int c = file.GetChar();
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = file.GetChar()) {
        piece += static_cast<char>(c);
        if (piece.size() == kLineMax) break;
    }
    return true;
}

} // namespace

bool TvBatchReadFile(const char* path) {
    if (!path || !*path) return false;
    plat::TextFile file = plat::TextFile::Open(path, "r");
    if (!file.IsOpen()) return false;
    Insertion insertion{BatchQueue.Sentinel()->Prev};
    std::string piece;
    while (ReadPiece(file, piece))
        if (QueueScriptPiece(piece, insertion) == ReadOn::kStop) break;
    return true;
}

void TvBatchAppend(const char* line) { BatchQueue.PushBack(CutLine(line ? line : "")); }

bool TvBatchIsEmpty() { return BatchQueue.IsEmpty(); }

int32_t TvBatchCount() { return BatchQueue.Count(); }

namespace {

bool WaitForPassed() {
    if (!TvIsWaitForPending()) return true;
    if (!TvPollWaitFor()) {
        TvRepeatTextTick();
        return false;
    }
    TvStopRepeatText();
    return true;
}

} // namespace

bool TvBatchRunNext() {
    if (BatchQueue.IsEmpty()) return false;
    if (GameOptions.LevelStatus != kLevelOver && !(TvWaitsPassed() && WaitForPassed())) return false;
    // The line being typed survives the script line.
    char typed[kConsoleLineSize];
    std::memcpy(typed, ConsoleLine, kConsoleLineSize);
    const std::string line = BatchQueue.Front();
    BatchQueue.PopFront();
    std::memset(ConsoleLine, 0, kConsoleLineSize);
    line.copy(ConsoleLine, kLineMax);
    TvDispatchCommand();
    std::memcpy(ConsoleLine, typed, kConsoleLineSize);
    return true;
}

void TvBatchDrain() {
    while (TvBatchRunNext()) {
    }
}

bool TvBatchWaitPending() {
    if (GameOptions.LevelStatus == kLevelOver) return false;
    return TvWaitsPending() || TvIsWaitForPending();
}

void TvBatchReset() {
    BatchQueue.Clear();
    TvClearWaits();
}
