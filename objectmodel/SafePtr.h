#pragma once

// DS_SafePtr<T>: the shared handle through which scene objects share
// sub-objects (particle records, routines, path points, tree nodes, cursors).
// Several handles refer to one count block {object, count}; the release that
// brings the count to zero deletes the object (through its virtual destructor
// when T has one) and then the block. Counts are plain integers: a handle is
// used by one thread at a time.

#include <cstddef>
#include <memory>
#include <utility>

template <class T>
class DS_SafePtr {
public:
    // The count block several handles share. `object` may be null: some
    // owners keep an empty block {null, 1} of their own.
    struct Block {
        T* object = nullptr;
        int count = 1;
    };

    DS_SafePtr() = default;
    DS_SafePtr(std::nullptr_t) {}

    // Takes ownership of `object` in a new block {object, 1}.
    explicit DS_SafePtr(T* object) { MakeSafePtrBlock(object); }

    DS_SafePtr(const DS_SafePtr& other) : m_block(other.m_block) { AddRef(); }
    DS_SafePtr(DS_SafePtr&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}

    DS_SafePtr& operator=(const DS_SafePtr& other)
    {
        if (m_block == other.m_block)
            return *this;
        Release();
        m_block = other.m_block;
        AddRef();
        return *this;
    }

    DS_SafePtr& operator=(DS_SafePtr&& other) noexcept
    {
        if (m_block == other.m_block)
            return *this;
        Release();
        m_block = std::exchange(other.m_block, nullptr);
        return *this;
    }

    DS_SafePtr& operator=(std::nullptr_t)
    {
        Release();
        return *this;
    }

    ~DS_SafePtr() { Release(); }

    // Releases what the handle held and takes ownership of `object` in a new
    // block {object, 1}.
    void MakeSafePtrBlock(T* object)
    {
        std::unique_ptr<T> owned(object); // deleted if the block cannot be made
        Block* fresh = new Block{object, 1};
        owned.release();
        Release();
        m_block = fresh;
    }

    // Releases what the handle held and gives it an empty block {null, 1}.
    void NewEmptySafePtrBlock() { MakeSafePtrBlock(nullptr); }

    // Count - 1; the release that reaches zero (or below) deletes the object
    // and the block. The handle is null afterwards in every case, so one
    // handle cannot release twice.
    void Release()
    {
        Block* block = std::exchange(m_block, nullptr);
        if (!block)
            return;
        if (--block->count > 0)
            return;
        DeleteBlock(block);
    }

    T* get() const { return m_block ? m_block->object : nullptr; }
    T* operator->() const { return get(); }
    T& operator*() const { return *get(); }
    explicit operator bool() const { return get() != nullptr; }

    // Both a null handle and a handle on an empty block hold no object.
    bool IsEmpty() const { return get() == nullptr; }
    bool IsNull() const { return m_block == nullptr; }

    // Number of handles sharing the block (0 for a null handle).
    int UseCount() const { return m_block ? m_block->count : 0; }

    bool SharesBlockWith(const DS_SafePtr& other) const { return m_block == other.m_block; }

    // Handles are equal when they refer to the same object (two empty
    // handles are equal); SharesBlockWith tells whether they share a block.
    friend bool operator==(const DS_SafePtr& a, const DS_SafePtr& b) { return a.get() == b.get(); }

private:
    // Kept out of line: inlined into callers, the delete makes GCC warn about
    // other handles on the same block although their count keeps it alive.
    [[gnu::noinline]] static void DeleteBlock(Block* block)
    {
        delete block->object;
        delete block;
    }

    void AddRef()
    {
        if (m_block)
            ++m_block->count;
    }

    Block* m_block = nullptr;
};

// Builds a handle on a new object: the usual way to make a shared sub-object.
template <class T, class... Args>
DS_SafePtr<T> MakeSafePtr(Args&&... args)
{
    return DS_SafePtr<T>(new T(std::forward<Args>(args)...));
}
