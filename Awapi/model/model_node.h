#pragma once
// A loaded model: a tree of nodes built from one named hierarchy of a model
// file. Each node shows up to ten shapes (detail levels 0 to 9), carries its
// animation sequences and owns nothing of the file, so the file may close
// after loading. The root also carries the hierarchy's bounds, the detail
// switch distances and a movement vector per sequence.
//
// A node lives while it is used (by placed objects and its creator) or held
// (by loaded-model caches); the counts pass to its shapes and children only
// when they cross between 0 and 1, and a node whose counts both reach 0
// deletes itself. Both counts are atomic: models are shared with objects
// made on the server thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Awapi/model/anim_sequence.h"
#include "core/maths.h"

class AwShape;

constexpr int kDetailLevels = 10;
constexpr int32_t kDefaultDetailDistance = 20000;

class AwModel {
public:
    // A node with one use and no hold.
    AwModel() = default;
    AwModel(const AwModel&) = delete;
    AwModel& operator=(const AwModel&) = delete;

    void AddUse();
    // Returns false when the node deleted itself.
    bool ReleaseUse();
    void AddHold();
    bool ReleaseHold();

    bool HasSequence(int32_t n) const { return AwHasSequence(Sequences.get(), n); }
    // Depth first, this node first; names compare without regard to case.
    AwModel* FindNode(const char* name);
    // The first key position of the named node's first sequence, carried
    // into this node's parent space through each ancestor's first key.
    bool GetNodePosition(Vector3& out, const char* name) const;

    std::atomic<int32_t> UseCount{1};
    std::atomic<int32_t> HoldCount{0};
    std::array<AwShape*, kDetailLevels> Shapes{};
    std::array<int32_t, kDetailLevels> DetailDistances{}; // root only
    bool HasBounds = false;
    Vector3 SecondCorner{0, 0, 0}, FirstCorner{0, 0, 0};
    std::unique_ptr<AwAnimSequenceList> Sequences;
    std::vector<AwModel*> Children; // each freed by its own counts
    std::optional<std::string> Name;
    std::vector<Vector3> MovementPerTick;   // root only: one per sequence-list entry
    std::vector<Vector3> MovementPerSecond; // root only

private:
    ~AwModel() = default;
    void DeleteIfUnreferenced();
};
