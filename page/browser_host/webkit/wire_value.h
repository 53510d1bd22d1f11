// The wire form of a value and back: objects of the bridge travel as the
// page's handles, and no object of another connection crosses.
#pragma once

#include <memory>

#include "page/browser_host/value.h"
#include "page/browser_host/webkit/connection.h"
#include "page/browser_host/webkit/protocol.h"

namespace autolabel::browser_host::webkit {

bool ToWire(const Value& value, const Connection& connection, protocol::WireValue& out);
Value FromWire(protocol::WireValue&& wire, const std::shared_ptr<Connection>& connection);

}  // namespace autolabel::browser_host::webkit
