// An owning VARIANT, cleared by the holder (which releases what it carries).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "support/unique_any.h"

namespace autolabel::support::win32 {

struct VariantTraits {
    using Type = VARIANT;
    static VARIANT None() noexcept {
        VARIANT empty;
        ::VariantInit(&empty);
        return empty;
    }
    static bool IsNone(const VARIANT& variant) noexcept { return variant.vt == VT_EMPTY; }
    static void Close(VARIANT& variant) noexcept { ::VariantClear(&variant); }
};

// Get() gives the VARIANT's address, as the COM calls that read one take it.
class UniqueVariant : public UniqueAny<VariantTraits> {
  public:
    using UniqueAny::UniqueAny;
    VARIANT* Get() noexcept { return &Value(); }
    const VARIANT* Get() const noexcept { return &UniqueAny::Get(); }
    VARTYPE Type() const noexcept { return UniqueAny::Get().vt; }
};

}  // namespace autolabel::support::win32
