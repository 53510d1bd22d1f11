#include "page/browser_host/webkit/element_walk.h"

#include "page/browser_host/value.h"
#include "page/browser_host/webkit/bridge_object.h"
#include "page/browser_host/webkit/wire_value.h"

namespace autolabel::browser_host::webkit {

std::optional<DomRef> FindElementInPage(const DomRef& document, std::string_view typeList,
                                        std::string_view identifier, std::int32_t skipCount,
                                        std::int32_t& ordinal) {
    const auto* bridged = dynamic_cast<const BridgeObject*>(document.Get());
    if (!bridged) return std::nullopt;
    const protocol::ElementQuery query{std::string(typeList), std::string(identifier), skipCount,
                                       ordinal, TruncateToInt32(ReadDecimal(identifier))};
    const std::shared_ptr<Connection>& connection = bridged->sharedConnection();
    protocol::ElementAnswer answer;
    if (!connection->FindElement(bridged->handle(), query, answer)) {
        // No answer: what the walk through the bridge finds then, nothing.
        ordinal = -1;
        return DomRef();
    }
    if (!answer.walked) return std::nullopt;
    ordinal = answer.ordinal;
    return FromWire(std::move(answer.element), connection).ToObject();
}

}  // namespace autolabel::browser_host::webkit
