// An owning BSTR, freed by the holder.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace autolabel::browser_host::win32 {

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
    // A null BSTR is the empty text.
    std::wstring_view View() const noexcept {
        return bstr_ ? std::wstring_view(bstr_, ::SysStringLen(bstr_)) : std::wstring_view();
    }

  private:
    BSTR bstr_ = nullptr;
};

}  // namespace autolabel::browser_host::win32
