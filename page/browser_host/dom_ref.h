// The owning holder of one reference to a late-bound DOM object.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>

namespace autolabel::browser_host {

class DomObject;
class Value;

// Empty or one reference. Storing a new reference releases the old one; the
// destructor releases what is held. Every operation on an empty holder does
// nothing and yields empty / false, so callers can walk on without checks.
class DomRef {
  public:
    DomRef() noexcept = default;
    DomRef(const DomRef& other) noexcept;
    DomRef(DomRef&& other) noexcept;
    DomRef& operator=(const DomRef& other) noexcept;
    DomRef& operator=(DomRef&& other) noexcept;
    ~DomRef();

    // Takes over a reference the caller already owns.
    static DomRef Adopt(DomObject* object) noexcept;
    // Adds a reference of its own.
    static DomRef Share(DomObject* object) noexcept;

    void Reset() noexcept;
    DomObject* Get() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    bool operator==(const DomRef& other) const noexcept { return object_ == other.object_; }

    // Late-bound access. A failed read or call gives an empty value.
    Value Read(std::string_view member) const;
    bool Write(std::string_view member, const Value& value) const;
    Value Call(std::string_view method, std::initializer_list<Value> arguments = {}) const;
    // As Call, but tells whether the call could be made at all.
    bool TryCall(std::string_view method, std::span<const Value> arguments, Value& result) const;

  private:
    DomObject* object_ = nullptr;
};

}  // namespace autolabel::browser_host
