#pragma once
// The voices that hold device buffers, ordered by loudness: a binary tree
// keyed by a voice's current volume with the top bit set when it is not
// positioned, compared unsigned; equal keys go to the higher side, so an
// equally loud newcomer never displaces a voice already playing. Nodes come
// from a fixed pool: rebuilding the tree every frame allocates nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

class SoundLoudnessTree {
public:
    explicit SoundLoudnessTree(int32_t capacity);

    void Clear();
    void Insert(int32_t voice, uint32_t key);
    int32_t Count() const { return count_; }
    // The voice with the lowest key (the earliest inserted among equals), or 0 when empty.
    int32_t Lowest() const;
    uint32_t LowestKey() const;
    void RemoveLowest();
    // Voices from the lowest key to the highest.
    template <class F>
    void ForEachInOrder(F visit) const {
        for (int32_t n = lowest_; n >= 0; n = Successor(n)) visit(nodes_[static_cast<size_t>(n)].voice);
    }

private:
    struct Node {
        int32_t voice = 0;
        uint32_t key = 0;
        int32_t lower = -1, higher = -1, parent = -1;
    };
    int32_t Successor(int32_t n) const;
    int32_t Leftmost(int32_t n) const;

    std::vector<Node> nodes_;
    std::vector<int32_t> freeNodes_;
    int32_t root_ = -1;
    int32_t lowest_ = -1;
    int32_t count_ = 0;
};

// The key of a voice: its current volume, with the top bit set when it is not positioned.
uint32_t LoudnessKey(int32_t currentVolume, bool positioned);
