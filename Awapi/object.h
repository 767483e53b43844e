#pragma once
// Placed objects: a scaled, reference-counted frame that owns a tree of
// shape-instance nodes, the textures the tree uses, object-space bounds with
// an optional culling box, and collision bounds read by the level world.
// Game code moves an object through the frame setters and queues it every
// frame; the draw list then draws it once per texture group.
//
// Objects may be made on the server thread (box batches are locked);
// queuing and drawing happen on the main thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "Awapi/frame.h"
#include "Awapi/render_item.h"
#include "Awapi/texture_list.h"
#include "core/list.h"

class AwBoundingBox;
class AwCamera;
class AwLightSet;
class AwModel;
class AwSequencePlayer;
class AwShape;
class AwShapeInstance;
struct AwAnimSequence;
class RenderMaterial;
struct AwTexture;

class AwObject : public AwScaledFrame {
public:
    // A one-node tree holding the shape; bounds from the shape.
    AwObject(AwShape* shape, bool box);
    // Takes over the tree; with `box` the bounds come from the root's box
    // (zero when the root has none), without it they are zero.
    AwObject(AwShapeInstance* tree, bool box);
    // A tree mirroring the model; bounds (and with `box` a box) from the
    // model's bounds when it has them, its movement vectors and its name.
    AwObject(const AwModel& model, bool box);
    ~AwObject() override;

    // Queues one drawing under the given textures (the object's own when
    // null); returns the item's references left after the creator's release.
    int32_t QueueForDrawing(int32_t time, AwCamera* camera, AwLightSet* lightSet, RenderMaterial* material,
                            int32_t slot, AwDrawFlags flags, AwPickContext* pickContext, AwRenderHook* hook,
                            const AwTextureList* textures);
    // Advances the players, culls the object's sphere, then draws the tree with the texture filter.
    void Draw(int32_t time, int32_t slot, AwDrawFlags flags, AwTexture* filter);

    // Animation. Times are ticks of the caller's clock, speeds and fractions
    // 16.16 fixed point; `done`, when given, receives 1 once the player ends.
    // Advances every live player (frame sounds play at the object with
    // kDrawAnimationObject); players left unreferenced leave the tree and go.
    void AdvanceSequences(uint32_t time, AwDrawFlags flags);
    // Starts sequence n as the current one (or layered, with kPlayerLayered),
    // replacing a running current one by a blend (kPlayerBlend) or, with
    // `reset`, a hard cut; relative sequences leave the current one running.
    // False when the root has no sequence n.
    bool PlaySequence(int32_t n, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                      uint32_t flags, bool reset);
    // Adds a player at the end that blends with nothing; a key other than -1
    // first removes the live player of that key. Without sequence n nothing changes.
    void AddSequence(int32_t n, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done, uint32_t flags,
                     bool holdTracks, int32_t key);
    // Plays sequence n from fraction `from` to `to` of its last key's time,
    // backwards when `to` lies before; a running range player of n is
    // retargeted from where it is. `endTime` receives the tick the target is
    // reached (0: never, at speed 0). from = to starts nothing and raises
    // `done`. False when the root has no sequence n.
    bool PlaySequenceRange(int32_t n, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                           uint32_t* endTime, uint8_t* done, uint32_t flags, bool holdTracks);
    // Mode bit 0 stops every live player, bit 1 those of the key.
    void StopSequences(uint32_t mode, int32_t key);
    bool HasSequence(int32_t n) const;
    // Sequence n of the root is relative; false when there is none.
    bool TestSequenceFlag4(int32_t n) const;
    // The current (first, not layered) player plays n.
    bool IsPlayingSequence(int32_t n) const;
    // The last player is layered and plays n.
    bool IsPlayingLayeredSequence(int32_t n) const;

    // False without a tree.
    bool GetSubShapePosition(Vector3& out, const char* name, int32_t time);
    // Replaces the shape of the named node, then collects the tree's textures again.
    void ReplaceSubShape(AwShape* shape, const char* name);
    // Replaces shapes (and sequences, with kReplaceMoveSequences) from the
    // model, then collects the tree's textures again.
    void ReplaceSubModel(const AwModel& model, uint32_t flags);
    // The root's own name deletes the whole tree.
    void DeleteSubShape(const char* name);
    // Drops the culling box.
    void ReleaseBounds();

    AwShapeInstance* Root = nullptr; // owned
    std::string Description;
    uint32_t MovementStart = 0;
    AwTextureList Textures;
    bool HasBox = false;
    Vector3 Min{0, 0, 0}, Max{0, 0, 0};
    AwBoundingBox* Box = nullptr;
    uint8_t CollisionFlag = 0;
    Vector3 CollisionMin{0, 0, 0}, CollisionMax{0, 0, 0};
    std::vector<Vector3> MovementPerTick, MovementPerSecond; // per sequence of the model
    List<AwSequencePlayer*> Players; // owned; the first not layered is the current sequence

private:
    void SetBounds(const Vector3& min, const Vector3& max, bool box);
    void CollectTextures();
    // The root's sequence n; null when there is none.
    const AwAnimSequence* RootSequence(int32_t n) const;
    // A new player of the root's sequence n, inserted at the front or at the end.
    AwSequencePlayer* NewPlayer(const AwAnimSequence& sequence, int32_t n, int32_t speed, uint32_t flags,
                                int32_t loopCount, uint32_t startTime, uint8_t* done, bool atEnd);
    // Ends a running current player for a new start: blend from its pose, or a hard cut with `cut`.
    // Returns the start time of the new player.
    uint32_t ReplaceCurrent(uint32_t flags, int32_t speed, uint32_t startTime, bool cut);
    // Takes the player's tracks out of the tree and deletes it.
    void DeletePlayer(ListNode<AwSequencePlayer*>* node);
};
