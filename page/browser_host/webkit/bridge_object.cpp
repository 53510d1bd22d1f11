#include "page/browser_host/webkit/bridge_object.h"

#include <vector>

#include "page/browser_host/value.h"
#include "page/browser_host/webkit/wire_value.h"

namespace autolabel::browser_host::webkit {

namespace p = protocol;

BridgeObject::~BridgeObject() { connection_->QueueRelease(handle_); }

bool BridgeObject::ReadMember(std::string_view name, Value& result) noexcept {
    result = Value();
    p::WireValue reply;
    if (!connection_->Read(handle_, name, reply)) return false;
    result = FromWire(std::move(reply), connection_);
    return true;
}

bool BridgeObject::WriteMember(std::string_view name, const Value& value) noexcept {
    p::WireValue wire;
    return ToWire(value, *connection_, wire) && connection_->Write(handle_, name, wire);
}

bool BridgeObject::CallMethod(std::string_view name, std::span<const Value> arguments,
                              Value& result) noexcept {
    result = Value();
    std::vector<p::WireValue> wire(arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i)
        if (!ToWire(arguments[i], *connection_, wire[i])) return false;
    p::WireValue reply;
    if (!connection_->Call(handle_, name, wire, reply)) return false;
    result = FromWire(std::move(reply), connection_);
    return true;
}

}  // namespace autolabel::browser_host::webkit
