#include "page/browser_host/webkit/wire_value.h"

#include "page/browser_host/webkit/bridge_object.h"

namespace autolabel::browser_host::webkit {

namespace p = protocol;

bool ToWire(const Value& value, const Connection& connection, p::WireValue& out) {
    out = p::WireValue{};
    switch (value.kind()) {
        case Value::Kind::Empty:
            return true;
        case Value::Kind::Boolean:
            out.kind = p::WireValue::Kind::Boolean;
            out.boolean = value.ToBoolean();
            return true;
        case Value::Kind::Int32:
            out.kind = p::WireValue::Kind::Int32;
            out.int32 = value.ToInt32();
            return true;
        case Value::Kind::Double:
            out.kind = p::WireValue::Kind::Double;
            out.number = value.ToNumber();
            return true;
        case Value::Kind::Text:
            out = p::WireValue::Text(value.ToText());
            return true;
        case Value::Kind::Object: {
            const DomRef object = value.ToObject();
            const auto* bridged = dynamic_cast<const BridgeObject*>(object.Get());
            if (!bridged || bridged->connection() != &connection) return false;
            out = p::WireValue::Object(bridged->handle());
            return true;
        }
    }
    return false;
}

Value FromWire(p::WireValue&& wire, const std::shared_ptr<Connection>& connection) {
    switch (wire.kind) {
        case p::WireValue::Kind::Empty:
            return Value();
        case p::WireValue::Kind::Boolean:
            return Value::Boolean(wire.boolean);
        case p::WireValue::Kind::Int32:
            return Value::Int32(wire.int32);
        case p::WireValue::Kind::Double:
            return Value::Double(wire.number);
        case p::WireValue::Kind::Text:
            return Value::Text(std::move(wire.text));
        case p::WireValue::Kind::Object:
            return Value::Object(DomRef::Adopt(new BridgeObject(connection, wire.handle)));
    }
    return Value();
}

}  // namespace autolabel::browser_host::webkit
