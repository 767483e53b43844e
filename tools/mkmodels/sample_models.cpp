#include "tools/mkmodels/sample_models.h"

#include <cmath>
#include <vector>

#include "chunkfile/chunkfields.h"
#include "chunkfile/environment_chunks.h"
#include "chunkfile/filechunk.h"
#include "chunkfile/hierarchy_chunks.h"
#include "chunkfile/light_dummy.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/sequence_chunks.h"
#include "chunkfile/shape_chunk.h"
#include "core/bytes.h"
#include "platform/files.h"

namespace {

constexpr int32_t kTexturedType = 5;

// A chunk made from its id and data through the registry (for classes read only from bytes).
Chunk* AddFromBytes(ParentChunk& parent, const char* id, const std::vector<uint8_t>& data = {}) {
    ByteWriter bytes;
    bytes.Bytes(id, 8);
    bytes.U32(static_cast<uint32_t>(12 + data.size()));
    bytes.Bytes(data.data(), data.size());
    return parent.CreateChild(RawChunk{bytes.bytes().data(), static_cast<uint32_t>(bytes.size())});
}

ParentChunk* AddParent(ParentChunk& parent, const char* id) { return dynamic_cast<ParentChunk*>(AddFromBytes(parent, id)); }

// A shape of quads (four point indices each), textured with texture 0 when `uv` is set.
class ShapeBuilder {
public:
    int32_t Point(int32_t x, int32_t y, int32_t z) {
        data_.points.push_back({x, y, z});
        return static_cast<int32_t>(data_.points.size() - 1);
    }
    void Quad(const int32_t (&v)[4], bool textured, float uvSize) {
        ChunkPolygon p;
        p.type = textured ? kTexturedType : 0;
        p.vertexCount = 4;
        for (int i = 0; i < 4; ++i) p.vertices[i] = v[i];
        if (textured) p.SetUvIndex(static_cast<uint32_t>(data_.uvLists.size()));
        data_.polygons.push_back(p);
        ChunkUvList uv;
        uv.count = 4;
        uv.pairs[0] = {0, 0};
        uv.pairs[1] = {uvSize, 0};
        uv.pairs[2] = {uvSize, uvSize};
        uv.pairs[3] = {0, uvSize};
        data_.uvLists.push_back(uv);
        data_.polygonNormals.push_back(Normal(v));
    }
    ChunkShapeData Finish() {
        data_.pointCount = static_cast<int32_t>(data_.points.size());
        data_.polygonCount = static_cast<int32_t>(data_.polygons.size());
        data_.vertexNormals.assign(data_.points.size(), Vector3(0, -1, 0));
        VectorI lo = data_.points.front(), hi = lo;
        for (const VectorI& p : data_.points) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        data_.cornerA = lo;
        data_.cornerB = hi;
        return data_;
    }

private:
    Vector3 Normal(const int32_t (&v)[4]) const {
        auto at = [&](int i) {
            const VectorI& p = data_.points[static_cast<size_t>(v[i])];
            return Vector3(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        };
        const Vector3 n = Cross(at(1) - at(0), at(2) - at(0));
        const float length = std::sqrt(Dot(n, n));
        return length > 0 ? n * (1.0f / length) : Vector3(0, -1, 0);
    }
    ChunkShapeData data_;
};

// An axis-aligned box from (x0, y0, z0) to (x1, y1, z1).
void AddBox(ShapeBuilder& b, int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1, bool textured) {
    const int32_t c[8] = {b.Point(x0, y0, z0), b.Point(x1, y0, z0), b.Point(x1, y1, z0), b.Point(x0, y1, z0),
                          b.Point(x0, y0, z1), b.Point(x1, y0, z1), b.Point(x1, y1, z1), b.Point(x0, y1, z1)};
    // Front faces wind so that (v1 - v0) x (v2 - v0) points out of the box.
    const int32_t faces[6][4] = {{c[3], c[2], c[1], c[0]}, {c[6], c[7], c[4], c[5]}, {c[7], c[3], c[0], c[4]},
                                 {c[2], c[6], c[5], c[1]}, {c[0], c[1], c[5], c[4]}, {c[7], c[6], c[2], c[3]}};
    for (const auto& f : faces) b.Quad(f, textured, 16);
}

ObjectChunk* AddObject(FileChunk& file, const char* name, const ChunkShapeData& shape, VectorI position = {}) {
    auto* chunk = new QorShapeChunk(&file, shape);
    ChunkObjectData data;
    data.name = name;
    data.position = position;
    data.orientation = {0, 0, 0, 1};
    ObjectChunk* object = ObjectChunk::NewObject(&file, data);
    object->SetShapeChunk(*chunk);
    return object;
}

void AddEnvironment(FileChunk& file, const char* bitmap, uint32_t width, uint32_t height) {
    auto* environment = new EnvironmentChunk(&file);
    new WorldScaleChunk(environment, "ENVSDSCL", {1.0});
    if (!bitmap) return;
    ByteWriter names;
    names.U32(1);
    names.U32(0x10C);
    names.I32(0);
    names.U32(0);
    names.U32(6);
    names.U32(width | (height << 16));
    WritePaddedString(names, bitmap);
    AddFromBytes(*environment, "BMPNAMES", names.bytes());
}

bool Save(FileChunk& file, const std::string& directory, const char* name) { return file.Save(directory + "/" + name); }

ParentChunk* AddNode(ParentChunk& parent, const char* object) {
    ParentChunk* node = AddParent(parent, "OBJCHIER");
    if (node) new HierarchyDataChunk(node, object);
    return node;
}

struct Key {
    int32_t time;
    int32_t offset[3];
    float turn; // about y, in radians
    int32_t sound;
};

// A sequence of keys; a non-zero speed (millimetres a second) moves the model
// forward while it plays.
void AddSequence(ParentChunk& node, int32_t number, int32_t ms, const std::vector<Key>& keys, int32_t speed = 0) {
    auto* set = dynamic_cast<ParentChunk*>(node.FindChild("OBANSEQS"));
    if (!set) set = AddParent(node, "OBANSEQS");
    ParentChunk* sequence = AddParent(*set, "OBANSEQC");
    SequenceHeader header;
    header.number = number;
    header.name = number == 0 ? "idle" : "walk";
    new SequenceHeaderChunk(sequence, "OBASEQHD", header);
    new SequenceTimeChunk(sequence, ms);
    if (speed != 0) new SequenceSpeedChunk(sequence, speed, 0);
    int32_t n = 0;
    for (const Key& k : keys) {
        SequenceFrame frame;
        frame.number = n++;
        frame.time = k.time;
        std::copy(std::begin(k.offset), std::end(k.offset), frame.offset);
        frame.rotation = {0, std::sin(k.turn / 2), 0, std::cos(k.turn / 2)};
        auto* chunk = new SequenceFrameChunk(sequence, "OBASEQFR", frame);
        chunk->SetSound(k.sound);
    }
}

void AddIndexedSound(ParentChunk& file, int32_t index, const char* name) {
    ByteWriter out;
    out.I32(index);
    WritePaddedString(out, name);
    for (uint32_t w : {128u, 22050u * 128u, 2000u, 10000u, 0u}) out.U32(w);
    out.U32(0);
    AddFromBytes(file, "INDSOUND", out.bytes());
}

} // namespace

bool WriteCrateTexture(const std::string& directory) {
    constexpr uint32_t kSide = 16, kRow = kSide * 3;
    ByteWriter bmp;
    bmp.U8('B');
    bmp.U8('M');
    bmp.U32(14 + 40 + kRow * kSide);
    bmp.U32(0);
    bmp.U32(14 + 40);
    bmp.U32(40);
    bmp.I32(kSide);
    bmp.I32(kSide);
    bmp.U16(1);
    bmp.U16(24);
    for (int i = 0; i < 6; ++i) bmp.U32(0);
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const bool light = ((x / 4) + (y / 4)) % 2 == 0;
            bmp.U8(light ? 0x40 : 0x10);
            bmp.U8(light ? 0x90 : 0x50);
            bmp.U8(light ? 0xC0 : 0x80);
        }
    plat::File out = plat::File::Open(directory + "/crate.bmp", plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    return out.IsOpen() && out.Write(bmp.bytes().data(), static_cast<uint32_t>(bmp.size()));
}

bool WriteBoxModel(const std::string& directory) {
    FileChunk file;
    AddEnvironment(file, "crate.bmp", 16, 16);
    ShapeBuilder box;
    AddBox(box, -500, -500, -500, 500, 500, 500, true);
    AddObject(file, "Box", box.Finish());
    return Save(file, directory, "Box.qif");
}

bool WriteFlagModel(const std::string& directory) {
    FileChunk file;
    AddEnvironment(file, nullptr, 0, 0);
    ShapeBuilder pole, cloth;
    AddBox(pole, -30, -2200, -30, 30, 0, 30, false);
    AddBox(cloth, 0, 0, -10, 800, 500, 10, false);
    AddObject(file, "Pole", pole.Finish());
    AddObject(file, "Cloth", cloth.Finish());
    ParentChunk* top = AddParent(file, "OBJCHIER");
    new HierarchyNameChunk(top, "tf_flag");
    new HierarchyBoxChunk(top, HierarchyBox{{-30, -2200, -30}, {830, 0, 30}});
    ParentChunk* poleNode = AddNode(*top, "Pole");
    AddSequence(*poleNode, 0, 1500, {{0, {0, 0, 0}, 0, 0}});
    // The cloth flutters about the pole.
    ParentChunk* clothNode = AddNode(*poleNode, "Cloth");
    AddSequence(*clothNode, 0, 1500,
                {{0, {30, -2200, 0}, 0, 0}, {16384, {30, -2200, 0}, 0.35f, 0}, {32768, {30, -2200, 0}, 0, 0}});
    plat::CreateDir(directory + "/objects");
    return Save(file, directory, "objects/tf_flag.qif");
}

bool WriteRobotModel(const std::string& directory) {
    FileChunk file;
    AddEnvironment(file, nullptr, 0, 0);
    AddIndexedSound(file, 1, "sounds\\servo.wav");
    AddIndexedSound(file, 2, "sounds\\step.wav");
    ShapeBuilder body, turret, muzzle;
    AddBox(body, -600, -400, -800, 600, 0, 800, false);
    AddBox(turret, -300, -300, -300, 300, 0, 300, false);
    AddBox(muzzle, -50, -50, 0, 50, 50, 600, false);
    AddObject(file, "Body", body.Finish());
    AddObject(file, "Turret", turret.Finish());
    AddObject(file, "Muzzle", muzzle.Finish());
    ShapeBuilder droneBody;
    AddBox(droneBody, -400, -500, -400, 400, -100, 400, false);
    AddObject(file, "DroneBody", droneBody.Finish());
    ParentChunk* top = AddParent(file, "OBJCHIER");
    new HierarchyNameChunk(top, "Robot");
    new HierarchyBoxChunk(top, HierarchyBox{{-600, -700, -800}, {600, 0, 800}});
    ParentChunk* bodyNode = AddNode(*top, "Body");
    AddSequence(*bodyNode, 0, 2000, {{0, {0, 0, 0}, 0, 0}, {32768, {0, -20, 0}, 0, 0}});
    AddSequence(*bodyNode, 1, 1000, {{0, {0, 0, 0}, 0, 2}, {32768, {0, -50, 0}, 0, 2}}, 1500);
    ParentChunk* turretNode = AddNode(*bodyNode, "Turret");
    AddSequence(*turretNode, 0, 2000, {{0, {0, -400, 0}, 0, 1}, {32768, {0, -400, 0}, 1.5f, 0}});
    AddSequence(*turretNode, 1, 1000, {{0, {0, -400, 0}, 0, 0}});
    ParentChunk* muzzleNode = AddNode(*turretNode, "Muzzle");
    AddSequence(*muzzleNode, 0, 2000, {{0, {0, -150, 300}, 0, 0}});
    AddSequence(*muzzleNode, 1, 1000, {{0, {0, -150, 300}, 0, 0}});

    // The drone: a hovering body with the same gun, after the robot.
    ParentChunk* drone = AddParent(file, "OBJCHIER");
    new HierarchyNameChunk(drone, "Drone");
    new HierarchyBoxChunk(drone, HierarchyBox{{-400, -500, -400}, {400, -100, 400}});
    ParentChunk* droneNode = AddNode(*drone, "DroneBody");
    AddSequence(*droneNode, 0, 2000, {{0, {0, 0, 0}, 0, 0}, {32768, {0, -40, 0}, 0, 0}});
    AddSequence(*droneNode, 1, 1000, {{0, {0, -20, 0}, 0, 0}}, 1000);
    ParentChunk* droneGun = AddNode(*droneNode, "Muzzle");
    AddSequence(*droneGun, 0, 2000, {{0, {0, -300, 400}, 0, 0}});
    AddSequence(*droneGun, 1, 1000, {{0, {0, -300, 400}, 0, 0}});
    return Save(file, directory, "Robot.qif");
}

bool WriteLevelModel(const std::string& directory) {
    FileChunk file;
    AddEnvironment(file, nullptr, 0, 0);
    ShapeBuilder level;
    AddBox(level, -20000, 0, -20000, 20000, 200, 20000, false);      // floor
    AddBox(level, -20000, -3000, -20000, 20000, 0, -19500, false);   // north wall
    AddBox(level, -20000, -3000, 19500, 20000, 0, 20000, false);     // south wall
    const int32_t r[4] = {level.Point(-2000, 0, 0), level.Point(2000, 0, 0), level.Point(2000, -1500, 6000),
                          level.Point(-2000, -1500, 6000)};
    level.Quad(r, false, 0); // ramp
    AddObject(file, "Level", level.Finish());
    DummyObjectFields start;
    start.position = {-10000, 0, -10000};
    start.orientation = {0, 0, 0, 1};
    start.name = "PlayerStart";
    new DummyObjectChunk(&file, start);
    DummyObjectFields goal = start;
    goal.position = {10000, -1500, 6000};
    goal.name = "Goal";
    (new DummyObjectChunk(&file, goal))->SetText("reach to win");
    return Save(file, directory, "Level.qif");
}
