// An owning GDI brush, deleted by the holder.
#pragma once

#include <windows.h>

#include "support/unique_any.h"

namespace autolabel::support::win32 {

struct BrushTraits {
    using Type = HBRUSH;
    static HBRUSH None() noexcept { return nullptr; }
    static bool IsNone(HBRUSH brush) noexcept { return brush == nullptr; }
    static void Close(HBRUSH brush) noexcept { ::DeleteObject(brush); }
};
using UniqueBrush = UniqueAny<BrushTraits>;

}  // namespace autolabel::support::win32
