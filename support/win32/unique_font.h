// An owning GDI font, deleted by the holder.
#pragma once

#include <windows.h>

#include "support/unique_any.h"

namespace autolabel::support::win32 {

struct FontTraits {
    using Type = HFONT;
    static HFONT None() noexcept { return nullptr; }
    static bool IsNone(HFONT font) noexcept { return font == nullptr; }
    static void Close(HFONT font) noexcept { ::DeleteObject(font); }
};
using UniqueFont = UniqueAny<FontTraits>;

}  // namespace autolabel::support::win32
