// Owns one GLib source attached to a main context; destroys it when replaced
// or destroyed, so no callback can run for a descriptor that is gone.
#pragma once

#include <glib-unix.h>
#include <glib.h>

#include <utility>

namespace autolabel::support::glib {

class UniqueSource {
  public:
    UniqueSource() noexcept = default;
    // Takes over a new source (one reference) and attaches it to the default context.
    explicit UniqueSource(GSource* source) noexcept : source_(source) {
        if (source_) g_source_attach(source_, nullptr);
    }
    UniqueSource(UniqueSource&& other) noexcept : source_(std::exchange(other.source_, nullptr)) {}
    UniqueSource& operator=(UniqueSource&& other) noexcept {
        if (this != &other) {
            Reset();
            source_ = std::exchange(other.source_, nullptr);
        }
        return *this;
    }
    UniqueSource(const UniqueSource&) = delete;
    UniqueSource& operator=(const UniqueSource&) = delete;
    ~UniqueSource() { Reset(); }

    explicit operator bool() const noexcept { return source_ != nullptr; }
    void Reset() noexcept {
        if (!source_) return;
        g_source_destroy(source_);
        g_source_unref(std::exchange(source_, nullptr));
    }

  private:
    GSource* source_ = nullptr;
};

// Calls `callback` from the main loop when `fd` shows one of `condition`.
inline UniqueSource WatchFd(int fd, GIOCondition condition, GUnixFDSourceFunc callback,
                            gpointer data) {
    GSource* source = g_unix_fd_source_new(fd, condition);
    g_source_set_callback(source, G_SOURCE_FUNC(callback), data, nullptr);
    return UniqueSource(source);
}

// Calls `callback` from the main loop every `intervalMs`, while it returns G_SOURCE_CONTINUE.
inline UniqueSource Every(guint intervalMs, GSourceFunc callback, gpointer data) {
    GSource* source = g_timeout_source_new(intervalMs);
    g_source_set_callback(source, callback, data, nullptr);
    return UniqueSource(source);
}

}  // namespace autolabel::support::glib
