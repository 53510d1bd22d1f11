// An owning VARIANT, cleared by the holder (which releases what it carries).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace autolabel::support::win32 {

class UniqueVariant {
  public:
    UniqueVariant() noexcept { ::VariantInit(&variant_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    UniqueVariant(UniqueVariant&& other) noexcept : variant_(other.variant_) {
        ::VariantInit(&other.variant_);
    }
    UniqueVariant& operator=(UniqueVariant&& other) noexcept {
        if (this != &other) {
            Reset();
            variant_ = other.variant_;
            ::VariantInit(&other.variant_);
        }
        return *this;
    }
    ~UniqueVariant() { Reset(); }

    void Reset() noexcept {
        ::VariantClear(&variant_);
        ::VariantInit(&variant_);
    }
    VARIANT* Get() noexcept { return &variant_; }
    const VARIANT* Get() const noexcept { return &variant_; }
    // For out-parameters: clears what is held and gives the slot to fill.
    VARIANT* Put() noexcept {
        Reset();
        return &variant_;
    }
    VARTYPE Type() const noexcept { return variant_.vt; }

  private:
    VARIANT variant_;
};

}  // namespace autolabel::support::win32
