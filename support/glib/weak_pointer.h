// A pointer to a GObject that someone else owns, nulled by GLib when the
// object is finalized: g_object_add_weak_pointer and its removal, paired.
#pragma once

#include <glib-object.h>

namespace autolabel::support::glib {

template <typename T>
class WeakPointer {
  public:
    WeakPointer() noexcept = default;
    explicit WeakPointer(T* object) noexcept { Reset(object); }
    WeakPointer(const WeakPointer&) = delete;
    WeakPointer& operator=(const WeakPointer&) = delete;
    ~WeakPointer() { Reset(); }

    void Reset(T* object = nullptr) noexcept {
        if (object_) g_object_remove_weak_pointer(G_OBJECT(object_), Slot());
        object_ = object;
        if (object_) g_object_add_weak_pointer(G_OBJECT(object_), Slot());
    }
    // Null once the object is gone.
    T* Get() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

  private:
    gpointer* Slot() noexcept { return reinterpret_cast<gpointer*>(&object_); }

    T* object_ = nullptr;
};

}  // namespace autolabel::support::glib
