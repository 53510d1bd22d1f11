// An owning reference to a GObject (JSC values, contexts, widgets we keep).
#pragma once

#include <glib-object.h>

#include <memory>

namespace autolabel::support::glib {

struct GObjectUnref {
    void operator()(gpointer object) const noexcept { g_object_unref(object); }
};

template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Takes over a reference the caller owns (a "transfer full" result).
template <typename T>
GObjectPtr<T> Adopt(T* object) noexcept {
    return GObjectPtr<T>(object);
}

// Adds a reference of its own.
template <typename T>
GObjectPtr<T> Share(T* object) noexcept {
    return GObjectPtr<T>(object ? static_cast<T*>(g_object_ref(object)) : nullptr);
}

}  // namespace autolabel::support::glib
