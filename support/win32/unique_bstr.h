// An owning BSTR, freed by the holder.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

#include "support/win32/utf16.h"

namespace autolabel::support::win32 {

// The text of a BSTR, which carries its own length; a null BSTR is the empty text.
inline std::wstring_view BstrView(BSTR bstr) noexcept {
    return bstr ? std::wstring_view(bstr, ::SysStringLen(bstr)) : std::wstring_view();
}

inline std::string BstrToUtf8(BSTR bstr) { return WideToUtf8(BstrView(bstr)); }

class UniqueBstr {
  public:
    UniqueBstr() noexcept = default;
    explicit UniqueBstr(std::wstring_view text) noexcept
        : bstr_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        if (this != &other) {
            Reset();
            bstr_ = std::exchange(other.bstr_, nullptr);
        }
        return *this;
    }
    ~UniqueBstr() { Reset(); }

    // Takes over a BSTR the caller owns.
    static UniqueBstr Adopt(BSTR bstr) noexcept {
        UniqueBstr result;
        result.bstr_ = bstr;
        return result;
    }

    void Reset() noexcept {
        if (BSTR old = std::exchange(bstr_, nullptr)) ::SysFreeString(old);
    }
    [[nodiscard]] BSTR Detach() noexcept { return std::exchange(bstr_, nullptr); }
    BSTR Get() const noexcept { return bstr_; }
    BSTR* Put() noexcept {
        Reset();
        return &bstr_;
    }
    std::wstring_view View() const noexcept { return BstrView(bstr_); }

  private:
    BSTR bstr_ = nullptr;
};

}  // namespace autolabel::support::win32
