// Owns one file descriptor; closes it when replaced or destroyed.
#pragma once

#include <unistd.h>

#include "support/unique_any.h"

namespace autolabel::support::glib {

struct FdTraits {
    using Type = int;
    static int None() noexcept { return -1; }
    static bool IsNone(int fd) noexcept { return fd < 0; }
    static void Close(int fd) noexcept { ::close(fd); }
};
using UniqueFd = UniqueAny<FdTraits>;

}  // namespace autolabel::support::glib
