// The keywords are held in a character trie. A word of a multi-word keyword
// ends in a node whose gap link leads to the node where the next word starts;
// the matcher crosses a gap over any run of blanks and tabs, including an
// empty one, so "walking speed", "walkingspeed" and "walking\tspeed" reach
// the same keyword.
//
// A step costs no search: the keywords use fewer than 64 distinct
// characters, each node marks its children's characters in a 64-bit set, and
// its children lie side by side in character order, so a child's index is the
// node's first child plus the number of marked characters below its own.
#include "Tv/defs/keywordtrie.h"

#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

class KeywordTrie {
public:
    KeywordTrie();
    void Match(int32_t node, const char* p, const char* begin, const char* end, KeywordMatch& best) const;
    static constexpr int32_t kRoot = 0;

private:
    static constexpr uint8_t kNoClass = 0xFF;

    // 16 bytes, so that the trie stays in the processor's nearest caches.
    struct Node {
        uint64_t children = 0; // the characters (by class) that lead on
        int16_t firstChild = 0;
        int16_t keyword = -1; // index into ScriptKeywords(), or -1
        int16_t gap = -1;     // where the next word of a multi-word keyword starts
    };
    static_assert(sizeof(Node) == 16);

    int32_t Child(int32_t node, char c) const {
        const uint8_t cls = classOf_[static_cast<unsigned char>(c)];
        if (cls == kNoClass) return -1;
        const Node& n = nodes_[static_cast<size_t>(node)];
        const uint64_t bit = uint64_t{1} << cls;
        if (n.children == bit) return n.firstChild; // the common single child
        if (!(n.children & bit)) return -1;
        return n.firstChild + std::popcount(n.children & (bit - 1));
    }

    std::array<uint8_t, 256> classOf_;
    std::vector<Node> nodes_;
};

KeywordTrie::KeywordTrie() {
    const auto keywords = ScriptKeywords();

    // Character classes: one per character the keywords use besides the gap blank.
    classOf_.fill(kNoClass);
    uint8_t classes = 0;
    for (const ScriptKeyword& keyword : keywords)
        for (const char* p = keyword.text; *p; ++p) {
            auto& cls = classOf_[static_cast<unsigned char>(*p)];
            if (cls != kNoClass || (*p == ' ' && !keyword.exactBlanks)) continue;
            assert(classes < 64 && "more keyword characters than a node's set holds");
            cls = classes++;
        }

    // Built with a child table per node, then laid out breadth first so that
    // each node's children are consecutive.
    struct Building {
        std::vector<int32_t> child = std::vector<int32_t>(64, -1);
        int32_t keyword = -1;
        int32_t gap = -1;
    };
    std::vector<Building> built(1);
    auto newNode = [&] {
        built.emplace_back();
        return static_cast<int32_t>(built.size() - 1);
    };
    for (size_t k = 0; k < keywords.size(); ++k) {
        const ScriptKeyword& keyword = keywords[k];
        int32_t node = kRoot;
        for (const char* p = keyword.text; *p; ++p) {
            if (*p == ' ' && !keyword.exactBlanks) {
                if (built[node].gap < 0) {
                    const int32_t gap = newNode();
                    built[node].gap = gap;
                }
                node = built[node].gap;
                continue;
            }
            const uint8_t cls = classOf_[static_cast<unsigned char>(*p)];
            if (built[node].child[cls] < 0) {
                const int32_t child = newNode();
                built[node].child[cls] = child;
            }
            node = built[node].child[cls];
        }
        assert(built[node].keyword < 0 && "two keywords with one spelling");
        built[node].keyword = static_cast<int32_t>(k);
    }

    // Each node's children (its gap node last) as one block, each child's
    // block right after its own subtree's predecessors: the nodes of one
    // keyword lie close together.
    std::vector<int32_t> order{kRoot}, placeOf(built.size(), -1);
    placeOf[kRoot] = 0;
    auto place = [&](auto& self, int32_t node) -> void {
        const Building& b = built[static_cast<size_t>(node)];
        std::vector<int32_t> block;
        for (int32_t child : b.child)
            if (child >= 0) block.push_back(child);
        if (b.gap >= 0) block.push_back(b.gap);
        for (int32_t child : block) {
            placeOf[static_cast<size_t>(child)] = static_cast<int32_t>(order.size());
            order.push_back(child);
        }
        for (int32_t child : block) self(self, child);
    };
    place(place, kRoot);
    assert(order.size() <= INT16_MAX && keywords.size() <= INT16_MAX);
    nodes_.resize(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const Building& b = built[static_cast<size_t>(order[i])];
        Node& n = nodes_[i];
        n.keyword = static_cast<int16_t>(b.keyword);
        n.gap = static_cast<int16_t>(b.gap >= 0 ? placeOf[static_cast<size_t>(b.gap)] : -1);
        for (size_t cls = 0; cls < 64; ++cls)
            if (b.child[cls] >= 0) {
                if (!n.children) n.firstChild = static_cast<int16_t>(placeOf[static_cast<size_t>(b.child[cls])]);
                n.children |= uint64_t{1} << cls;
            }
    }
}

// Follows characters from `node`, trying every gap crossing on the way, and
// keeps the longest keyword end seen. No two keywords match the same text, so
// lengths never tie.
void KeywordTrie::Match(int32_t node, const char* p, const char* begin, const char* end, KeywordMatch& best) const {
    for (;;) {
        const Node& n = nodes_[static_cast<size_t>(node)];
        if (n.keyword >= 0 && static_cast<size_t>(p - begin) > best.length) {
            best.length = static_cast<size_t>(p - begin);
            best.keyword = &ScriptKeywords()[static_cast<size_t>(n.keyword)];
        }
        if (n.gap >= 0) {
            const char* q = p;
            while (q < end && (*q == ' ' || *q == '\t')) ++q;
            if (q < end) {
                const int32_t next = Child(n.gap, *q);
                if (next >= 0) Match(next, q + 1, begin, end, best);
            }
        }
        if (p == end) return;
        const int32_t next = Child(node, *p);
        if (next < 0) return;
        node = next;
        ++p;
    }
}

const KeywordTrie& Trie() {
    static const KeywordTrie trie;
    return trie;
}

} // namespace

KeywordMatch MatchScriptKeyword(const char* begin, const char* end) {
    KeywordMatch best;
    if (begin < end) Trie().Match(KeywordTrie::kRoot, begin, begin, end, best);
    return best;
}
