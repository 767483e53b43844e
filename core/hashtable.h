#pragma once
// The program's chained hash table: a fixed power-of-two array of buckets, each
// the head of a singly linked chain of entries {payload, next}.
//
// Keys are not stored. The caller passes a 32-bit key with every insertion,
// removal and look-up (an object id, a mixed chunk id, a name hash); the bucket
// is key AND mask, and look-ups compare candidates with a predicate of the
// caller's. New entries go to the head of their chain, so the most recently
// inserted of two equal keys is found first. Entries come from a policy object
// (by default MemAlloc/MemFree). The table never grows or rehashes and has no
// lock: owners guard shared tables.

#include <bit>
#include <cassert>
#include <cstdint>
#include <new>
#include <type_traits>

#include "core/list.h"
#include "core/mem.h"

template <class T>
struct HashEntry {
    T Payload;
    HashEntry* Next;
};

// Makes and frees entries; derive and override to place entries elsewhere.
template <class T>
class HashEntryPolicy {
public:
    using Entry = HashEntry<T>;
    virtual ~HashEntryPolicy() = default;

    // A new entry holding a copy of `payload` and linking to `next`.
    virtual Entry* NewEntry(const T& payload, Entry* next) { return ::new (Allocate()) Entry{payload, next}; }
    // Storage for one entry, uninitialised.
    virtual Entry* Allocate() { return static_cast<Entry*>(MemAlloc(sizeof(Entry))); }
    // Destroys and frees an entry; null is ignored.
    virtual void Free(Entry* entry) {
        if (!entry) return;
        entry->~Entry();
        MemFree(entry);
    }
};

template <class T, class Policy>
class HashTable;

// Cursor over a table, in one of two forms.
// Key walk (SeekKey, Current, StepInChain): the chain of one key's bucket. The
// link is the address of the pointer that holds the current entry, so
// HashTable::RemoveCurrent can unlink it and the walk goes on with its successor.
// Whole-table walk (Begin, Current, Next, AtEnd): every entry, buckets in
// ascending order; it skips empty buckets and stops after the last entry.
// The table must not change during a whole-table walk (walk a CopyFrom
// snapshot instead).
template <class T>
class HashSetIterator {
public:
    using Entry = HashEntry<T>;

    template <class Policy>
    void SeekKey(const HashTable<T, Policy>& table, uint32_t key) {
        bucket_ = link_ = table.buckets_ + (key & table.mask_);
    }
    // The current entry (its Payload is the element); null at the end.
    Entry* Current() const { return *link_; }
    void StepInChain() {
        if (*link_) link_ = &(*link_)->Next;
    }

    template <class Policy>
    void Begin(const HashTable<T, Policy>& table) {
        bucket_ = link_ = table.buckets_;
        bucketsRemaining_ = table.bucketCount_;
        entriesRemaining_ = table.count_;
        if (entriesRemaining_ != 0) SkipEmptyBuckets();
    }
    void Next() {
        if (AtEnd()) return;
        if (*link_) link_ = &(*link_)->Next;
        if (--entriesRemaining_ != 0) SkipEmptyBuckets();
    }
    bool AtEnd() const { return entriesRemaining_ == 0; }

private:
    template <class, class>
    friend class HashTable;

    void SkipEmptyBuckets() {
        while (!*link_ && bucketsRemaining_ > 1) {
            ++bucket_;
            --bucketsRemaining_;
            link_ = bucket_;
        }
        // Fewer entries than counted: the table changed under the walk; stop
        // rather than read past the buckets.
        if (!*link_) entriesRemaining_ = 0;
    }

    Entry** bucket_ = nullptr;
    Entry** link_ = nullptr;
    uint32_t bucketsRemaining_ = 0;
    int32_t entriesRemaining_ = 0;
};

template <class T, class Policy = HashEntryPolicy<T>>
class HashTable {
    static_assert(std::is_base_of_v<HashEntryPolicy<T>, Policy>);

public:
    using Entry = HashEntry<T>;
    using Iterator = HashSetIterator<T>;

    // `bucketCount` is rounded up to a power of two (at least 1).
    explicit HashTable(uint32_t bucketCount) { AllocateBuckets(bucketCount); }
    ~HashTable() {
        Clear();
        MemFree(buckets_);
    }
    HashTable(const HashTable&) = delete;
    HashTable& operator=(const HashTable&) = delete;

    int32_t Count() const { return count_; }
    uint32_t BucketCount() const { return bucketCount_; }
    uint32_t Mask() const { return mask_; }

    // Puts `payload` at the head of the chain of key AND mask; returns its entry.
    Entry* Insert(const T& payload, uint32_t key) {
        Entry*& head = buckets_[key & mask_];
        head = policy_.NewEntry(payload, head);
        ++count_;
        return head;
    }

    // Removes the first entry of key's chain whose payload equals `payload`;
    // false when there is none.
    bool Remove(const T& payload, uint32_t key) {
        Iterator it;
        it.SeekKey(*this, key);
        while (it.Current() && !(it.Current()->Payload == payload)) it.StepInChain();
        if (!it.Current()) return false;
        RemoveCurrent(it);
        return true;
    }

    // Unlinks and frees the current entry of a key walk over this table; the
    // walk's current entry becomes its successor.
    void RemoveCurrent(Iterator& it) {
        Entry* entry = *it.link_;
        if (!entry) return;
        *it.link_ = entry->Next;
        policy_.Free(entry);
        --count_;
    }

    // The first entry of key's chain whose payload satisfies `matches`, or null.
    template <class Pred>
    Entry* Find(uint32_t key, Pred matches) const {
        for (Entry* e = buckets_[key & mask_]; e; e = e->Next)
            if (matches(e->Payload)) return e;
        return nullptr;
    }

    // Frees every entry.
    void Clear() {
        for (uint32_t i = 0; i < bucketCount_; ++i) {
            for (Entry* e = buckets_[i]; e;) {
                Entry* next = e->Next;
                policy_.Free(e);
                e = next;
            }
            buckets_[i] = nullptr;
        }
        count_ = 0;
    }

    // Makes this table a snapshot of `other`: its bucket count, and every
    // payload of `other` (whole-table order) inserted under keyOf(payload).
    // The payloads are copied, not what they point to, so the snapshot can be
    // walked while the original changes.
    template <class KeyOf>
    void CopyFrom(const HashTable& other, KeyOf keyOf) {
        if (&other == this) return;
        Clear();
        if (bucketCount_ != other.bucketCount_) {
            MemFree(buckets_);
            AllocateBuckets(other.bucketCount_);
        }
        Iterator it;
        for (it.Begin(other); !it.AtEnd(); it.Next()) Insert(it.Current()->Payload, keyOf(it.Current()->Payload));
    }

private:
    friend Iterator;

    void AllocateBuckets(uint32_t bucketCount) {
        bucketCount_ = std::bit_ceil(bucketCount == 0 ? 1u : bucketCount);
        mask_ = bucketCount_ - 1;
        buckets_ = static_cast<Entry**>(MemAlloc(bucketCount_ * sizeof(Entry*)));
        for (uint32_t i = 0; i < bucketCount_; ++i) buckets_[i] = nullptr;
    }

    Policy policy_;
    int32_t count_ = 0;
    uint32_t bucketCount_ = 0;
    uint32_t mask_ = 0;
    Entry** buckets_ = nullptr;
};

// Spreads the bits of a numeric key over the low bits a small table masks.
constexpr uint32_t MixKey(uint32_t x) { return x ^ (x >> 4) ^ (x >> 9) ^ (x >> 15) ^ (x >> 22); }

// ASCII lower case; other byte values are unchanged.
constexpr char NameLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Key of a name: the sum of its characters, each a signed byte after lower
// casing, in 32-bit arithmetic.
constexpr uint32_t NameHash(const char* name) {
    uint32_t sum = 0;
    for (; *name; ++name) sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(NameLower(*name))));
    return sum;
}

// Names compared without regard to (ASCII) case.
constexpr bool NameEquals(const char* a, const char* b) {
    for (; NameLower(*a) == NameLower(*b); ++a, ++b)
        if (*a == '\0') return true;
    return false;
}

// Look-up in a name index of ListLink handles keyed by NameHash: the entry
// whose record is named `name` (without regard to case), or null.
// nameOf(const Owner&) gives a record's name.
template <class Owner, class Policy, class NameOf>
HashEntry<ListLink<Owner>*>* NameHashFind(const HashTable<ListLink<Owner>*, Policy>& table, const char* name,
                                          NameOf nameOf) {
    return table.Find(NameHash(name),
                      [&](ListLink<Owner>* link) { return NameEquals(nameOf(*link->OwnerObject), name); });
}
