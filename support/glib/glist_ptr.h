// An owning GList: frees the list itself, not what its items point to (the
// "transfer container" results of GTK, such as a container's children).
#pragma once

#include <glib.h>

#include <memory>

namespace autolabel::support::glib {

struct GListFree {
    void operator()(GList* list) const noexcept { g_list_free(list); }
};
using GListPtr = std::unique_ptr<GList, GListFree>;

}  // namespace autolabel::support::glib
