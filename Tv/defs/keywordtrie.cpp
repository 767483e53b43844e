// The keywords are held in a character trie. A word of a multi-word keyword
// ends in a node whose gap link leads to the node where the next word starts;
// the matcher crosses a gap over any run of blanks and tabs, including an
// empty one, so "walking speed", "walkingspeed" and "walking\tspeed" reach
// the same keyword.
#include "Tv/defs/keywordtrie.h"

#include <cassert>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

class KeywordTrie {
public:
    KeywordTrie();
    void Match(int32_t node, const char* p, const char* begin, const char* end, KeywordMatch& best) const;
    int32_t Root() const { return 0; }

private:
    struct Node {
        int32_t keyword = -1; // index into ScriptKeywords(), or -1
        int32_t gap = -1;     // where the next word of a multi-word keyword starts
        int32_t firstEdge = 0;
        int32_t edgeCount = 0;
    };
    struct Edge {
        unsigned char c;
        int32_t child;
    };

    int32_t Child(int32_t node, unsigned char c) const;

    std::vector<Node> nodes_;
    std::vector<Edge> edges_;
    int32_t rootChildren_[256];
};

KeywordTrie::KeywordTrie() {
    // Built with per-node edge lists, then flattened into one edge array.
    std::vector<std::vector<Edge>> children(1);
    std::vector<Node> nodes(1);
    auto newNode = [&] {
        nodes.emplace_back();
        children.emplace_back();
        return static_cast<int32_t>(nodes.size() - 1);
    };
    auto step = [&](int32_t node, unsigned char c) {
        for (const Edge& e : children[node])
            if (e.c == c) return e.child;
        int32_t child = newNode();
        children[node].push_back({c, child});
        return child;
    };

    const auto keywords = ScriptKeywords();
    for (size_t k = 0; k < keywords.size(); ++k) {
        const ScriptKeyword& keyword = keywords[k];
        int32_t node = 0;
        for (const char* p = keyword.text; *p; ++p) {
            if (*p == ' ' && !keyword.exactBlanks) {
                if (nodes[node].gap < 0) {
                    int32_t gap = newNode();
                    nodes[node].gap = gap;
                }
                node = nodes[node].gap;
                continue;
            }
            node = step(node, static_cast<unsigned char>(*p));
        }
        assert(nodes[node].keyword < 0 && "two keywords with one spelling");
        nodes[node].keyword = static_cast<int32_t>(k);
    }

    for (size_t n = 0; n < nodes.size(); ++n) {
        nodes[n].firstEdge = static_cast<int32_t>(edges_.size());
        nodes[n].edgeCount = static_cast<int32_t>(children[n].size());
        edges_.insert(edges_.end(), children[n].begin(), children[n].end());
    }
    nodes_ = std::move(nodes);
    for (int32_t& child : rootChildren_) child = -1;
    for (const Edge& e : children[0]) rootChildren_[e.c] = e.child;
}

int32_t KeywordTrie::Child(int32_t node, unsigned char c) const {
    if (node == 0) return rootChildren_[c];
    const Node& n = nodes_[static_cast<size_t>(node)];
    const Edge* edge = edges_.data() + n.firstEdge;
    for (int32_t i = 0; i < n.edgeCount; ++i)
        if (edge[i].c == c) return edge[i].child;
    return -1;
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
                int32_t next = Child(n.gap, static_cast<unsigned char>(*q));
                if (next >= 0) Match(next, q + 1, begin, end, best);
            }
        }
        if (p == end) return;
        int32_t next = Child(node, static_cast<unsigned char>(*p));
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
    if (begin < end) Trie().Match(Trie().Root(), begin, begin, end, best);
    return best;
}
