#include "tools/mkmodels/sample_models.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
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
    void Quad(const int32_t (&v)[4], bool textured, float uvSize, uint32_t flags = 0) {
        ChunkPolygon p;
        p.type = textured ? kTexturedType : 0;
        p.flags = flags;
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

// The face of AddBox at y0, which faces up (-y) when y0 < y1.
constexpr int kBoxTopFace = 4;

// An axis-aligned box from (x0, y0, z0) to (x1, y1, z1), without the face `skipFace` (-1: none).
void AddBox(ShapeBuilder& b, int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1, bool textured,
            int skipFace = -1) {
    const int32_t c[8] = {b.Point(x0, y0, z0), b.Point(x1, y0, z0), b.Point(x1, y1, z0), b.Point(x0, y1, z0),
                          b.Point(x0, y0, z1), b.Point(x1, y0, z1), b.Point(x1, y1, z1), b.Point(x0, y1, z1)};
    // Front faces wind so that (v1 - v0) x (v2 - v0) points out of the box.
    const int32_t faces[6][4] = {{c[3], c[2], c[1], c[0]}, {c[6], c[7], c[4], c[5]}, {c[7], c[3], c[0], c[4]},
                                 {c[2], c[6], c[5], c[1]}, {c[0], c[1], c[5], c[4]}, {c[7], c[6], c[2], c[3]}};
    for (int f = 0; f < 6; ++f)
        if (f != skipFace) b.Quad(faces[f], textured, 16);
}

// n x n textured quads of `size` at height y from (x0, z0), facing up and
// sharing their corners; flags(column, row) gives each quad's polygon flags,
// or nothing where the floor has a hole.
template <class Flags>
void AddFloorGrid(ShapeBuilder& b, int32_t x0, int32_t z0, int32_t size, int32_t n, int32_t y, Flags flags) {
    std::vector<int32_t> corners;
    for (int32_t row = 0; row <= n; ++row)
        for (int32_t column = 0; column <= n; ++column)
            corners.push_back(b.Point(x0 + column * size, y, z0 + row * size));
    auto at = [&](int32_t column, int32_t row) { return corners[static_cast<size_t>(row * (n + 1) + column)]; };
    for (int32_t row = 0; row < n; ++row)
        for (int32_t column = 0; column < n; ++column) {
            const std::optional<uint32_t> tile = flags(column, row);
            if (!tile) continue;
            const int32_t q[4] = {at(column, row), at(column + 1, row), at(column + 1, row + 1), at(column, row + 1)};
            b.Quad(q, true, 1, *tile);
        }
}

// Floor classes: the lift's floor joins the landings beside it where it stops.
constexpr uint32_t kLiftClass = 0x2000;
constexpr uint32_t kLandingClass = 0x4000;

// A small box standing on its position, for objects that mark places.
ChunkShapeData MarkerShape() {
    ShapeBuilder marker;
    AddBox(marker, -200, -400, -200, 200, 0, 200, false);
    return marker.Finish();
}

void AddDummy(FileChunk& file, const char* name, VectorI position, const char* text = nullptr) {
    DummyObjectFields fields;
    fields.position = position;
    fields.orientation = {0, 0, 0, 1};
    fields.name = name;
    auto* dummy = new DummyObjectChunk(&file, fields);
    if (text) dummy->SetText(text);
}

// A turn of `turn` radians about y.
Quaternion TurnAboutY(float turn) { return {0, std::sin(turn / 2), 0, std::cos(turn / 2)}; }

// `turn` faces the object's z axis that many radians about y.
ObjectChunk* AddObject(FileChunk& file, const char* name, const ChunkShapeData& shape, VectorI position = {},
                       float turn = 0) {
    auto* chunk = new QorShapeChunk(&file, shape);
    ChunkObjectData data;
    data.name = name;
    data.position = position;
    data.orientation = TurnAboutY(turn);
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
    float tilt = 0; // about x, in radians, before the turn
};

// The sequence numbers the game plays.
constexpr int32_t kSequenceIdle = 0, kSequenceWalk = 1, kSequenceFire = 2, kSequenceAimPitch = 5,
                  kSequenceAimYaw = 12, kSequenceGunTurn = 13, kSequenceLowered = 19, kSequenceRise = 20,
                  kSequenceLookLeft = 21, kSequenceLookRight = 22;

const char* SequenceName(int32_t number) {
    switch (number) {
    case kSequenceIdle: return "idle";
    case kSequenceWalk: return "walk";
    case kSequenceFire: return "fire";
    case kSequenceAimPitch: return "aim pitch";
    case kSequenceAimYaw: return "aim yaw";
    case kSequenceGunTurn: return "gun turn";
    case kSequenceLowered: return "lowered";
    case kSequenceRise: return "rise";
    case kSequenceLookLeft: return "look left";
    case kSequenceLookRight: return "look right";
    default: return "sequence";
    }
}

// A sequence of keys; a non-zero speed (millimetres a second) moves the model
// forward while it plays; `bounds` records the model's box in that sequence.
void AddSequence(ParentChunk& node, int32_t number, int32_t ms, const std::vector<Key>& keys, int32_t speed = 0,
                 const HierarchyBox* bounds = nullptr) {
    auto* set = dynamic_cast<ParentChunk*>(node.FindChild("OBANSEQS"));
    if (!set) set = AddParent(node, "OBANSEQS");
    ParentChunk* sequence = AddParent(*set, "OBANSEQC");
    SequenceHeader header;
    header.number = number;
    header.name = SequenceName(number);
    new SequenceHeaderChunk(sequence, "OBASEQHD", header);
    new SequenceTimeChunk(sequence, ms);
    if (bounds) new HierarchyBoxChunk(sequence, *bounds);
    if (speed != 0) new SequenceSpeedChunk(sequence, speed, 0);
    int32_t n = 0;
    for (const Key& k : keys) {
        SequenceFrame frame;
        frame.number = n++;
        frame.time = k.time;
        std::copy(std::begin(k.offset), std::end(k.offset), frame.offset);
        // The turn about y after the tilt about x: (0, sy, 0, cy) x (sx, 0, 0, cx).
        const float sy = std::sin(k.turn / 2), cy = std::cos(k.turn / 2);
        const float sx = std::sin(k.tilt / 2), cx = std::cos(k.tilt / 2);
        frame.rotation = {cy * sx, sy * cx, -sy * sx, cy * cx};
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
    // Where items go on a fitted robot: the arms beside the turret, the mount
    // points on the body's top. After the turret, so the nodes before keep their order.
    const struct {
        const char* name;
        VectorI at;   // on the body
        VectorI half; // half the part's box
    } mounts[] = {{"Upper Arm Right", {450, -500, 0}, {100, 100, 300}},
                  {"Upper Arm Left", {-450, -500, 0}, {100, 100, 300}},
                  {"slota", {0, -400, -600}, {50, 50, 50}},
                  {"slotb", {-400, -400, 500}, {50, 50, 50}},
                  {"slotc", {400, -400, 500}, {50, 50, 50}}};
    for (const auto& mount : mounts) {
        ShapeBuilder part;
        AddBox(part, -mount.half.x, -mount.half.y, -mount.half.z, mount.half.x, mount.half.y, mount.half.z, false);
        AddObject(file, mount.name, part.Finish());
        ParentChunk* node = AddNode(*bodyNode, mount.name);
        const Key rest{0, {mount.at.x, mount.at.y, mount.at.z}, 0, 0};
        AddSequence(*node, 0, 2000, {rest});
        AddSequence(*node, 1, 1000, {rest});
    }
    // The alternate hotspot: a second barrel beside the first, so shots alternate.
    AddObject(file, "AltMuzzle", muzzle.Finish());
    ParentChunk* altMuzzleNode = AddNode(*turretNode, "AltMuzzle");
    AddSequence(*altMuzzleNode, 0, 2000, {{0, {150, -150, 300}, 0, 0}});
    AddSequence(*altMuzzleNode, 1, 1000, {{0, {150, -150, 300}, 0, 0}});

    // What units and bots play besides standing and walking: firing, the gun's
    // pitch and the torso's yaw (played to a position, the middle aiming
    // straight), turning, the lowered pose and rising from it, two idles.
    // Key times count 32768 a second.
    constexpr float kPi = 3.14159265f;
    const Key bodyRest{0, {0, 0, 0}, 0, 0}, bodyLow{0, {0, 200, 0}, 0, 0};
    AddSequence(*bodyNode, kSequenceLowered, 500, {bodyRest, {16384, {0, 200, 0}, 0, 0}});
    AddSequence(*bodyNode, kSequenceRise, 500, {bodyLow, {16384, {0, 0, 0}, 0, 0}});
    for (int32_t n : {kSequenceFire, kSequenceAimPitch, kSequenceAimYaw, kSequenceGunTurn, kSequenceLookLeft,
                      kSequenceLookRight})
        AddSequence(*bodyNode, n, 1000, {bodyRest});
    auto turretKey = [](int32_t time, float turn) { return Key{time, {0, -400, 0}, turn, 0}; };
    AddSequence(*turretNode, kSequenceAimYaw, 2000, {turretKey(0, -kPi), turretKey(32768, 0), turretKey(65536, kPi)});
    AddSequence(*turretNode, kSequenceGunTurn, 1000, {turretKey(0, 0), turretKey(32768, 0.3f)});
    AddSequence(*turretNode, kSequenceLookLeft, 2000, {turretKey(0, 0), turretKey(16384, -0.8f), turretKey(32768, 0)});
    AddSequence(*turretNode, kSequenceLookRight, 2000, {turretKey(0, 0), turretKey(16384, 0.8f), turretKey(32768, 0)});
    for (int32_t n : {kSequenceFire, kSequenceAimPitch, kSequenceLowered, kSequenceRise})
        AddSequence(*turretNode, n, 1000, {turretKey(0, 0)});
    for (ParentChunk* barrel : {muzzleNode, altMuzzleNode}) {
        const int32_t x = barrel == muzzleNode ? 0 : 150;
        auto barrelKey = [x](int32_t time, float tilt, int32_t back) {
            return Key{time, {x, -150, 300 - back}, 0, 0, tilt};
        };
        AddSequence(*barrel, kSequenceFire, 300, {barrelKey(0, 0, 0), barrelKey(4915, 0, 100), barrelKey(9830, 0, 0)});
        AddSequence(*barrel, kSequenceAimPitch, 2000,
                    {barrelKey(0, -0.6f, 0), barrelKey(32768, 0, 0), barrelKey(65536, 0.6f, 0)});
        for (int32_t n : {kSequenceAimYaw, kSequenceGunTurn, kSequenceLowered, kSequenceRise, kSequenceLookLeft,
                          kSequenceLookRight})
            AddSequence(*barrel, n, 1000, {barrelKey(0, 0, 0)});
    }

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

bool WriteEmplacementModel(const std::string& directory) {
    FileChunk file;
    AddEnvironment(file, nullptr, 0, 0);
    AddIndexedSound(file, 1, "sounds\\servo.wav");
    ShapeBuilder base, gun, barrel, muzzle;
    AddBox(base, -600, -500, -600, 600, 0, 600, false);
    AddBox(gun, -300, -300, -300, 300, 0, 300, false);
    AddBox(barrel, -80, -80, 0, 80, 80, 700, false);
    AddBox(muzzle, -50, -50, 0, 50, 50, 100, false);
    AddObject(file, "EmplacementBase", base.Finish());
    AddObject(file, "EmplacementGun", gun.Finish());
    AddObject(file, "EmplacementBarrel", barrel.Finish());
    AddObject(file, "Muzzle", muzzle.Finish());
    ParentChunk* top = AddParent(file, "OBJCHIER");
    new HierarchyNameChunk(top, "Emplacement");
    const HierarchyBox raised{{-600, -880, -600}, {600, 0, 800}};
    const HierarchyBox lowered{{-600, -100, -600}, {600, 0, 600}};
    new HierarchyBoxChunk(top, raised);

    // Every node carries every sequence, so each plays on the whole model.
    // The base rises from 0.78 m down (the lowered pose) to the floor.
    constexpr int32_t kSunk = 780;
    const int32_t rest[] = {kSequenceIdle, kSequenceAimPitch, kSequenceAimYaw, kSequenceGunTurn};
    ParentChunk* baseNode = AddNode(*top, "EmplacementBase");
    for (int32_t number : rest)
        AddSequence(*baseNode, number, 1000, {{0, {0, 0, 0}, 0, 0}}, 0, number == 0 ? &raised : nullptr);
    AddSequence(*baseNode, kSequenceLowered, 1000, {{0, {0, kSunk, 0}, 0, 0}}, 0, &lowered);
    AddSequence(*baseNode, kSequenceRise, 1000, {{0, {0, kSunk, 0}, 0, 1}, {65536, {0, 0, 0}, 0, 0}});

    // The gun turns about y on the yaw channel, a whole turn over the sequence.
    const Key gunRest{0, {0, -500, 0}, 0, 0};
    ParentChunk* gunNode = AddNode(*baseNode, "EmplacementGun");
    for (int32_t number : {kSequenceIdle, kSequenceAimPitch, kSequenceLowered, kSequenceRise})
        AddSequence(*gunNode, number, 1000, {gunRest});
    constexpr float kPi = 3.14159265f;
    std::vector<Key> yaw;
    for (int32_t i = 0; i <= 4; ++i) yaw.push_back({i * 16384, {0, -500, 0}, (static_cast<float>(i) - 2) * kPi / 2, 0});
    AddSequence(*gunNode, kSequenceAimYaw, 1000, yaw);
    AddSequence(*gunNode, kSequenceGunTurn, 500, {{0, {0, -500, 0}, 0, 1}, {65536, {0, -500, 0}, 0, 0}});

    // The barrel tilts on the elevation channel, from 45 degrees up to 45 down.
    const Key barrelRest{0, {0, -150, 200}, 0, 0};
    ParentChunk* barrelNode = AddNode(*gunNode, "EmplacementBarrel");
    for (int32_t number : {kSequenceIdle, kSequenceAimYaw, kSequenceGunTurn, kSequenceLowered, kSequenceRise})
        AddSequence(*barrelNode, number, 1000, {barrelRest});
    const Key up{0, {0, -150, 200}, 0, 0, kPi / 4}, level{32768, {0, -150, 200}, 0, 0},
        down{65536, {0, -150, 200}, 0, 0, -kPi / 4};
    AddSequence(*barrelNode, kSequenceAimPitch, 1000, {up, level, down});

    ParentChunk* muzzleNode = AddNode(*barrelNode, "Muzzle");
    for (int32_t number :
         {kSequenceIdle, kSequenceAimPitch, kSequenceAimYaw, kSequenceGunTurn, kSequenceLowered, kSequenceRise})
        AddSequence(*muzzleNode, number, 1000, {{0, {0, 0, 700}, 0, 0}});
    return Save(file, directory, "Emplacement.qif");
}

bool WriteLiftModel(const std::string& directory) {
    FileChunk file;
    AddEnvironment(file, "crate.bmp", 16, 16);
    // A 2 x 2 m slab, 0.2 m thick, its top at the origin: four 1 m floor
    // tiles of the lift's class, which joins only floor of another class.
    ShapeBuilder lift;
    AddBox(lift, -1000, 0, -1000, 1000, 200, 1000, false, kBoxTopFace);
    AddFloorGrid(lift, -1000, -1000, 1000, 2, 0,
                 [](int32_t, int32_t) -> std::optional<uint32_t> { return kLiftClass; });
    AddObject(file, "LiftPlatform", lift.Finish());
    return Save(file, directory, "Lift.qif");
}

bool WriteLevelModel(const std::string& directory) {
    FileChunk file;
    AddEnvironment(file, "crate.bmp", 16, 16);
    ShapeBuilder level;
    // The slab: 40 x 40 m, 0.2 m thick, its top at y = 0 made of 2 m tiles,
    // none under the middle wall but in its gap (x 8 to 12 m); a patch of slow
    // tiles (0x1000) in the west, one of 0x800 tiles in the east; a hole for
    // the lift (x 4 to 6 m, z 6 to 8 m) with a landing tile on each side.
    AddBox(level, -20000, 0, -20000, 20000, 200, 20000, false, kBoxTopFace);
    AddFloorGrid(level, -20000, -20000, 2000, 20, 0, [](int32_t column, int32_t row) -> std::optional<uint32_t> {
        if (row == 16 && (column < 14 || column > 15)) return std::nullopt;
        if (column >= 3 && column <= 4 && row >= 6 && row <= 7) return 0x1000;
        if (column >= 15 && column <= 16 && row >= 6 && row <= 7) return 0x800;
        const int32_t fromLift = std::abs(column - 12) + std::abs(row - 13);
        if (fromLift == 0) return std::nullopt;
        if (fromLift == 1) return kLandingClass;
        return 0;
    });
    AddBox(level, -20000, -3000, -20000, 20000, 0, -19500, false); // north wall
    AddBox(level, -20000, -3000, 19500, 20000, 0, 20000, false);   // south wall
    AddBox(level, -20000, -3000, 12000, 8000, 0, 14000, false);    // the middle wall, west of its gap
    AddBox(level, 12000, -3000, 12000, 20000, 0, 14000, false);    // and east of it
    const int32_t r[4] = {level.Point(-2000, 0, 0), level.Point(2000, 0, 0), level.Point(2000, -1500, 6000),
                          level.Point(-2000, -1500, 6000)};
    level.Quad(r, false, 0); // ramp
    // The platform atop the ramp.
    AddBox(level, -2000, -1500, 6000, 2000, 0, 9000, false);
    AddObject(file, "Level", level.Finish());

    // Where the actors stand: four scouts in the north-west, four drones
    // beyond the middle wall, a pickup near the ramp's foot; two mines and a
    // minebot on the scouts' way; a fitted robot in the north-east beside
    // pickups of bolts, a shield, a repair kit and a pistol; a tumbleweed and
    // two creatures; the lift in its hole; a node in the east; a centipede
    // in the west facing south, its body to grow north of it; a popup east
    // of the ramp; a turret west of it facing north, at the scouts; a crate
    // north of the ramp; two scavengers; a swarm beyond the middle wall; a
    // crate of supplies by the west wall and a drone's hulk by the east one.
    // Markers stand at tile centres, where walks end.
    constexpr float kFacingNorth = 3.14159265f;
    const struct {
        const char* name;
        VectorI position;
        float turn = 0;
    } markers[] = {{"Scout1", {-16000, 0, -16000}}, {"Scout2", {-14000, 0, -16000}}, {"Scout3", {-16000, 0, -14000}},
                   {"Scout4", {-14000, 0, -14000}}, {"Drone1", {10000, 0, 16000}},   {"Drone2", {14000, 0, 16000}},
                   {"Drone3", {-10000, 0, 16000}},  {"Drone4", {0, 0, 17000}},       {"Cells1", {0, 0, -3000}},
                   {"Fitted1", {13000, 0, -17000}}, {"Bolts1", {13000, 0, -13000}},  {"Shield1", {7000, 0, -7000}},
                   {"Repair1", {-7000, 0, -7000}},  {"Pistol1", {3000, 0, -11000}},  {"Mine1", {-9000, 0, -11000}},
                   {"Mine2", {-3000, 0, -9000}},    {"Minebot1", {-9000, 0, -3000}}, {"Weed1", {15000, 0, -5000}},
                   {"Fly1", {-5000, 0, 9000}},      {"Bug1", {5000, 0, 9000}},       {"Lift1", {5000, 0, 7000}},
                   {"Node1", {17000, 0, 3000}},     {"Centipede1", {-17000, 0, 9000}},
                   {"Popup1", {7000, 0, 1000}},     {"Turret1", {-11000, 0, 1000}, kFacingNorth},
                   {"Crate1", {-1000, 0, -13000}},  {"Scav1", {-7000, 0, 3000}},     {"Scav2", {17000, 0, -7000}},
                   {"Swarm1", {-5000, 0, 17000}},   {"Supplies1", {-17000, 0, -7000}},
                   {"Hulk1", {17000, 0, -11000}}};
    for (const auto& m : markers) AddObject(file, m.name, MarkerShape(), m.position, m.turn);
    ShapeBuilder sky;
    AddBox(sky, -100000, -60000, -100000, 100000, -50000, 100000, false);
    AddObject(file, "sky", sky.Finish());
    ShapeBuilder plane; // the camera's plane, 20 m above the floor, facing up
    const int32_t p[4] = {plane.Point(-20000, -20000, -20000), plane.Point(20000, -20000, -20000),
                          plane.Point(20000, -20000, 20000), plane.Point(-20000, -20000, 20000)};
    plane.Quad(p, false, 0);
    AddObject(file, "CameraPlane", plane.Finish());

    AddDummy(file, "PlayerStart", {-10000, 0, -10000});
    AddDummy(file, "Goal", {10000, -1500, 6000}, "reach to win");
    AddDummy(file, "patrol1a", {-16000, 0, 0});
    AddDummy(file, "patrol1b", {-6000, 0, -16000});
    AddDummy(file, "patrol2a", {16000, 0, 16000});
    AddDummy(file, "patrol2b", {-16000, 0, 16000});
    AddDummy(file, "HumSound", {-6000, -1000, -6000}, "Sound\nhum.wav\nV80 P-12 R5.5");
    // Capture the flag with two players: team 1 plays slot 3's flag and capture
    // point, team 3 slot 1's. Team 3's flag stands west of the fitted robot,
    // team 1's capture point east of it.
    AddDummy(file, "Flag_1", {5000, 0, -17000});
    AddDummy(file, "Capture_1", {1000, 0, -17000});
    AddDummy(file, "Flag_3", {17000, 0, -11000});
    AddDummy(file, "Capture_3", {17000, 0, -17000});
    // Something for the fitted robot to fire at, within its bolts' reach of the bolts pickup.
    AddDummy(file, "TargetPost", {13000, -1000, -8000});
    // The president game: the four exits "exita" to "exitd", one on each
    // side, and eighteen places a president may appear, "dumpresa" to
    // "dumpresr", in three rows across the middle of the level.
    const VectorI exits[] = {{-18000, 0, 3000}, {18000, 0, -1000}, {1000, 0, -18000}, {-7000, 0, 18000}};
    for (int32_t i = 0; i < 4; ++i)
        AddDummy(file, (std::string("exit") + static_cast<char>('a' + i)).c_str(), exits[i]);
    for (int32_t i = 0; i < 18; ++i)
        AddDummy(file, (std::string("dumpres") + static_cast<char>('a' + i)).c_str(),
                 {-15000 + 6000 * (i % 6), 0, -7000 + 8000 * (i / 6)});
    return Save(file, directory, "Level.qif");
}
