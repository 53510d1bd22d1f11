// An owning COM interface pointer: one reference, released by the holder.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace autolabel::support::win32 {

template <typename T>
class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_) { AddRefHeld(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller owns.
    static ComPtr Adopt(T* pointer) noexcept {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }
    // Adds a reference of its own.
    static ComPtr Share(T* pointer) noexcept {
        ComPtr result;
        result.pointer_ = pointer;
        result.AddRefHeld();
        return result;
    }

    void Reset() noexcept {
        if (T* old = std::exchange(pointer_, nullptr)) old->Release();
    }
    // Hands the reference to the caller.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(pointer_, nullptr); }

    T* Get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // For out-parameters: releases what is held and gives the slot to fill.
    T** Put() noexcept {
        Reset();
        return &pointer_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // Another interface of the same object; empty when it has none.
    template <typename U>
    ComPtr<U> Query() const noexcept {
        ComPtr<U> result;
        if (pointer_) pointer_->QueryInterface(__uuidof(U), result.PutVoid());
        return result;
    }

  private:
    void AddRefHeld() noexcept {
        if (pointer_) pointer_->AddRef();
    }

    T* pointer_ = nullptr;
};

}  // namespace autolabel::support::win32
