#pragma once
// Articulated models: a tree of OBJCHIER nodes. A top-level OBJCHIER is a
// hierarchy, found by its OBHIERNM name, whose first OBJCHIER child is the
// root node; a node names the QOOBJECT it shows (OBJHIERD), may carry bounds
// (HIERBBOX) and animation sequences (OBANSEQS), and holds its child nodes.
//
//   OBJHIERD  u32 n; n kept words; the node's object name (padded string)
//   OBHIERNM  the node's name (padded string)
//   OBHALTSH  u32 index; name; u32 n; n pairs of padded strings; 4 kept words
//   HSETCOLL  u32 index; name; u32 n; n kept words; 2 kept words
//   HIDEGDIS  u32 n; n detail-level switch distances (top level of a file)
//   HIERBBOX  first corner x, y, z, second corner x, y, z (i32, file units)

#include <string>
#include <utility>
#include <vector>

#include "chunkfile/fieldchunk.h"
#include "core/list.h"

class ObjectChunk;

struct HierarchyData {
    std::vector<uint32_t> words;
    std::string objectName;
};
bool ReadFields(ByteReader& in, HierarchyData& f);
void WriteFields(ByteWriter& out, const HierarchyData& f);

// OBJHIERD: the node's object.
class HierarchyDataChunk final : public FieldChunk<HierarchyData> {
public:
    using Fields = HierarchyData;
    using FieldChunk::FieldChunk;
    HierarchyDataChunk(ParentChunk* parent, std::string objectName);

    // Empty when the node shows no object.
    const std::string& ObjectName() const { return fields_.objectName; }
    // The first QOOBJECT child of the tree's top chunk whose name equals the
    // object name exactly; null for none. Looked up on each call, so the link
    // follows objects added or deleted after reading.
    ObjectChunk* LinkedObject() const;
    std::string Describe() const override;
};

struct HierarchyName {
    std::string name;
};
bool ReadFields(ByteReader& in, HierarchyName& f);
void WriteFields(ByteWriter& out, const HierarchyName& f);

// OBHIERNM: the node's name (a top-level node's is the hierarchy's).
class HierarchyNameChunk final : public FieldChunk<HierarchyName> {
public:
    using Fields = HierarchyName;
    using FieldChunk::FieldChunk;
    HierarchyNameChunk(ParentChunk* parent, std::string name);

    const std::string& Name() const { return fields_.name; }
    std::string Describe() const override;
};

struct HierarchyAltShape {
    uint32_t index = 0;
    std::string name;
    std::vector<std::pair<std::string, std::string>> pairs;
    uint32_t words[4] = {};
};
bool ReadFields(ByteReader& in, HierarchyAltShape& f);
void WriteFields(ByteWriter& out, const HierarchyAltShape& f);

// OBHALTSH.
class HierarchyAltShapeChunk final : public FieldChunk<HierarchyAltShape> {
public:
    using Fields = HierarchyAltShape;
    using FieldChunk::FieldChunk;
    HierarchyAltShapeChunk(ParentChunk* parent, uint32_t index, std::string name);
    // Takes the smallest index that no OBHALTSH child of `parent` uses.
    HierarchyAltShapeChunk(ParentChunk* parent, std::string name);

    uint32_t Index() const { return fields_.index; }
};

struct HierarchyCollisionSet {
    uint32_t index = 0;
    std::string name;
    std::vector<uint32_t> words;
    uint32_t trailer[2] = {};
};
bool ReadFields(ByteReader& in, HierarchyCollisionSet& f);
void WriteFields(ByteWriter& out, const HierarchyCollisionSet& f);

// HSETCOLL.
class HierarchyCollisionSetChunk final : public FieldChunk<HierarchyCollisionSet> {
public:
    using Fields = HierarchyCollisionSet;
    using FieldChunk::FieldChunk;
    HierarchyCollisionSetChunk(ParentChunk* parent, uint32_t index, std::string name);
};

struct DetailDistances {
    std::vector<uint32_t> distances;
};
bool ReadFields(ByteReader& in, DetailDistances& f);
void WriteFields(ByteWriter& out, const DetailDistances& f);

// HIDEGDIS: one switch distance per detail level.
class DetailDistancesChunk final : public FieldChunk<DetailDistances> {
public:
    using Fields = DetailDistances;
    using FieldChunk::FieldChunk;
    // `count` distances 0, 10000, 20000, ...
    DetailDistancesChunk(ParentChunk* parent, uint32_t count);

    const std::vector<uint32_t>& Distances() const { return fields_.distances; }
};

struct HierarchyBox {
    int32_t first[3] = {};
    int32_t second[3] = {};
};
bool ReadFields(ByteReader& in, HierarchyBox& f);
void WriteFields(ByteWriter& out, const HierarchyBox& f);

// HIERBBOX: node or sequence bounds.
class HierarchyBoxChunk final : public FieldChunk<HierarchyBox> {
public:
    using Fields = HierarchyBox;
    using FieldChunk::FieldChunk;
    HierarchyBoxChunk(ParentChunk* parent, const HierarchyBox& box);
};

// OBJCHIER: a node, or at the top level of a file a hierarchy.
class HierarchyChunk final : public ParentChunk {
public:
    HierarchyChunk(ParentChunk* parent, const RawChunk& raw);

    HierarchyDataChunk* FindDataChunk() const;
    HierarchyNameChunk* FindNameChunk() const;
    // Empties `out`, then appends the child nodes in order.
    void ListChildNodes(List<HierarchyChunk*>& out) const;
};

// Registers the hierarchy chunk classes; called once at start-up (later
// calls do nothing).
void RegisterHierarchyChunkClasses();
