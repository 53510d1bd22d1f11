// The page automation object of the Linux window. Its element lookup is
// walked inside the page's process, in one request, which makes the same reads
// in the same order as the core's walk and gives the same result; the core's
// walk, through the bridge read by read, remains for what that cannot carry.
#pragma once

#include <memory>

#include "page/page_automation.h"

namespace autolabel::app::gtk {

class WebKitPageAutomation final : public automation::PageAutomation {
  public:
    using PageAutomation::PageAutomation;

    browser_host::DomRef FindElement(std::string_view typeList, std::string_view identifier,
                                     std::int32_t skipCount, std::int32_t& ordinal) override;
};

// What the Linux program's start sequence creates as its `page`.
std::unique_ptr<automation::PageAutomation> MakePageAutomation(browser_host::Platform& platform);

}  // namespace autolabel::app::gtk
