#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/list.h"

namespace {

// The payloads first to last, checked against a walk from the back so that a
// broken previous link shows up as well as a broken next link.
template <class T>
std::vector<T> Contents(const List<T>& list) {
    std::vector<T> forward(list.begin(), list.end());
    std::vector<T> backward;
    ListIterator<T> it(list);
    for (it.BeginLast(); !it.AtEnd(); it.Prev()) backward.insert(backward.begin(), *it.Payload());
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward.size(), static_cast<size_t>(list.Count()));
    return forward;
}

List<int> Of(std::initializer_list<int> values) {
    List<int> list;
    for (int v : values) list.PushBack(v);
    return list;
}

TEST(List, EditingOperationsKeepOrderCountAndLinks) {
    struct Case {
        const char* name;
        std::function<void(List<int>&)> edit;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"push front", [](List<int>& l) { l.PushFront(0); }, {0, 1, 2, 3}},
        {"push back", [](List<int>& l) { l.PushBack(4); }, {1, 2, 3, 4}},
        {"insert before a node", [](List<int>& l) { l.InsertBefore(l.Last(), 9); }, {1, 2, 9, 3}},
        {"insert before the sentinel", [](List<int>& l) { l.InsertBefore(l.Sentinel(), 9); }, {1, 2, 3, 9}},
        {"pop front", [](List<int>& l) { l.PopFront(); }, {2, 3}},
        {"pop back", [](List<int>& l) { l.PopBack(); }, {1, 2}},
        {"remove value (first match only)",
         [](List<int>& l) {
             l.PushBack(2);
             EXPECT_TRUE(l.RemoveValue(2));
         },
         {1, 3, 2}},
        {"remove absent value", [](List<int>& l) { EXPECT_FALSE(l.RemoveValue(7)); }, {1, 2, 3}},
        {"remove node", [](List<int>& l) { l.RemoveNode(l.First()); }, {2, 3}},
        {"remove at", [](List<int>& l) { EXPECT_TRUE(l.RemoveAt(1)); }, {1, 3}},
        {"remove at out of range",
         [](List<int>& l) {
             EXPECT_FALSE(l.RemoveAt(3));
             EXPECT_FALSE(l.RemoveAt(-1));
         },
         {1, 2, 3}},
        {"clear", [](List<int>& l) { l.Clear(); }, {}},
        {"pop both ends until empty, then once more",
         [](List<int>& l) {
             l.PopBack();
             l.PopFront();
             l.PopBack();
             l.PopBack();
             l.PopFront();
         },
         {}},
        {"move a node to the front", [](List<int>& l) { l.MoveAfter(l.Last(), l.Sentinel()); }, {3, 1, 2}},
        {"move a node after another", [](List<int>& l) { l.MoveAfter(l.First(), l.Last()); }, {2, 3, 1}},
        {"move a node after itself", [](List<int>& l) { l.MoveAfter(l.First(), l.First()); }, {1, 2, 3}},
        {"move a node after its predecessor",
         [](List<int>& l) { l.MoveAfter(l.Last(), l.Last()->Prev); },
         {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        List<int> list = Of({1, 2, 3});
        c.edit(list);
        EXPECT_EQ(Contents(list), c.expected);
        EXPECT_EQ(list.IsEmpty(), c.expected.empty());
        if (!c.expected.empty()) {
            EXPECT_EQ(list.Front(), c.expected.front());
            EXPECT_EQ(list.Back(), c.expected.back());
        } else {
            EXPECT_EQ(list.First(), nullptr);
            EXPECT_EQ(list.Last(), nullptr);
        }
        list.PushBack(8); // still usable
        EXPECT_EQ(list.Back(), 8);
    }
}

TEST(List, IndexedAccessFollowsEveryChange) {
    List<int> list = Of({10, 20, 30});
    const int* second = list.At(1);
    EXPECT_EQ(*second, 20);
    EXPECT_EQ(list.At(1), second); // stable while nothing changes
    *list.At(2) = 31;              // the address of the payload itself
    EXPECT_EQ(list.Back(), 31);

    list.PushFront(5);
    EXPECT_EQ(*list.At(0), 5);
    EXPECT_EQ(*list.At(3), 31);
    list.RemoveValue(20);
    EXPECT_EQ(*list.At(1), 10);
    EXPECT_EQ(*list.At(2), 31);
    list.MoveAfter(list.First(), list.Last());
    EXPECT_EQ(*list.At(0), 10);
    EXPECT_EQ(*list.At(2), 5);
    list.RemoveAt(0);
    list.PopBack();
    EXPECT_EQ(*list.At(0), 31);
    list.Clear();
    list.PushBack(7);
    EXPECT_EQ(*list.At(0), 7);
}

TEST(List, WalksForwardAndBackwardAndStopsAtTheEnds) {
    List<int> list = Of({1, 2});
    ListIterator<int> it(list);
    EXPECT_EQ(*it.Payload(), 1);
    it.Next();
    EXPECT_EQ(it.Node(), list.Last());
    it.Next();
    EXPECT_TRUE(it.AtEnd());
    it.Next(); // stays at the end rather than wrapping round
    EXPECT_TRUE(it.AtEnd());
    it.BeginLast();
    EXPECT_EQ(*it.Payload(), 2);
    it.Prev();
    it.Prev();
    EXPECT_TRUE(it.AtEnd());

    // The crossing forms step onto the end and over it, in both directions.
    it.BeginLast();
    it.NextCrossing();
    EXPECT_TRUE(it.AtEnd());
    it.NextCrossing();
    EXPECT_EQ(*it.Payload(), 1);
    it.PrevCrossing();
    EXPECT_TRUE(it.AtEnd());
    it.PrevCrossing();
    EXPECT_EQ(*it.Payload(), 2);

    List<int> empty;
    EXPECT_TRUE(ListIterator<int>(empty).AtEnd());
    ListIterator<int> onEmpty(empty);
    onEmpty.NextCrossing(); // an empty list's sentinel is its own neighbour
    EXPECT_TRUE(onEmpty.AtEnd());
    EXPECT_EQ(empty.begin(), empty.end());

    std::vector<int> backward;
    for (auto i = --list.end(); i != list.end(); --i) backward.push_back(*i);
    EXPECT_EQ(backward, (std::vector<int>{2, 1}));
}

TEST(List, ContainsAndFindCompareValuesFromTheFront) {
    int a = 1, b = 1;
    List<int*> pointers;
    pointers.PushBack(&a);
    auto* second = pointers.PushBack(&a);
    EXPECT_TRUE(pointers.Contains(&a));
    EXPECT_FALSE(pointers.Contains(&b)); // identity, not the pointed-to value
    EXPECT_EQ(pointers.Find(&a), pointers.First());
    EXPECT_NE(pointers.Find(&a), second);
}

// Counts live payload copies, so node deletion shows in the count.
struct Tracked {
    static inline int live = 0;
    explicit Tracked(std::string n) : name(std::move(n)) { ++live; }
    Tracked(const Tracked& o) : name(o.name) { ++live; }
    ~Tracked() { --live; }
    bool operator==(const Tracked& o) const { return name == o.name; }
    std::string name;
};

TEST(List, DeletesEveryNodeAndCopiesAreIndependent) {
    {
        List<Tracked> list(Tracked("first"));
        for (const char* n : {"a", "b", "c"}) list.PushBack(Tracked(n));
        EXPECT_EQ(Tracked::live, 4);
        list.RemoveValue(Tracked("b"));
        EXPECT_EQ(Tracked::live, 3);

        List<Tracked> copy(list);
        EXPECT_EQ(Tracked::live, 6);
        copy.PopFront();
        EXPECT_EQ(list.Front().name, "first");
        EXPECT_EQ(copy.Front().name, "a");

        copy = list;
        const List<Tracked>& itself = copy;
        copy = itself; // self-assignment keeps the elements
        EXPECT_EQ(copy.Count(), 3);
        EXPECT_EQ(Tracked::live, 6);
        std::vector<std::string> names;
        for (const Tracked& t : copy) names.push_back(t.name);
        EXPECT_EQ(names, (std::vector<std::string>{"first", "a", "c"}));
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(List, ANodeOutOfStepWithTheCountDoesNotHangDestruction) {
    // A node unlinked by hand leaves the count one too high; destruction still
    // ends (it walks the links, not the count).
    auto* list = new List<int>(Of({1, 2}));
    ListNodeBase* node = list->First();
    node->Unlink();
    delete node;
    EXPECT_EQ(list->Count(), 2);
    delete list;
}

// A record kept in a most-recently-used list through its embedded link.
struct Record {
    explicit Record(const char* n) : name(n), link(this) {}
    const char* name;
    ListLink<Record> link;
};

std::vector<std::string> Names(const ListSentinel<Record>& s) {
    std::vector<std::string> names;
    for (const ListLink<Record>* l = s.Next; l != &s; l = l->Next) names.push_back(l->OwnerObject->name);
    std::vector<std::string> backward;
    for (const ListLink<Record>* l = s.Prev; l != &s; l = l->Prev) backward.insert(backward.begin(), l->OwnerObject->name);
    EXPECT_EQ(names, backward);
    return names;
}

TEST(ListLink, RecordsMoveToTheFrontAndLeaveSafely) {
    Record cache("cache");
    ListSentinel<Record> recent;
    recent.Init(&cache);
    EXPECT_EQ(recent.OwnerObject, &cache);
    EXPECT_EQ(Names(recent), std::vector<std::string>{});

    Record a("a"), b("b"), c("c");
    for (Record* r : {&a, &b, &c}) r->link.MoveAfter(&recent); // a fresh link can be moved in
    EXPECT_EQ(Names(recent), (std::vector<std::string>{"c", "b", "a"}));

    EXPECT_EQ(a.link.MoveAfter(&recent), &recent); // used again: to the front
    EXPECT_EQ(Names(recent), (std::vector<std::string>{"a", "c", "b"}));

    c.link.Unlink();
    EXPECT_EQ(Names(recent), (std::vector<std::string>{"a", "b"}));
    Record lone("lone");
    lone.link.Unlink(); // never linked: nothing happens
    EXPECT_EQ(lone.link.Next, &lone.link);

    recent.Init(nullptr);
    EXPECT_EQ(Names(recent), std::vector<std::string>{});
}

} // namespace
