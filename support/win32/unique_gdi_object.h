// Owning GDI objects (fonts, brushes), deleted by the holder.
#pragma once

#include <windows.h>

#include "support/unique_any.h"

namespace autolabel::support::win32 {

template <typename Handle>
struct GdiObjectTraits {
    using Type = Handle;
    static Handle None() noexcept { return nullptr; }
    static bool IsNone(Handle object) noexcept { return object == nullptr; }
    static void Close(Handle object) noexcept { ::DeleteObject(object); }
};
using UniqueFont = UniqueAny<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueAny<GdiObjectTraits<HBRUSH>>;

}  // namespace autolabel::support::win32
