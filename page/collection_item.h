// The element at a position of a DOM collection, asked the way every host's
// collections take it.
#pragma once

#include <cstdint>

#include "page/browser_host/dom_ref.h"

namespace autolabel::automation {

// collection.item(index), for a position below the collection's length.
// The position goes as a double. A collection whose documented index is an
// integer or a text may refuse that, or answer it with nothing (it answers
// S_OK for an element it does not find): it is asked once more with a
// 32-bit integer.
browser_host::DomRef ItemOf(const browser_host::DomRef& collection, std::int32_t index);

}  // namespace autolabel::automation
