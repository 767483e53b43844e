// The keywords are held in a character trie. A word of a multi-word keyword
// ends in a node whose gap link leads to the node where the next word starts;
// the matcher crosses a gap over any run of blanks and tabs, including an
// empty one, so "walking speed", "walkingspeed" and "walking\tspeed" reach
// the same keyword.
//
// A step costs no search: the keywords use fewer than 64 distinct
// characters, each node marks its children's first characters in a 64-bit
// set, and its children lie side by side in character order, so a child's
// index is the node's first child plus the number of marked characters below
// its own. Runs of characters that neither branch, end a keyword nor end a
// word are kept as one label per node, compared as a string.
#include "Tv/defs/keywordtrie.h"

#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <string>
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
        uint64_t children = 0; // the first characters (by class) of the edges that lead on
        int16_t firstChild = 0;
        int16_t keyword = -1; // index into ScriptKeywords(), or -1
        int16_t gap = -1;     // where the next word of a multi-word keyword starts
        uint16_t label = 0;   // the characters after the first on the edge into this node:
                              // labelLength characters from labels_[label]
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

    // The node reached from `node` over the edge that starts at p, and the
    // character after the edge; -1 when the text leaves the edge.
    int32_t Step(int32_t node, const char*& p, const char* end) const {
        return Enter(node == kRoot ? rootChild_[static_cast<unsigned char>(*p)] : Child(node, *p), p, end);
    }
    // The same, given the child whose edge starts at p (or -1).
    int32_t Enter(int32_t child, const char*& p, const char* end) const {
        if (child < 0) return -1;
        const size_t length = labelLengths_[static_cast<size_t>(child)];
        if (static_cast<size_t>(end - p - 1) < length) return -1;
        // Labels are a few characters long: a loop beats a library call.
        const char* label = labels_.data() + nodes_[static_cast<size_t>(child)].label;
        for (size_t i = 0; i < length; ++i)
            if (p[1 + i] != label[i]) return -1;
        p += 1 + length;
        return child;
    }

    std::array<uint8_t, 256> classOf_;
    std::array<int16_t, 256> rootChild_; // every match starts here: no counting
    std::vector<Node> nodes_;
    std::vector<uint8_t> labelLengths_; // beside the nodes: read only once a child is known
    std::string labels_;
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

    // First a trie of one node per character, each with a child table.
    struct Building {
        std::vector<int32_t> child = std::vector<int32_t>(64, -1);
        char c = 0; // the character of the edge into the node
        int32_t keyword = -1;
        int32_t gap = -1;
        int32_t childCount = 0;
    };
    std::vector<Building> built(1);
    for (size_t k = 0; k < keywords.size(); ++k) {
        const ScriptKeyword& keyword = keywords[k];
        int32_t node = kRoot;
        for (const char* p = keyword.text; *p; ++p) {
            if (*p == ' ' && !keyword.exactBlanks) {
                if (built[node].gap < 0) {
                    built[node].gap = static_cast<int32_t>(built.size());
                    built.emplace_back();
                }
                node = built[node].gap;
                continue;
            }
            const uint8_t cls = classOf_[static_cast<unsigned char>(*p)];
            if (built[node].child[cls] < 0) {
                built[node].child[cls] = static_cast<int32_t>(built.size());
                ++built[node].childCount;
                built.emplace_back();
                built.back().c = *p;
            }
            node = built[node].child[cls];
        }
        assert(built[node].keyword < 0 && "two keywords with one spelling");
        built[node].keyword = static_cast<int32_t>(k);
    }

    // Then a node only where a keyword or a word ends or the text branches:
    // the characters between become the label of the edge. Each node's
    // children (its gap node last) form one block, placed after the blocks
    // of its earlier siblings' subtrees, so the nodes of one keyword lie
    // close together.
    auto passes = [&](int32_t node) {
        const Building& b = built[static_cast<size_t>(node)];
        return b.keyword < 0 && b.gap < 0 && b.childCount == 1;
    };
    auto onlyChild = [&](int32_t node) {
        for (int32_t child : built[static_cast<size_t>(node)].child)
            if (child >= 0) return child;
        return -1;
    };
    struct Placed {
        int32_t built; // the node's last character node in the first trie
        std::string label;
    };
    std::vector<Placed> placed{{kRoot, {}}};
    std::vector<int32_t> gapOf(1, -1), firstChildOf(1, 0);
    std::vector<uint64_t> childrenOf(1, 0);
    auto place = [&](auto& self, size_t at) -> void {
        const Building& b = built[static_cast<size_t>(placed[at].built)];
        std::vector<size_t> block;
        for (size_t cls = 0; cls < 64; ++cls) {
            int32_t node = b.child[cls];
            if (node < 0) continue;
            std::string label;
            while (passes(node)) {
                node = onlyChild(node);
                label += built[static_cast<size_t>(node)].c;
            }
            if (block.empty()) firstChildOf[at] = static_cast<int32_t>(placed.size());
            childrenOf[at] |= uint64_t{1} << cls;
            block.push_back(placed.size());
            placed.push_back({node, label});
        }
        if (b.gap >= 0) {
            gapOf[at] = static_cast<int32_t>(placed.size());
            block.push_back(placed.size());
            placed.push_back({b.gap, {}});
        }
        gapOf.resize(placed.size(), -1);
        firstChildOf.resize(placed.size(), 0);
        childrenOf.resize(placed.size(), 0);
        for (size_t child : block) self(self, child);
    };
    place(place, 0);

    assert(placed.size() <= INT16_MAX && keywords.size() <= INT16_MAX);
    nodes_.resize(placed.size());
    labelLengths_.resize(placed.size());
    for (size_t i = 0; i < placed.size(); ++i) {
        Node& n = nodes_[i];
        n.children = childrenOf[i];
        n.firstChild = static_cast<int16_t>(firstChildOf[i]);
        n.keyword = static_cast<int16_t>(built[static_cast<size_t>(placed[i].built)].keyword);
        n.gap = static_cast<int16_t>(gapOf[i]);
        assert(labels_.size() <= UINT16_MAX && placed[i].label.size() <= UINT8_MAX);
        n.label = static_cast<uint16_t>(labels_.size());
        labelLengths_[i] = static_cast<uint8_t>(placed[i].label.size());
        labels_ += placed[i].label;
    }
    for (size_t c = 0; c < 256; ++c) rootChild_[c] = static_cast<int16_t>(Child(kRoot, static_cast<char>(c)));
}

// Follows the text from `node`, trying every gap crossing on the way, and
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
                const int32_t next = Step(n.gap, q, end);
                if (next >= 0) Match(next, q, begin, end, best);
            }
        }
        if (p == end) return;
        node = Step(node, p, end);
        if (node < 0) return;
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
