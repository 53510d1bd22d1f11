// Ticking a radio button chosen by number, name, id or title.
#include <array>

#include "page/browser_host/value.h"
#include "page/page_automation.h"

namespace autolabel::automation {

using browser_host::DomRef;

using browser_host::Value;

DomRef PageAutomation::FindRadio(std::string_view identifier, std::int32_t skipCount) {
    std::int32_t ordinal = 0;
    return FindElement("radio", identifier, skipCount, ordinal);
}

bool PageAutomation::SelectRadio(std::string_view identifier, std::int32_t skipCount,
                                 bool fireMouseDown) {
    DomRef element = FindRadio(identifier, skipCount);
    element.Write("checked", Value::Text("checked"));
    if (fireMouseDown) FireElementEvent(element, "onmousedown");
    return static_cast<bool>(element);
}

bool PageAutomation::FireElementEvent(const DomRef& element, std::string_view eventName) {
    Value handler = element.Read(eventName);
    Value fired;
    if (!element.TryCall("FireEvent", std::array{Value::Text(std::string(eventName)), handler},
                         fired))
        return false;
    return fired.ToBoolean();
}

}  // namespace autolabel::automation
