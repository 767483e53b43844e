#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/hashtable.h"

namespace {

// An object keyed by its own id, as the server's actors are.
struct Actor {
    uint32_t id;
    uint32_t GetId() const { return id; }
};
uint32_t IdOf(const Actor* a) { return a->GetId(); }

using ActorTable = HashTable<Actor*>;

Actor* FindById(const ActorTable& table, uint32_t id) {
    auto* entry = table.Find(id, [id](const Actor* a) { return a->id == id; });
    return entry ? entry->Payload : nullptr;
}

// (bucket, id) of every entry, in whole-table walk order.
std::vector<std::pair<uint32_t, uint32_t>> Walk(const ActorTable& table) {
    std::vector<std::pair<uint32_t, uint32_t>> seen;
    HashSetIterator<Actor*> it;
    for (it.Begin(table); !it.AtEnd(); it.Next()) seen.emplace_back(it.Current()->Payload->id & table.Mask(), it.Current()->Payload->id);
    it.Next(); // past the end: stays there
    EXPECT_TRUE(it.AtEnd());
    return seen;
}

TEST(HashTable, BucketCountIsAPowerOfTwo) {
    struct Case {
        uint32_t asked, buckets;
    };
    for (Case c : {Case{0, 1}, Case{1, 1}, Case{48, 64}, Case{64, 64}, Case{65, 128}}) {
        HashTable<int> table(c.asked);
        EXPECT_EQ(table.BucketCount(), c.buckets) << c.asked;
        EXPECT_EQ(table.Mask(), c.buckets - 1);
        table.Insert(1, 0xFFFFFFFF); // any key lands inside the bucket array
        EXPECT_EQ(table.Count(), 1);
    }
}

TEST(HashTable, KeysSharingABucketAreFoundNewestFirst) {
    Actor old{5}, recent{5 + 64}, twin{5 + 64};
    ActorTable table(64);
    table.Insert(&old, old.id);
    table.Insert(&recent, recent.id);
    EXPECT_EQ(FindById(table, 5), &old);
    EXPECT_EQ(FindById(table, 69), &recent);
    EXPECT_EQ(FindById(table, 133), nullptr); // same bucket, no such id
    EXPECT_EQ(FindById(table, 6), nullptr);   // empty bucket

    // The key walk of the shared bucket meets the newest first.
    HashSetIterator<Actor*> it;
    it.SeekKey(table, 5);
    EXPECT_EQ(it.Current()->Payload, &recent);
    it.StepInChain();
    EXPECT_EQ(it.Current()->Payload, &old);
    it.StepInChain();
    EXPECT_EQ(it.Current(), nullptr);
    it.StepInChain(); // at the end of the chain: stays
    EXPECT_EQ(it.Current(), nullptr);

    table.Insert(&twin, twin.id);
    EXPECT_EQ(FindById(table, 69), &twin);
}

TEST(HashTable, RemoveTakesOutOnlyThatPayload) {
    Actor a{1}, b{65}, c{129}, stranger{1};
    ActorTable table(64);
    for (Actor* x : {&a, &b, &c}) table.Insert(x, x->id);

    EXPECT_FALSE(table.Remove(&stranger, stranger.id)); // same key, other object
    EXPECT_FALSE(table.Remove(&a, 2));                  // right object, wrong bucket
    EXPECT_EQ(table.Count(), 3);

    EXPECT_TRUE(table.Remove(&b, b.id)); // middle of the chain
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(FindById(table, 65), nullptr);
    EXPECT_EQ(FindById(table, 1), &a);
    EXPECT_EQ(FindById(table, 129), &c);
    EXPECT_FALSE(table.Remove(&b, b.id));
}

TEST(HashTable, AKeyWalkCanRemoveAsItGoes) {
    std::vector<Actor> actors;
    for (uint32_t i = 0; i < 8; ++i) actors.push_back({3 + 16 * i});
    ActorTable table(16);
    for (Actor& a : actors) table.Insert(&a, a.id);
    Actor other{4};
    table.Insert(&other, other.id);

    HashSetIterator<Actor*> it;
    for (it.SeekKey(table, 3); it.Current();) {
        if (it.Current()->Payload->id / 16 % 2 == 0)
            table.RemoveCurrent(it); // the walk goes on with the successor
        else
            it.StepInChain();
    }
    EXPECT_EQ(table.Count(), 5);
    std::vector<uint32_t> left;
    for (it.SeekKey(table, 3); it.Current(); it.StepInChain()) left.push_back(it.Current()->Payload->id);
    EXPECT_EQ(left, (std::vector<uint32_t>{115, 83, 51, 19}));
    EXPECT_EQ(FindById(table, 4), &other);
}

TEST(HashTable, WholeTableWalkVisitsBucketsInOrderAndStopsAfterTheLastEntry) {
    ActorTable table(64);
    EXPECT_TRUE(Walk(table).empty());

    Actor a{63}, b{0}, c{64}, d{10}, e{127};
    for (Actor* x : {&a, &b, &c, &d, &e}) table.Insert(x, x->id);
    const std::vector<std::pair<uint32_t, uint32_t>> expected{{0, 64}, {0, 0}, {10, 10}, {63, 127}, {63, 63}};
    EXPECT_EQ(Walk(table), expected);

    // Only the last bucket used.
    ActorTable last(64);
    last.Insert(&a, a.id);
    EXPECT_EQ(Walk(last), (std::vector<std::pair<uint32_t, uint32_t>>{{63, 63}}));
}

TEST(HashTable, AWalkOfATableThatShrankUnderItStopsInsideTheBuckets) {
    Actor a{1}, b{2};
    ActorTable table(4);
    table.Insert(&a, a.id);
    table.Insert(&b, b.id);
    HashSetIterator<Actor*> it;
    it.Begin(table);
    table.Remove(&b, b.id); // not allowed during a walk, but must not run off the array
    it.Next();
    EXPECT_TRUE(it.AtEnd());
    EXPECT_EQ(it.Current(), nullptr);
}

// A policy that counts its entries, to see that the table frees each one.
struct CountingPolicy : HashEntryPolicy<int> {
    static inline int live = 0;
    Entry* NewEntry(const int& payload, Entry* next) override {
        ++live;
        return HashEntryPolicy<int>::NewEntry(payload, next);
    }
    void Free(Entry* entry) override {
        if (entry) --live;
        HashEntryPolicy<int>::Free(entry);
    }
};

TEST(HashTable, EntriesComeFromThePolicyAndAreAllFreed) {
    {
        HashTable<int, CountingPolicy> table(8);
        for (int i = 0; i < 20; ++i) table.Insert(i, static_cast<uint32_t>(i));
        EXPECT_EQ(CountingPolicy::live, 20);
        table.Remove(7, 7);
        EXPECT_EQ(CountingPolicy::live, 19);
        table.Clear();
        EXPECT_EQ(CountingPolicy::live, 0);
        EXPECT_EQ(table.Count(), 0);
        EXPECT_EQ(table.Find(3, [](int) { return true; }), nullptr);
        for (int i = 0; i < 5; ++i) table.Insert(i, static_cast<uint32_t>(i));
    }
    EXPECT_EQ(CountingPolicy::live, 0);
}

TEST(HashTable, ASnapshotKeysByIdAndOutlivesChangesToTheSource) {
    Actor a{1}, b{65}, c{7};
    ActorTable live(64);
    // Inserted under keys other than their ids: the snapshot rekeys by GetId.
    live.Insert(&a, 0);
    live.Insert(&b, 0);
    live.Insert(&c, 0);

    ActorTable snapshot(8);
    snapshot.CopyFrom(live, IdOf);
    EXPECT_EQ(snapshot.BucketCount(), 64u);
    EXPECT_EQ(snapshot.Count(), 3);
    EXPECT_EQ(FindById(snapshot, 65), &b); // the same objects, not copies
    EXPECT_EQ(Walk(snapshot), (std::vector<std::pair<uint32_t, uint32_t>>{{1, 1}, {1, 65}, {7, 7}}));

    live.Remove(&b, 0);
    live.Clear();
    EXPECT_EQ(snapshot.Count(), 3);
    EXPECT_EQ(FindById(snapshot, 65), &b);

    snapshot.CopyFrom(snapshot, IdOf); // onto itself: unchanged
    EXPECT_EQ(snapshot.Count(), 3);
    snapshot.CopyFrom(live, IdOf); // a fresh snapshot replaces the old one
    EXPECT_EQ(snapshot.Count(), 0);
}

TEST(HashKeys, MixKeyAndNameHash) {
    EXPECT_EQ(MixKey(0), 0u);
    EXPECT_EQ(MixKey(0x10), 0x11u);
    EXPECT_EQ(MixKey(0xFFFFFFFF), 0xF07E03FFu);

    struct Case {
        const char* name;
        uint32_t hash;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 294},
        {"ABC", 294},      // lower-cased before adding
        {"A_Z", 97 + 95 + 122},
        {"\xE9", 0xFFFFFFE9u}, // a byte above 127 counts as negative
        {"a\xC9", 97 - 55},    // and is not lower-cased
    };
    for (const Case& c : cases) EXPECT_EQ(NameHash(c.name), c.hash) << c.name;

    EXPECT_TRUE(NameEquals("Texture.BMP", "texture.bmp"));
    EXPECT_FALSE(NameEquals("tex", "texture"));
    EXPECT_FALSE(NameEquals("\xC9", "\xE9"));
}

// A named record in a name index of link handles.
struct Texture {
    explicit Texture(const char* n) : name(n), link(this) {}
    const char* name;
    ListLink<Texture> link;
};

TEST(HashTable, NameIndexFindsNamesWithoutRegardToCase) {
    Texture wall("wall"), ab("ab"), ba("ba");
    HashTable<ListLink<Texture>*> names(64);
    for (Texture* t : {&wall, &ab, &ba}) names.Insert(&t->link, NameHash(t->name));
    auto nameOf = [](const Texture& t) { return t.name; };

    auto* found = NameHashFind(names, "WALL", nameOf);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Payload->OwnerObject, &wall);
    // "ab" and "ba" share a bucket; the comparison tells them apart.
    ASSERT_EQ(NameHash("ab") & names.Mask(), NameHash("BA") & names.Mask());
    EXPECT_EQ(NameHashFind(names, "AB", nameOf)->Payload, &ab.link);
    EXPECT_EQ(NameHashFind(names, "Ba", nameOf)->Payload, &ba.link);
    EXPECT_EQ(NameHashFind(names, "floor", nameOf), nullptr);
    EXPECT_EQ(NameHashFind(names, "wal", nameOf), nullptr);
}

} // namespace
