// The shape-instance record of the level-geometry cache: per node a 32-byte
// head (box min and max, has-shape, child count), then, with a shape, its part
// count and part blocks (counts, vertex format, texture name, vertices,
// 16-bit indices), then the children's records.

#include <memory>
#include <string>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/bounding_box.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "core/bytes.h"
#include "core/vector_bytes.h"
#include "platform/d3d/fvf.h"
#include "platform/files.h"

namespace {

constexpr size_t kHeadSize = 32;
constexpr size_t kPartHeadSize = 16;
// Subdivision trees are a few dozen levels deep; a deeper image is damaged
// and would otherwise exhaust the stack.
constexpr int kMaxDepth = 256;

// The node's own record, without its children's; false when the node cannot be stored.
bool EncodeNode(const AwShapeInstance& node, ByteWriter& out) {
    if (!node.Box) return false;
    const AwShape* shape = node.Slots[0];
    WriteVector3(out, node.Box->Min());
    WriteVector3(out, node.Box->Max());
    out.U32(shape ? 1 : 0);
    out.U32(static_cast<uint32_t>(node.Children.Count()));
    if (!shape) return true;
    out.U32(static_cast<uint32_t>(shape->Parts.Count()));
    for (const AwMeshPart* part : shape->Parts) {
        if (!part->Texture) return false;
        const std::string& name = part->Texture->Name;
        out.U32(part->VertexCount);
        out.U32(part->IndexCount);
        out.U32(part->VertexFormat);
        out.U32(static_cast<uint32_t>(name.size() + 1));
        out.Bytes(name.c_str(), name.size() + 1);
        out.Bytes(part->Vertices.data(), part->Vertices.size());
        for (uint16_t index : part->Indices) out.U16(index);
    }
    return true;
}

// Deletes a shape under construction (its parts and texture references go with it).
struct ShapeRelease {
    void operator()(AwShape* shape) const { shape->ReleaseUse(); }
};
using ShapeHandle = std::unique_ptr<AwShape, ShapeRelease>;

// One part block appended to the shape; false when it does not fit the image.
bool ReadPart(ByteReader& in, AwShape& shape) {
    if (!in.Has(kPartHeadSize)) return false;
    const uint32_t vertexCount = in.U32();
    const uint32_t indexCount = in.U32();
    const uint32_t vertexFormat = in.U32();
    const uint32_t nameLength = in.U32();
    const uint32_t stride = plat::FvfStride(vertexFormat);
    if (stride == 0 || nameLength == 0 || !in.Has(nameLength)) return false;
    const auto* nameBytes = reinterpret_cast<const char*>(in.cursor());
    if (nameBytes[nameLength - 1] != '\0') return false;
    const std::string name(nameBytes);
    in.Skip(nameLength);
    const uint64_t dataSize = uint64_t{vertexCount} * stride + uint64_t{indexCount} * 2;
    if (!in.Has(dataSize)) return false;

    auto* part = new AwMeshPart(vertexCount, indexCount, vertexFormat);
    shape.Parts.PushBack(part);
    in.Bytes(part->Vertices.data(), part->Vertices.size());
    for (uint16_t& index : part->Indices) {
        index = in.U16();
        if (index >= vertexCount) return false;
    }
    AwTexture* texture = TextureManager.Get(name.c_str(), 0);
    shape.AddTexture(texture);
    ReleaseUseCount(texture);
    part->Texture = texture;
    part->AssignVertexBuffer(true);
    return true;
}

AwShapeInstance* ReadNode(ByteReader& in, int depth) {
    if (depth > kMaxDepth || !in.Has(kHeadSize)) return nullptr;
    const Vector3 min = ReadVector3(in);
    const Vector3 max = ReadVector3(in);
    const uint32_t hasShape = in.U32();
    const uint32_t childCount = in.U32();
    if (hasShape > 1) return nullptr;

    ShapeHandle shape;
    if (hasShape) {
        shape.reset(new AwShape);
        shape->Min = min;
        shape->Max = max;
        uint32_t partCount = 0;
        if (!in.U32(partCount) || partCount > in.remaining() / (kPartHeadSize + 1)) return nullptr;
        for (uint32_t i = 0; i < partCount; ++i)
            if (!ReadPart(in, *shape)) return nullptr;
    }
    if (childCount > in.remaining() / kHeadSize) return nullptr;

    // The node keeps the only use of its shape.
    auto node = std::make_unique<AwShapeInstance>(shape.get(), false);
    shape.reset();
    node->Box = new AwBoundingBox(min, max);
    for (uint32_t i = 0; i < childCount; ++i) {
        AwShapeInstance* child = ReadNode(in, depth + 1);
        if (!child) return nullptr;
        node->Children.PushBack(child);
        node->Textures.Merge(child->Textures);
    }
    return node.release();
}

} // namespace

bool AwShapeInstance::WriteCached(plat::File& file) const {
    ByteWriter record;
    if (!EncodeNode(*this, record)) return false;
    if (!file.Write(record.bytes().data(), static_cast<uint32_t>(record.size()))) return false;
    for (const AwShapeInstance* child : Children)
        if (!child->WriteCached(file)) return false;
    return true;
}

AwShapeInstance* AwShapeInstance::ReadCached(ByteReader& cursor) { return ReadNode(cursor, 0); }
