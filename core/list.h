#pragma once
// The program's sequence container: a circular doubly linked list with a
// sentinel node, an element count and an index array built on demand.
//
// List<T> owns its nodes and its sentinel (allocated through MemAlloc) and
// deletes them through their virtual destructors; a node holds its payload by
// value, so a list of pointers never deletes what they point to. The index
// array (payload addresses in list order) is built by the first At() after a
// change and dropped by every operation that changes, or might have changed,
// the sequence. Lists have no lock: a shared list is guarded by its owner.
//
// ListLink is the plain link form (owner, previous, next) that records embed
// to sit in a most-recently-used list without a node of their own.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>
#include <utility>

#include "core/mem.h"

namespace list_links {
// Unlinking and re-linking are shared by both link forms (ListNodeBase, ListLink).

// Joins the neighbours of n; n's own links are left as they were.
template <class L>
void Unlink(L* n) {
    n->Prev->Next = n->Next;
    n->Next->Prev = n->Prev;
}

// Links n directly after p (n must not be linked anywhere).
template <class L>
void LinkAfter(L* n, L* p) {
    n->Prev = p;
    n->Next = p->Next;
    p->Next->Prev = n;
    p->Next = n;
}

// Unlinks n and links it again directly after p; returns p. Moving a node
// after itself leaves it where it is.
template <class L>
L* MoveAfter(L* n, L* p) {
    if (n != p) {
        Unlink(n);
        LinkAfter(n, p);
    }
    return p;
}
} // namespace list_links

// The sentinel's class and the base of every element node. A fresh node links
// to itself, which is the sentinel's empty state.
class ListNodeBase : public MemObject {
public:
    ListNodeBase() = default;
    virtual ~ListNodeBase() = default;
    ListNodeBase(const ListNodeBase&) = delete;
    ListNodeBase& operator=(const ListNodeBase&) = delete;

    // Joins the node's neighbours; its own links and the list's count stay as
    // they were (List::RemoveNode unlinks, deletes and counts the node out).
    void Unlink() { list_links::Unlink(this); }
    // Unlinks the node and links it again directly after p (p == the sentinel
    // makes it the first element); returns p. Does not drop the list's index
    // array: use List::MoveAfter for nodes of an indexed list.
    ListNodeBase* MoveAfter(ListNodeBase* p) { return list_links::MoveAfter(this, p); }

    ListNodeBase* Prev = this;
    ListNodeBase* Next = this;
};

// An element node: the payload by value.
template <class T>
class ListNode final : public ListNodeBase {
public:
    explicit ListNode(const T& payload) : Payload(payload) {}
    T Payload;
};

// The plain link form embedded in records. An unlinked link points to itself,
// so unlinking it again or moving it into a list is always safe.
template <class Owner>
struct ListLink {
    ListLink() = default;
    explicit ListLink(Owner* owner) : OwnerObject(owner) {}
    ListLink(const ListLink&) = delete;
    ListLink& operator=(const ListLink&) = delete;

    void Unlink() { list_links::Unlink(this); }
    ListLink* MoveAfter(ListLink* p) { return list_links::MoveAfter(this, p); }

    Owner* OwnerObject = nullptr;
    ListLink* Prev = this;
    ListLink* Next = this;
};

// The head of a list of ListLinks: its Next is the first record, its Prev the last.
template <class Owner>
struct ListSentinel : ListLink<Owner> {
    // Empties the list: the sentinel links to itself and belongs to `owner`.
    void Init(Owner* owner) {
        this->OwnerObject = owner;
        this->Prev = this;
        this->Next = this;
    }
};

template <class T>
class List;

// Cursor over a list {node, list}: starts at the first element; at the end
// when on the sentinel. Next and Prev stay at the end once there;
// NextCrossing and PrevCrossing step over it, so a cursor that cycles through
// a list passes the end once and goes on from the other side.
template <class T>
class ListIterator {
public:
    explicit ListIterator(const List<T>& list) : list_(&list) { Begin(); }

    void Begin() { node_ = list_->Sentinel()->Next; }
    void BeginLast() { node_ = list_->Sentinel()->Prev; }
    void Next() {
        if (!AtEnd()) node_ = node_->Next;
    }
    void Prev() {
        if (!AtEnd()) node_ = node_->Prev;
    }
    void NextCrossing() { node_ = node_->Next; }
    void PrevCrossing() { node_ = node_->Prev; }
    bool AtEnd() const { return node_ == list_->Sentinel(); }
    // The current element (not valid at the end).
    ListNode<T>* Node() const { return static_cast<ListNode<T>*>(node_); }
    T* Payload() const { return &Node()->Payload; }

private:
    ListNodeBase* node_ = nullptr;
    const List<T>* list_;
};

template <class T>
class List {
public:
    using Node = ListNode<T>;

    // Range-for over the payloads, first to last.
    template <class V>
    class PayloadIterator {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = std::remove_const_t<V>;
        using difference_type = std::ptrdiff_t;
        using pointer = V*;
        using reference = V&;

        PayloadIterator() = default;
        explicit PayloadIterator(ListNodeBase* node) : node_(node) {}
        V& operator*() const { return static_cast<Node*>(node_)->Payload; }
        V* operator->() const { return &**this; }
        PayloadIterator& operator++() {
            node_ = node_->Next;
            return *this;
        }
        PayloadIterator& operator--() {
            node_ = node_->Prev;
            return *this;
        }
        PayloadIterator operator++(int) {
            PayloadIterator old = *this;
            ++*this;
            return old;
        }
        PayloadIterator operator--(int) {
            PayloadIterator old = *this;
            --*this;
            return old;
        }
        bool operator==(const PayloadIterator&) const = default;

    private:
        ListNodeBase* node_ = nullptr;
    };
    using iterator = PayloadIterator<T>;
    using const_iterator = PayloadIterator<const T>;

    List() : sentinel_(new ListNodeBase) {}
    explicit List(const T& first) : List() { PushBack(first); }
    List(const List& other) : List() { AppendAll(other); }
    List& operator=(const List& other) {
        if (this != &other) {
            Clear();
            AppendAll(other);
        }
        return *this;
    }
    ~List() {
        Clear();
        delete sentinel_;
    }

    int32_t Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    ListNodeBase* Sentinel() const { return sentinel_; }
    // The first and last element nodes; null when the list is empty.
    Node* First() const { return IsEmpty() ? nullptr : static_cast<Node*>(sentinel_->Next); }
    Node* Last() const { return IsEmpty() ? nullptr : static_cast<Node*>(sentinel_->Prev); }
    // The first and last payloads; the list must not be empty.
    T& Front() { return const_cast<T&>(std::as_const(*this).Front()); }
    const T& Front() const {
        assert(!IsEmpty());
        return static_cast<Node*>(sentinel_->Next)->Payload;
    }
    T& Back() { return const_cast<T&>(std::as_const(*this).Back()); }
    const T& Back() const {
        assert(!IsEmpty());
        return static_cast<Node*>(sentinel_->Prev)->Payload;
    }

    // Insertions return the new node.
    Node* PushBack(const T& payload) { return InsertBefore(sentinel_, payload); }
    Node* PushFront(const T& payload) { return InsertBefore(sentinel_->Next, payload); }
    // `at` is a node of this list or its sentinel (which appends).
    Node* InsertBefore(ListNodeBase* at, const T& payload) {
        Node* node = new Node(payload);
        list_links::LinkAfter<ListNodeBase>(node, at->Prev);
        ++count_;
        ClearIndexCache();
        return node;
    }

    // Removing from an empty list, or a value that is not there, changes
    // nothing but still drops the index array.
    void PopBack() { RemoveIfElement(sentinel_->Prev); }
    void PopFront() { RemoveIfElement(sentinel_->Next); }
    // Removes the first node, from the front, whose payload equals `value`.
    bool RemoveValue(const T& value) { return RemoveIfElement(Find(value)); }
    // `node` must belong to this list.
    void RemoveNode(Node* node) {
        assert(node && node != sentinel_);
        RemoveIfElement(node);
    }
    // Removes the element at `index`; false (nothing removed) when out of range.
    bool RemoveAt(int32_t index) {
        return RemoveIfElement(index >= 0 && index < count_ ? NodeAt(index) : nullptr);
    }
    // Deletes every node.
    void Clear() {
        while (sentinel_->Next != sentinel_) {
            ListNodeBase* last = sentinel_->Prev;
            last->Unlink();
            delete last;
        }
        count_ = 0;
        ClearIndexCache();
    }
    // Moves `node` (of this list) directly after `after` (of this list, or the
    // sentinel to make it the first element).
    void MoveAfter(Node* node, ListNodeBase* after) {
        node->MoveAfter(after);
        ClearIndexCache();
    }

    // The first node whose payload equals `value`, or null.
    Node* Find(const T& value) const {
        for (ListNodeBase* n = sentinel_->Next; n != sentinel_; n = n->Next)
            if (static_cast<Node*>(n)->Payload == value) return static_cast<Node*>(n);
        return nullptr;
    }
    bool Contains(const T& value) const { return Find(value) != nullptr; }

    // The address of the payload at `index` (0 <= index < Count(), not checked
    // beyond a debug assertion), through the index array.
    T* At(int32_t index) { return const_cast<T*>(std::as_const(*this).At(index)); }
    const T* At(int32_t index) const {
        assert(index >= 0 && index < count_);
        if (!indexValid_) BuildIndex();
        return index_[index];
    }
    // Frees the index array; the next At() rebuilds it.
    void ClearIndexCache() const {
        MemFree(index_);
        index_ = nullptr;
        indexValid_ = false;
    }

    iterator begin() { return iterator(sentinel_->Next); }
    iterator end() { return iterator(sentinel_); }
    const_iterator begin() const { return const_iterator(sentinel_->Next); }
    const_iterator end() const { return const_iterator(sentinel_); }

private:
    void AppendAll(const List& other) {
        for (const T& payload : other) PushBack(payload);
    }
    Node* NodeAt(int32_t index) const {
        ListNodeBase* n = sentinel_->Next;
        while (index-- > 0) n = n->Next;
        return static_cast<Node*>(n);
    }
    // Unlinks and deletes `node` unless it is null or the sentinel; always
    // drops the index array. True when a node was removed.
    bool RemoveIfElement(ListNodeBase* node) {
        ClearIndexCache();
        if (!node || node == sentinel_) return false;
        node->Unlink();
        delete node;
        --count_;
        return true;
    }
    void BuildIndex() const {
        MemFree(index_);
        // One entry more than the count, as the array always had; it is never written.
        index_ = static_cast<T**>(MemAlloc((static_cast<size_t>(count_) + 1) * sizeof(T*)));
        T** out = index_;
        for (ListNodeBase* n = sentinel_->Next; n != sentinel_; n = n->Next) *out++ = &static_cast<Node*>(n)->Payload;
        indexValid_ = true;
    }

    ListNodeBase* sentinel_;
    int32_t count_ = 0;
    mutable T** index_ = nullptr;
    mutable bool indexValid_ = false;
};
