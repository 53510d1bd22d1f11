// An owning BSTR, freed by the holder.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "support/unique_any.h"
#include "support/win32/utf16.h"

namespace autolabel::support::win32 {

// The text of a BSTR, which carries its own length; a null BSTR is the empty text.
inline std::wstring_view BstrView(BSTR bstr) noexcept {
    return bstr ? std::wstring_view(bstr, ::SysStringLen(bstr)) : std::wstring_view();
}

inline std::string BstrToUtf8(BSTR bstr) { return WideToUtf8(BstrView(bstr)); }

struct BstrTraits {
    using Type = BSTR;
    static BSTR None() noexcept { return nullptr; }
    static bool IsNone(BSTR bstr) noexcept { return bstr == nullptr; }
    static void Close(BSTR bstr) noexcept { ::SysFreeString(bstr); }
};

class UniqueBstr : public UniqueAny<BstrTraits> {
  public:
    using UniqueAny::UniqueAny;
    // Text is not a BSTR to take over (SysFreeString would free it): From.
    explicit UniqueBstr(const wchar_t*) = delete;
    // A new BSTR holding `text`.
    static UniqueBstr From(std::wstring_view text) noexcept {
        return UniqueBstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    }
    std::wstring_view View() const noexcept { return BstrView(Get()); }
};

}  // namespace autolabel::support::win32
