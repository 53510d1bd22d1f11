// One owning holder for any resource that is a plain value with a "none"
// (a descriptor, a handle, a BSTR, a VARIANT): the traits say what none is
// and how to close one. Move-only; closing happens on reset, replacement
// and destruction, never twice.
#pragma once

#include <utility>

namespace autolabel::support {

// Traits: `using Type = ...;`, `static Type None() noexcept`, `static bool
// IsNone(const Type&) noexcept` and `static void Close(Type&) noexcept`.
template <typename Traits>
class UniqueAny {
  public:
    using Type = typename Traits::Type;

    UniqueAny() noexcept = default;
    // Takes over a resource the caller owns.
    explicit UniqueAny(Type value) noexcept : value_(std::move(value)) {}
    UniqueAny(UniqueAny&& other) noexcept : value_(other.Release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { Reset(); }

    // Closes what is held and takes `value` (none by default).
    void Reset(Type value = Traits::None()) noexcept {
        Type old = std::exchange(value_, std::move(value));
        if (!Traits::IsNone(old)) Traits::Close(old);
    }
    // Hands the resource to the caller, who then closes it.
    [[nodiscard]] Type Release() noexcept { return std::exchange(value_, Traits::None()); }

    const Type& Get() const noexcept { return value_; }
    // For out-parameters: closes what is held and gives the slot to fill.
    Type* Put() noexcept {
        Reset();
        return &value_;
    }
    explicit operator bool() const noexcept { return !Traits::IsNone(value_); }

  protected:
    Type& Value() noexcept { return value_; }

  private:
    Type value_ = Traits::None();
};

}  // namespace autolabel::support
