#include "sound/loudness_tree.h"

SoundLoudnessTree::SoundLoudnessTree(int32_t capacity) : nodes_(static_cast<size_t>(capacity)) {
    freeNodes_.reserve(static_cast<size_t>(capacity));
    Clear();
}

void SoundLoudnessTree::Clear() {
    freeNodes_.clear();
    for (auto n = static_cast<int32_t>(nodes_.size()); n-- > 0;) freeNodes_.push_back(n);
    root_ = lowest_ = -1;
    count_ = 0;
}

void SoundLoudnessTree::Insert(int32_t voice, uint32_t key) {
    if (freeNodes_.empty()) return;
    const int32_t n = freeNodes_.back();
    freeNodes_.pop_back();
    Node& node = nodes_[static_cast<size_t>(n)];
    node = Node{voice, key, -1, -1, -1};
    ++count_;
    if (root_ < 0) {
        root_ = lowest_ = n;
        return;
    }
    int32_t at = root_;
    for (;;) {
        Node& parent = nodes_[static_cast<size_t>(at)];
        int32_t& child = key < parent.key ? parent.lower : parent.higher;
        if (child < 0) {
            child = n;
            node.parent = at;
            break;
        }
        at = child;
    }
    if (key < nodes_[static_cast<size_t>(lowest_)].key) lowest_ = n;
}

int32_t SoundLoudnessTree::Lowest() const { return lowest_ < 0 ? 0 : nodes_[static_cast<size_t>(lowest_)].voice; }

uint32_t SoundLoudnessTree::LowestKey() const { return lowest_ < 0 ? 0 : nodes_[static_cast<size_t>(lowest_)].key; }

void SoundLoudnessTree::RemoveLowest() {
    if (lowest_ < 0) return;
    // The lowest node has no lower child: its higher subtree takes its place.
    const int32_t n = lowest_;
    const Node node = nodes_[static_cast<size_t>(n)];
    if (node.higher >= 0) nodes_[static_cast<size_t>(node.higher)].parent = node.parent;
    if (node.parent >= 0) nodes_[static_cast<size_t>(node.parent)].lower = node.higher;
    else root_ = node.higher;
    lowest_ = node.higher >= 0 ? Leftmost(node.higher) : node.parent;
    freeNodes_.push_back(n);
    --count_;
}

int32_t SoundLoudnessTree::Leftmost(int32_t n) const {
    while (nodes_[static_cast<size_t>(n)].lower >= 0) n = nodes_[static_cast<size_t>(n)].lower;
    return n;
}

int32_t SoundLoudnessTree::Successor(int32_t n) const {
    const Node& node = nodes_[static_cast<size_t>(n)];
    if (node.higher >= 0) return Leftmost(node.higher);
    int32_t child = n;
    int32_t parent = node.parent;
    while (parent >= 0 && nodes_[static_cast<size_t>(parent)].higher == child) {
        child = parent;
        parent = nodes_[static_cast<size_t>(parent)].parent;
    }
    return parent;
}

uint32_t LoudnessKey(int32_t currentVolume, bool positioned) {
    return static_cast<uint32_t>(currentVolume) | (positioned ? 0u : 0x80000000u);
}
