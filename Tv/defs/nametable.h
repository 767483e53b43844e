#pragma once
// A table from names to payloads, names compared exactly (with regard to
// case): the compiler's symbol table and macro table. A compilation may name
// tens of thousands of objects, so the table spreads names over many buckets
// with a mixing hash; nothing depends on its walk order.

#include <cstdint>
#include <string_view>
#include <utility>

#include "Tv/defs/ownedtext.h"
#include "core/hashtable.h"

template <class T>
class ScriptNameTable {
public:
    ScriptNameTable() : table_(kBucketCount) {}
    ~ScriptNameTable() { Clear([](T&) {}); }
    ScriptNameTable(const ScriptNameTable&) = delete;
    ScriptNameTable& operator=(const ScriptNameTable&) = delete;

    int32_t Count() const { return table_.Count(); }

    // The payload of `name`, or null.
    T* Find(std::string_view name) const {
        if (table_.Count() == 0) return nullptr;
        auto* entry = table_.Find(Key(name), [&](Entry* e) { return e->Name() == name; });
        return entry ? &entry->Payload->payload : nullptr;
    }

    // Adds `name` (which must not be in the table) with its payload.
    T& Insert(std::string_view name, T payload) {
        Entry* entry = new Entry(name, std::move(payload));
        table_.Insert(entry, Key(name));
        return entry->payload;
    }

    // Removes `name`, handing its payload to release first; false when absent.
    template <class Release>
    bool Remove(std::string_view name, Release release) {
        HashSetIterator<Entry*> it;
        it.SeekKey(table_, Key(name));
        while (it.Current() && it.Current()->Payload->Name() != name) it.StepInChain();
        if (!it.Current()) return false;
        Entry* entry = it.Current()->Payload;
        table_.RemoveCurrent(it);
        release(entry->payload);
        delete entry;
        return true;
    }

    // Empties the table, handing every payload to release first.
    template <class Release>
    void Clear(Release release) {
        HashSetIterator<Entry*> it;
        for (it.Begin(table_); !it.AtEnd(); it.Next()) {
            release(it.Current()->Payload->payload);
            delete it.Current()->Payload;
        }
        table_.Clear();
    }

private:
    static constexpr uint32_t kBucketCount = 4096;

    struct Entry : MemObject {
        Entry(std::string_view n, T p) : name(n), length(static_cast<uint32_t>(n.size())), payload(std::move(p)) {}
        OwnedText name;
        uint32_t length; // names may hold any byte, zero included
        T payload;
        std::string_view Name() const { return {name.Get(), length}; }
    };

    // FNV-1a.
    static uint32_t Key(std::string_view name) {
        uint32_t h = 2166136261u;
        for (unsigned char c : name) h = (h ^ c) * 16777619u;
        return h ^ (h >> 16);
    }

    HashTable<Entry*> table_;
};
