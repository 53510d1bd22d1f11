// The tool's own page, shown in place of a page whose process died, so the
// user sees what happened instead of a blank view.
#pragma once

#include <string>
#include <string_view>

namespace autolabel::app::gtk {

// HTML naming the lost address; it has no radio button, so the automatic
// mode's pass reloads the real page from it.
std::string CrashedPageHtml(std::string_view lostAddress);

}  // namespace autolabel::app::gtk
