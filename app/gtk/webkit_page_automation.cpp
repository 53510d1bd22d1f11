#include "app/gtk/webkit_page_automation.h"

#include "page/browser_host/webkit/element_walk.h"

namespace autolabel::app::gtk {

browser_host::DomRef WebKitPageAutomation::FindElement(std::string_view typeList,
                                                       std::string_view identifier,
                                                       std::int32_t skipCount,
                                                       std::int32_t& ordinal) {
    if (auto found = browser_host::webkit::FindElementInPage(pageDocument, typeList, identifier,
                                                             skipCount, ordinal))
        return std::move(*found);
    return PageAutomation::FindElement(typeList, identifier, skipCount, ordinal);
}

std::unique_ptr<automation::PageAutomation> MakePageAutomation(browser_host::Platform& platform) {
    return std::make_unique<WebKitPageAutomation>(platform);
}

}  // namespace autolabel::app::gtk
