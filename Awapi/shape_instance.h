#pragma once
// One node of a placed object's shape tree: a frame relative to the parent
// node, up to ten shapes of which the draw picks one (levels of detail,
// variants), an optional culling box and the child nodes it owns. Drawing
// caches the node's world matrix for the rest of the rendered frame.
// Main thread only.

#include <cstdint>
#include <optional>
#include <string>

#include "Awapi/frame.h"
#include "Awapi/render_item.h"
#include "Awapi/texture_list.h"
#include "core/list.h"
#include "platform/d3d/d3d_types.h"

class AwBoundingBox;
class AwShape;
struct AwTexture;

constexpr int kShapeSlots = 10;
// Node flags, OR-ed into the draw flags.
constexpr uint32_t kNodeNeverCull = 0x2;
constexpr uint32_t kNodeSlotZero = 0x4;

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
    // Releases the slot shapes' uses and deletes the children.
    ~AwShapeInstance() override;

    // Draws the node and its subtree; returns the node's cull result.
    uint32_t Draw(const AwNodeDrawArgs& args);
    // matrix: in the parent's world matrix, out the node's.
    void ComputeWorldMatrix(plat::Matrix& matrix, int32_t time);
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
    List<AwShapeInstance*> Children;

private:
    // Puts the shape in the slot: the old shape loses a use, the new one gains one.
    void SetSlot(int slot, AwShape* shape);
    // Sphere, never-cull flag and textures from the slot-0 shape.
    void TakeSlotZero(bool copyFlags);
};
