// One handler connected to a signal of a GObject, disconnected when the
// holder goes, unless the object went first (a widget destroyed with its
// window): connecting and disconnecting, paired.
#pragma once

#include <glib-object.h>

#include <utility>

#include "support/glib/weak_pointer.h"

namespace autolabel::support::glib {

class SignalConnection {
  public:
    SignalConnection() noexcept = default;
    SignalConnection(gpointer instance, const char* signal, GCallback handler, gpointer data,
                     GConnectFlags flags = static_cast<GConnectFlags>(0)) noexcept
        : instance_(G_OBJECT(instance)),
          id_(g_signal_connect_data(instance, signal, handler, data, nullptr, flags)) {}
    SignalConnection(SignalConnection&& other) noexcept
        : instance_(other.instance_.Get()), id_(std::exchange(other.id_, 0)) {
        other.instance_.Reset();
    }
    SignalConnection& operator=(SignalConnection&& other) noexcept {
        if (this == &other) return *this;
        Disconnect();
        instance_.Reset(other.instance_.Get());
        id_ = std::exchange(other.id_, 0);
        other.instance_.Reset();
        return *this;
    }
    ~SignalConnection() { Disconnect(); }

    void Disconnect() noexcept {
        if (instance_ && id_) g_signal_handler_disconnect(instance_.Get(), id_);
        instance_.Reset();
        id_ = 0;
    }

  private:
    WeakPointer<GObject> instance_;
    gulong id_ = 0;
};

}  // namespace autolabel::support::glib
