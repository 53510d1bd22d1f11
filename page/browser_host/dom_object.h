// A late-bound, reference-counted DOM object: the shape of IDispatch the tool uses.
#pragma once

#include <atomic>
#include <span>
#include <string_view>

#include "page/browser_host/ascii_case.h"
#include "page/browser_host/value.h"

namespace autolabel::browser_host {

// Member names are matched without regard to case. Nothing throws: each
// operation tells whether the member could be reached, and leaves `result`
// empty when it could not. Hold objects in a DomRef, never by raw pointer.
class DomObject {
  public:
    DomObject(const DomObject&) = delete;
    DomObject& operator=(const DomObject&) = delete;

    virtual void AddRef() noexcept = 0;
    virtual void Release() noexcept = 0;

    virtual bool ReadMember(std::string_view name, Value& result) noexcept = 0;
    virtual bool WriteMember(std::string_view name, const Value& value) noexcept = 0;
    virtual bool CallMethod(std::string_view name, std::span<const Value> arguments,
                            Value& result) noexcept = 0;

  protected:
    DomObject() = default;
    virtual ~DomObject() = default;
};

// The common case: a plain counter that deletes the object at zero.
class RefCountedDomObject : public DomObject {
  public:
    void AddRef() noexcept override { count_.fetch_add(1, std::memory_order_relaxed); }
    void Release() noexcept override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

  protected:
    RefCountedDomObject() = default;  // starts with one reference, for DomRef::Adopt

  private:
    std::atomic<long> count_{1};
};

// Case-insensitive comparison of ASCII member names.
constexpr bool SameMemberName(std::string_view a, std::string_view b) noexcept {
    return EqualsIgnoringAsciiCase(a, b);
}

}  // namespace autolabel::browser_host
