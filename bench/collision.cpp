// Segment queries against a level's shape tree (TvSegmentHitShapeTree through
// the tree's ShapeTreeIndex, and on the tree itself) against Bullet's BVH
// triangle mesh ray test on the same world-space triangles, for a fixed seeded
// set of segments (hits and misses): on the sample level and on a generated
// level of about 50,000 triangles in a tree of tile nodes. Before timing, the
// index must give the tree's answers to the bit, and ours and Bullet's must
// agree on hit or miss and on the fraction within 1e-4.
#include <benchmark/benchmark.h>
#include <btBulletCollisionCommon.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Tv/world/intersection.h"
#include "Tv/world/shape_tree_index.h"
#include "bench/sample_level.h"
#include "platform/d3d/d3d_types.h"
#include "platform/fpu.h"

namespace {

struct Segment {
    Vector3 a, b;
};

// The tree's triangles in world space (the root's parent space).
void CollectTriangles(AwShapeInstance& node, const Matrix34& parent, btTriangleMesh& out) {
    Matrix34 world;
    parent.Multiply(world, *node.GetMatrix());
    if (const AwShape* shape = node.Slots[0]) {
        for (const AwMeshPart* part : shape->Parts) {
            auto at = [&](uint16_t i) {
                const float* p = part->Position(i);
                Vector3 v;
                world.TransformPoint(v, Vector3(p[0], p[1], p[2]));
                return btVector3(v.x, v.y, v.z);
            };
            for (uint32_t i = 0; i + 2 < part->IndexCount; i += 3)
                out.addTriangle(at(part->Indices[i]), at(part->Indices[i + 1]), at(part->Indices[i + 2]));
        }
        return;
    }
    for (AwShapeInstance* child : node.Children) CollectTriangles(*child, world, out);
}

bool SameRecord(const HitRecord& a, const HitRecord& b) {
    return a.t == b.t && a.normal.x == b.normal.x && a.normal.y == b.normal.y && a.normal.z == b.normal.z;
}

class NearestHit : public btTriangleRaycastCallback {
public:
    NearestHit(const btVector3& from, const btVector3& to) : btTriangleRaycastCallback(from, to) {}
    btScalar reportHit(const btVector3&, btScalar fraction, int, int) override {
        hit = true;
        return fraction; // only nearer hits are reported from now on
    }
    bool hit = false;
};

// One level: our tree, Bullet's mesh over the same triangles, and the segments.
struct Level {
    std::unique_ptr<AwShapeInstance> root;
    std::unique_ptr<ShapeTreeIndex> index;
    std::unique_ptr<btTriangleMesh> mesh;
    std::unique_ptr<btBvhTriangleMeshShape> shape;
    std::vector<Segment> segments;
    std::string error;

    void Finish(const Vector3& lo, const Vector3& hi) {
        index = std::make_unique<ShapeTreeIndex>(*root);
        mesh = std::make_unique<btTriangleMesh>();
        CollectTriangles(*root, IdentityMatrix, *mesh);
        shape = std::make_unique<btBvhTriangleMeshShape>(mesh.get(), true);
        std::mt19937 random(12345);
        std::uniform_real_distribution<float> x(lo.x, hi.x), y(lo.y, hi.y), z(lo.z, hi.z);
        for (int i = 0; i < 4096; ++i) segments.push_back({{x(random), y(random), z(random)}, {x(random), y(random), z(random)}});
        int hits = 0;
        for (const Segment& s : segments) {
            HitRecord ours{1.0f, Vector3(0, 0, 0)}, plain = ours;
            const bool ourHit = TvSegmentHitShapeTree(ours, *index, s.a, s.b - s.a);
            if (ourHit != TvSegmentHitShapeTree(plain, *root, s.a, s.b - s.a) || !SameRecord(ours, plain)) {
                error = "the index and the plain tree disagree";
                return;
            }
            NearestHit theirs(btVector3(s.a.x, s.a.y, s.a.z), btVector3(s.b.x, s.b.y, s.b.z));
            shape->performRaycast(&theirs, theirs.m_from, theirs.m_to);
            hits += ourHit;
            if (ourHit != theirs.hit || (ourHit && std::fabs(ours.t - theirs.m_hitFraction) > 1e-4f)) {
                char text[200];
                std::snprintf(text, sizeof text, "disagree: ours %d %g, Bullet %d %g", ourHit, ours.t, theirs.hit,
                              theirs.m_hitFraction);
                error = text;
                return;
            }
        }
        std::printf("%d segments, %d hits, %d triangles\n", static_cast<int>(segments.size()), hits,
                    mesh->getNumTriangles());
    }
};

Level& SampleLevel() {
    static Level level = [] {
        Level l;
        l.root = LoadSampleLevelTree();
        if (!l.root) {
            l.error = "build the sample_data target first";
            return l;
        }
        l.Finish(Vector3(-25, -4, -25), Vector3(25, 1, 25));
        return l;
    }();
    return level;
}

// 20 x 20 tiles of 10 m, each a rolling height field of 8 x 8 quads (128
// triangles) in its own node, placed by its node's translation: 51,200 triangles.
Level& TiledLevel() {
    static Level level = [] {
        constexpr int kTiles = 20, kCells = 8;
        constexpr float kTile = 10.0f, kCell = kTile / kCells;
        Level l;
        l.root.reset(new AwShapeInstance(nullptr, false));
        auto height = [](float x, float z) { return 1.5f * std::sin(x * 0.21f) * std::cos(z * 0.17f); };
        for (int tx = 0; tx < kTiles; ++tx)
            for (int tz = 0; tz < kTiles; ++tz) {
                const float ox = tx * kTile, oz = tz * kTile;
                auto* shape = new AwShape();
                uint16_t* index = shape->AddMeshPart((kCells + 1) * (kCells + 1), kCells * kCells * 6, plat::kFvfXyz, false);
                AwMeshPart* part = shape->Parts.Back();
                shape->Min = Vector3(0, 1e9f, 0);
                shape->Max = Vector3(kTile, -1e9f, kTile);
                for (int i = 0; i <= kCells; ++i)
                    for (int j = 0; j <= kCells; ++j) {
                        auto* p = reinterpret_cast<float*>(&part->Vertices[(i * (kCells + 1) + j) * part->Stride()]);
                        p[0] = i * kCell, p[2] = j * kCell, p[1] = height(ox + p[0], oz + p[2]);
                        shape->Min.y = std::min(shape->Min.y, p[1]);
                        shape->Max.y = std::max(shape->Max.y, p[1]);
                    }
                for (int i = 0; i < kCells; ++i)
                    for (int j = 0; j < kCells; ++j) {
                        const auto v = static_cast<uint16_t>(i * (kCells + 1) + j);
                        const uint16_t quad[6] = {v, static_cast<uint16_t>(v + kCells + 1), static_cast<uint16_t>(v + 1),
                                                  static_cast<uint16_t>(v + 1), static_cast<uint16_t>(v + kCells + 1),
                                                  static_cast<uint16_t>(v + kCells + 2)};
                        for (uint16_t k : quad) *index++ = k;
                    }
                auto* node = new AwShapeInstance(shape, true);
                shape->ReleaseUse();
                node->SetPosition(ox, 0.0f, oz);
                l.root->AddChild(node);
            }
        l.Finish(Vector3(-5, -4, -5), Vector3(kTiles * kTile + 5, 2, kTiles * kTile + 5));
        return l;
    }();
    return level;
}

// Runs query(level, segment) over the level's segments, one a round.
template <class Query>
void Measure(benchmark::State& state, Level& (*which)(), Query&& query) {
    plat::SetGameFpuMode();
    Level& level = which();
    if (!level.error.empty()) return state.SkipWithError(level.error.c_str());
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(query(level, level.segments[i++ & 4095]));
}

void Ours(benchmark::State& state, Level& (*which)()) {
    Measure(state, which, [](Level& l, const Segment& s) {
        HitRecord r{1.0f, Vector3(0, 0, 0)};
        TvSegmentHitShapeTree(r, *l.index, s.a, s.b - s.a);
        return r;
    });
}

// The same queries on the tree itself, without the index.
void OursPlain(benchmark::State& state, Level& (*which)()) {
    Measure(state, which, [](Level& l, const Segment& s) {
        HitRecord r{1.0f, Vector3(0, 0, 0)};
        TvSegmentHitShapeTree(r, *l.root, s.a, s.b - s.a);
        return r;
    });
}

void Bullet(benchmark::State& state, Level& (*which)()) {
    Measure(state, which, [](Level& l, const Segment& s) {
        NearestHit hit(btVector3(s.a.x, s.a.y, s.a.z), btVector3(s.b.x, s.b.y, s.b.z));
        l.shape->performRaycast(&hit, hit.m_from, hit.m_to);
        return hit.m_hitFraction;
    });
}

BENCHMARK_CAPTURE(Ours, SampleLevel, SampleLevel);
BENCHMARK_CAPTURE(OursPlain, SampleLevel, SampleLevel);
BENCHMARK_CAPTURE(Bullet, SampleLevel, SampleLevel);
BENCHMARK_CAPTURE(Ours, TiledLevel, TiledLevel);
BENCHMARK_CAPTURE(OursPlain, TiledLevel, TiledLevel);
BENCHMARK_CAPTURE(Bullet, TiledLevel, TiledLevel);

} // namespace

BENCHMARK_MAIN();
