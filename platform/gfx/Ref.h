#pragma once
// Reference counting in the COM manner for device objects (textures, surfaces,
// buffers, programs). An object starts with one reference owned by whoever
// created it; Release() of the last reference deletes it. `Ref<T>` holds one
// reference and gives it back when it goes away, so callers may use either the
// raw AddRef/Release pair or the smart pointer.

#include <cstdint>
#include <utility>

namespace gfx {

class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    // Virtual so that a sub-object (a texture's level surface) can share the
    // count of the object that contains it, as Direct3D's surfaces do.
    virtual std::uint32_t AddRef() { return ++references_; }
    virtual std::uint32_t Release()
    {
        const std::uint32_t left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    std::uint32_t ReferenceCount() const { return references_; }

protected:
    virtual ~RefCounted() = default;

private:
    std::uint32_t references_ = 1;
};

template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    // Takes a new reference to `object`.
    explicit Ref(T* object) : object_(object)
    {
        if (object_)
            object_->AddRef();
    }
    Ref(const Ref& other) : Ref(other.object_) {}
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    template <typename U>
    Ref(const Ref<U>& other) : Ref(other.Get())
    {
    }
    ~Ref() { Reset(); }

    Ref& operator=(Ref other) noexcept
    {
        std::swap(object_, other.object_);
        return *this;
    }

    // Wraps the reference that a factory handed out, without adding one.
    static Ref Adopt(T* object)
    {
        Ref ref;
        ref.object_ = object;
        return ref;
    }
    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(object_, nullptr); }

    void Reset()
    {
        if (T* object = std::exchange(object_, nullptr))
            object->Release();
    }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) { return a.object_ == b.object_; }
    friend bool operator==(const Ref& a, std::nullptr_t) { return a.object_ == nullptr; }

private:
    T* object_ = nullptr;
};

} // namespace gfx
