// Owners of GLib main-loop sources: one attached GSource, or one source id
// from g_timeout_add and its kin. Each removes its source when replaced or
// destroyed, so no callback runs for what is gone.
#pragma once

#include <glib-unix.h>
#include <glib.h>

#include "support/unique_any.h"

namespace autolabel::support::glib {

struct SourceTraits {
    using Type = GSource*;
    static GSource* None() noexcept { return nullptr; }
    static bool IsNone(GSource* source) noexcept { return source == nullptr; }
    static void Close(GSource* source) noexcept {
        g_source_destroy(source);
        g_source_unref(source);
    }
};
using UniqueSource = UniqueAny<SourceTraits>;

struct SourceIdTraits {
    using Type = guint;
    static guint None() noexcept { return 0; }
    static bool IsNone(guint id) noexcept { return id == 0; }
    static void Close(guint id) noexcept { g_source_remove(id); }
};
// A source id whose callback may end the source itself (returning
// G_SOURCE_REMOVE) calls Release() there, so the holder does not remove it again.
using UniqueSourceId = UniqueAny<SourceIdTraits>;

// Takes over a new source (one reference) and attaches it to the default context.
inline UniqueSource Attach(GSource* source) noexcept {
    if (source) g_source_attach(source, nullptr);
    return UniqueSource(source);
}

// Calls `callback` from the main loop when `fd` shows one of `condition`.
inline UniqueSource WatchFd(int fd, GIOCondition condition, GUnixFDSourceFunc callback,
                            gpointer data) {
    GSource* source = g_unix_fd_source_new(fd, condition);
    g_source_set_callback(source, G_SOURCE_FUNC(callback), data, nullptr);
    return Attach(source);
}

// Calls `callback` from the main loop every `intervalMs`, while it returns G_SOURCE_CONTINUE.
inline UniqueSource Every(guint intervalMs, GSourceFunc callback, gpointer data) {
    GSource* source = g_timeout_source_new(intervalMs);
    g_source_set_callback(source, callback, data, nullptr);
    return Attach(source);
}

}  // namespace autolabel::support::glib
