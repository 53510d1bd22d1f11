// The page automation object's element lookup done where the document lives:
// one request to the page's process instead of a bridge call for every read.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "page/browser_host/dom_ref.h"

namespace autolabel::browser_host::webkit {

// For a document reached through the DOM bridge: the element the lookup finds,
// with `ordinal` moved on as the lookup moves it (-1 when nothing is found,
// also when the page's process fails to answer in time or is gone). nullopt,
// with `ordinal` untouched, when the page's process cannot make this walk
// exactly as the lookup would; the caller then makes it through the bridge.
std::optional<DomRef> FindElementInPage(const DomRef& document, std::string_view typeList,
                                        std::string_view identifier, std::int32_t skipCount,
                                        std::int32_t& ordinal);

}  // namespace autolabel::browser_host::webkit
