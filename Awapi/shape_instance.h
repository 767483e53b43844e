#pragma once
// One node of a placed object's shape tree: a frame relative to the parent
// node, up to ten shapes of which the draw picks one (levels of detail,
// variants), an optional culling box and the child nodes it owns. Drawing
// caches the node's world matrix for the rest of the rendered frame.
// Main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Awapi/frame.h"
#include "Awapi/model/anim_sequence.h"
#include "Awapi/render_item.h"
#include "Awapi/texture_list.h"
#include "core/list.h"
#include "platform/d3d/d3d_types.h"

class AwBoundingBox;
class AwModel;
class AwSequencePlayer;
class AwShape;
struct AwNodeTrack;
class ByteReader;
struct AwTexture;
namespace plat {
class File;
}

constexpr int kShapeSlots = 10;
// Node flags, OR-ed into the draw flags.
constexpr uint32_t kNodeNeverCull = 0x2;
constexpr uint32_t kNodeSlotZero = 0x4;
// ReplaceFromModel flag: the matching node takes private copies of its
// sequences, moved to the model node's first key.
constexpr uint32_t kReplaceMoveSequences = 0x1;

// Names compare without regard to case.
bool AwNamesMatch(const std::string& a, const char* b);

struct AwNodeDrawArgs {
    int32_t passThrough = 0;
    int32_t time = 0;
    const plat::Matrix* parent = nullptr;
    const Vector3* scale = nullptr; // null: unit scale
    int32_t slot = 0;
    AwDrawFlags flags = 0;
    uint32_t culled = 0; // 0: test
    AwTexture* filter = nullptr;
};

class AwShapeInstance : public AwFrame, public MemObject {
public:
    // One node holding the shape (may be null) in slot 0, at the origin
    // without rotation; with `box` it gets a culling box from the shape's bounds.
    AwShapeInstance(AwShape* shape, bool box);
    // A tree mirroring the model tree: each node takes its model node's name,
    // shapes (one use each) and sequences (shared: the model must outlive the
    // tree), and rests on the first key of its first sequence.
    AwShapeInstance(const AwModel& model, bool box);
    // Releases the slot shapes' uses, deletes the tracks, a private sequence
    // copy and the children.
    ~AwShapeInstance() override;

    // Draws the node and its subtree; returns the node's cull result.
    uint32_t Draw(const AwNodeDrawArgs& args);
    // matrix: in the parent's world matrix, out the node's: the first track's
    // pose (the frame's when it is relative or missing) with every other
    // track's composed on top. Tracks that ended are finished or deleted.
    void ComputeWorldMatrix(plat::Matrix& matrix, int32_t time);
    // The same local matrix without ending tracks; the frame's when the first track has ended.
    void GetLocalMatrix(Matrix34& out, int32_t time);
    // The origin of the first node named so (depth first, this node first), in this node's parent space.
    bool GetSubShapePosition(Vector3& out, const char* name, int32_t time);
    // The target's matrix in this node's parent space; false when it is not in the subtree.
    bool GetMatrixOf(Matrix34& out, const AwShapeInstance* target, int32_t time);
    // Depth first, this node first; a node without a name matches any name.
    AwShapeInstance* FindByName(const char* name);
    // Deletes every child subtree whose root is named so, searching below the others.
    void DeleteByName(const char* name);
    // A named node (unnamed nodes never match) takes the shape in all ten
    // slots; its children are not searched. Non-matching nodes search their children.
    void ReplaceShape(AwShape* shape, const char* name);
    // Appends a child (its textures are not merged).
    void AddChild(AwShapeInstance* child);
    // The node named as the model node takes its shapes and, with
    // kReplaceMoveSequences, private sequences moved to its first key; then
    // each model child replaces its namesake below that node. Non-matching
    // nodes search their children.
    void ReplaceFromModel(const AwModel& model, uint32_t flags);
    // Replaces the shared sequences by a private copy of the model's (a
    // previous copy is dropped); tracks restart on the copy's first frames.
    void CopySequences();

    // Track walks over the subtree, for playback.
    // Each node with sequence n gets a track of the player (holding a player
    // reference with `holdTracks`): a layered player's at the end, any other
    // at the front, preparing the blend toward sequence n's first key. The
    // player takes the longest length of sequence n.
    void AttachPlayer(int32_t n, AwSequencePlayer* player, bool holdTracks);
    // Each node's blend frame becomes its pose at `start` (its first track,
    // which is deleted, or its rest pose), to blend from over `duration`.
    void StartBlend(uint32_t start, uint32_t duration);
    // Deletes each node's first track unless its sequence is relative.
    void DropFirstTrack();
    // Deletes each node's first track following the player.
    void RemovePlayer(const AwSequencePlayer* player);
    // The track's pose at `time` as a matrix; true once the track has ended.
    bool SampleTrack(AwNodeTrack& track, uint32_t time, Matrix34& out);

    // Gives the slot-0 shape a culling box from its bounds (replacing any it
    // had) and subdivides it below this node for culling; nothing without one.
    void BuildBounds(uint32_t vertexLimit);

    // Appends the cache record of the node and its subtree (depth first; the
    // slot-0 shape only). Every node needs a box and every part of a stored
    // shape a texture; false, with nothing more written, when one lacks it or
    // a write fails.
    bool WriteCached(plat::File& file) const;
    // Rebuilds a tree from a cache record, advancing the reader past it; null,
    // with nothing kept, when a count, length or index does not fit the image.
    static AwShapeInstance* ReadCached(ByteReader& cursor);

    AwTextureList Textures;
    AwShape* Slots[kShapeSlots] = {};
    plat::Matrix WorldMatrix;
    uint32_t FrameStamp = 0; // the frame counter starts at 1, so the first draw computes the matrix
    uint32_t Culled = 0;
    std::optional<std::string> Name;
    AwBoundingBox* Box = nullptr;
    Vector3 SphereCentre{0, 0, 0};
    float SphereRadius = 0;
    uint32_t NodeFlags = kNodeSlotZero;
    AwAnimFrame BlendFrame;    // the pose a blended start begins from
    List<AwNodeTrack*> Tracks; // owned; the front one is the current sequence
    List<AwShapeInstance*> Children;
    AwAnimSequenceList* Sequences = nullptr;      // the model node's, or the private copy
    AwAnimSequenceList* ModelSequences = nullptr; // the model node's while a private copy is in use

    // Puts the shape in the slot: the old shape loses a use, the new one gains one.
    void SetSlot(int slot, AwShape* shape);

private:
    // Sphere, never-cull flag and textures from the slot-0 shape.
    void TakeSlotZero(bool copyFlags);
    // The model node's ten shapes into the slots.
    void TakeModelShapes(const AwModel& model);
    // Deletes the track (dropping the player reference it holds).
    void DeleteTrack(ListNode<AwNodeTrack*>* node);
    // Ends the track when it has ended: deleted with remove-when-done, else its player is marked finished.
    void EndTrack(ListNode<AwNodeTrack*>* node);

    std::unique_ptr<AwAnimSequenceList> sequenceCopy_;
};

// The pose between two keys at weight w: rotation and offset each interpolate
// only where A's frame flags say they change.
void AwInterpolateFrames(const AwAnimFrame& a, const AwAnimFrame& b, float w, Vector3& position,
                         Quaternion& rotation);
