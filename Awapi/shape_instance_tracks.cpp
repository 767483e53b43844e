// The running sequences of a shape-instance node: attaching players,
// blending, dropping tracks, and sampling a track into a local matrix.

#include <algorithm>

#include "Awapi/model/mul_div.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/shape_instance.h"

namespace {

struct FramePair {
    const AwAnimFrame* a;
    const AwAnimFrame* b;
    float w;
    bool ended;
};

FramePair Still(const AwAnimFrame& frame, bool ended) { return {&frame, &frame, 1.0f, ended}; }

// Moves the track's cursor to the key holding `position` (ticks of the
// forward timeline), walking backwards when reversed; wraps at either end.
FramePair FindKey(AwNodeTrack& track, int64_t position, bool reverse, bool ended) {
    const std::vector<AwAnimFrame>& frames = track.Sequence->Frames;
    const size_t count = frames.size();
    const auto at = static_cast<uint32_t>(position);
    size_t& cursor = track.Frame;
    if (cursor >= count) cursor = 0;
    // Every tick of [0, length] lies in some key: one turn round the list finds it.
    for (size_t step = 0; step < count; ++step) {
        const AwAnimFrame& frame = frames[cursor];
        if (static_cast<uint32_t>(frame.Duration) >= at - frame.Time) break;
        cursor = reverse ? (cursor == 0 ? count - 1 : cursor - 1) : (cursor + 1) % count;
    }
    const AwAnimFrame& a = frames[cursor];
    const uint32_t flags = track.Player->Flags;
    const bool last = cursor + 1 == count;
    const AwAnimFrame& b = last && (flags & (kPlayerHold | kPlayerRange)) ? a : frames[(cursor + 1) % count];
    // A key of no duration is shown as it is.
    const float w = a.Duration > 0 ? static_cast<float>(at - a.Time) / static_cast<float>(a.Duration) : 0.0f;
    return {&a, &b, w, ended};
}

// The two keys around the track's position at `time`, the weight between
// them, and whether the track has ended.
FramePair FindFramePair(const AwAnimFrame& blend, AwNodeTrack& track, uint32_t time) {
    const AwSequencePlayer& player = *track.Player;
    const AwAnimSequence& sequence = *track.Sequence;
    const AwAnimFrame& first = sequence.Frames.front();
    const AwAnimFrame& last = sequence.Frames.back();
    const bool reverse = (player.Flags & kPlayerReverse) != 0;
    const bool range = (player.Flags & kPlayerRange) != 0;
    const int64_t length = sequence.Length;
    const auto sinceStart = static_cast<int32_t>(time - player.StartTime);
    if (sinceStart < 0) {
        // Still blending from the blend frame toward the first key; a blend of
        // no duration has already arrived.
        const auto sinceBlend = static_cast<int32_t>(time - blend.Time);
        float w = 0.0f;
        if (sinceBlend > 0)
            w = blend.Duration > 0 ? std::min(1.0f, static_cast<float>(sinceBlend) / static_cast<float>(blend.Duration))
                                   : 1.0f;
        return {&blend, &first, w, false};
    }
    if (length <= 0) return Still(first, false);
    int64_t d = player.TargetPosition;
    bool ended = false;
    if (player.Flags & kPlayerFinished) {
        if (!range) return Still(reverse ? first : last, false);
    } else {
        d = int64_t{AwMulDiv(player.Speed, sinceStart, kUnitSpeed)} + player.StartPosition;
        if (range) {
            if (player.EndTime != 0 && static_cast<int32_t>(player.EndTime - time) <= 0) {
                d = player.TargetPosition;
                ended = true;
            }
        } else if (d > length) {
            if (player.Flags & kPlayerHold) return Still(reverse ? first : last, true);
            ended = static_cast<uint64_t>(d / length) >= static_cast<uint32_t>(player.LoopCount);
            d %= length;
        }
    }
    d = std::clamp<int64_t>(d, 0, length);
    return FindKey(track, reverse ? length - d : d, reverse, ended);
}

void Pose(const FramePair& pair, Vector3& position, Quaternion& rotation) {
    position = pair.a->Offset;
    rotation = pair.a->Rotation;
    if (pair.a != pair.b) AwInterpolateFrames(*pair.a, *pair.b, pair.w, position, rotation);
}

} // namespace

void AwInterpolateFrames(const AwAnimFrame& a, const AwAnimFrame& b, float w, Vector3& position,
                         Quaternion& rotation) {
    if (a.Flags & kFrameRotationChanges)
        QuaternionInterpolate(a.Rotation, b.Rotation, w, a.Interpolation, rotation);
    else
        rotation = a.Rotation;
    position = (a.Flags & kFrameOffsetChanges) ? a.Offset + (b.Offset - a.Offset) * w : a.Offset;
}

bool AwShapeInstance::SampleTrack(AwNodeTrack& track, uint32_t time, Matrix34& out) {
    const FramePair pair = FindFramePair(BlendFrame, track, time);
    Vector3 position;
    Quaternion rotation;
    Pose(pair, position, rotation);
    out.MakeFromQuaternion(rotation);
    out.SetTranslation(position);
    return pair.ended;
}

void AwShapeInstance::DeleteTrack(ListNode<AwNodeTrack*>* node) {
    node->Payload->Release();
    delete node->Payload;
    Tracks.RemoveNode(node);
}

void AwShapeInstance::EndTrack(ListNode<AwNodeTrack*>* node) {
    AwSequencePlayer& player = *node->Payload->Player;
    if (player.Flags & kPlayerRemoveWhenDone) {
        DeleteTrack(node);
        return;
    }
    if (player.DoneFlag) {
        *player.DoneFlag = 1;
        player.DoneFlag = nullptr;
    }
    player.Flags |= kPlayerFinished;
}

void AwShapeInstance::AttachPlayer(int32_t n, AwSequencePlayer* player, bool holdTracks) {
    if (AwHasSequence(Sequences, n)) {
        const AwAnimSequence* sequence = (*Sequences)[static_cast<size_t>(n)].get();
        player->Length = std::max(player->Length, sequence->Length);
        auto* track = new AwNodeTrack{player, sequence, 0, holdTracks};
        if (holdTracks) ++player->References;
        if (player->Flags & kPlayerLayered) {
            Tracks.PushBack(track);
        } else {
            Tracks.PushFront(track);
            if (player->Flags & kPlayerBlend)
                QuaternionSlerp(BlendFrame.Rotation, sequence->Frames.front().Rotation, BlendFrame.Interpolation);
        }
    }
    for (AwShapeInstance* child : Children) child->AttachPlayer(n, player, holdTracks);
}

void AwShapeInstance::StartBlend(uint32_t start, uint32_t duration) {
    ListNode<AwNodeTrack*>* first = Tracks.First();
    if (!first || first->Payload->Sequence->IsRelative()) {
        BlendFrame.Offset = Position();
        BlendFrame.Rotation = quaternion_;
    } else {
        Vector3 position;
        Quaternion rotation;
        Pose(FindFramePair(BlendFrame, *first->Payload, start), position, rotation);
        BlendFrame.Offset = position;
        BlendFrame.Rotation = rotation;
        DeleteTrack(first);
    }
    BlendFrame.Time = start;
    BlendFrame.Duration = static_cast<int32_t>(duration);
    BlendFrame.Flags = kFrameRotationChanges | kFrameOffsetChanges | kFrameBlend;
    for (AwShapeInstance* child : Children) child->StartBlend(start, duration);
}

void AwShapeInstance::DropFirstTrack() {
    ListNode<AwNodeTrack*>* first = Tracks.First();
    if (first && !first->Payload->Sequence->IsRelative()) DeleteTrack(first);
    for (AwShapeInstance* child : Children) child->DropFirstTrack();
}

void AwShapeInstance::RemovePlayer(const AwSequencePlayer* player) {
    for (ListNodeBase* n = Tracks.Sentinel()->Next; n != Tracks.Sentinel(); n = n->Next) {
        auto* node = static_cast<ListNode<AwNodeTrack*>*>(n);
        if (node->Payload->Player == player) {
            DeleteTrack(node);
            break;
        }
    }
    for (AwShapeInstance* child : Children) child->RemovePlayer(player);
}
