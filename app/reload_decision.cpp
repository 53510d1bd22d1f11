#include "app/reload_decision.h"

namespace autolabel::app {

ReloadDecision DecideReload(const ShownPage& page) {
    using Kind = ReloadDecision::Kind;
    if (!page.standsInFor.empty()) return {Kind::GoTo, page.standsInFor};
    if (!page.fromForm) return {Kind::ReloadCompletely, {}};
    if (page.address.empty()) return {Kind::Nothing, {}};
    return {Kind::GoTo, page.address};
}

}  // namespace autolabel::app
