// Pressing a button-like control of the page.
#include "page/browser_host/value.h"
#include "page/page_automation.h"

namespace autolabel::automation {

using browser_host::DomRef;

DomRef PageAutomation::FindButton(std::string_view identifier, std::int32_t skipCount) {
    std::int32_t ordinal = 0;
    return FindElement("button|submit|reset", identifier, skipCount, ordinal);
}

bool PageAutomation::ClickButton(std::string_view identifier, std::int32_t skipCount) {
    DomRef element = FindButton(identifier, skipCount);
    if (!element) return false;
    // Whatever the page does with the click is its own affair; a call that
    // could not be made at all (a dead element, a lost page) is no press.
    browser_host::Value ignored;
    return element.TryCall("click", {}, ignored);
}

}  // namespace autolabel::automation
