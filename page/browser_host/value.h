// A value crossing the DOM boundary: what a VARIANT can carry that the tool uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "page/browser_host/dom_ref.h"

namespace autolabel::browser_host {

class Value {
  public:
    enum class Kind { Empty, Boolean, Int32, Double, Text, Object };

    Value() = default;
    static Value Boolean(bool b) { return Value(b); }
    static Value Int32(std::int32_t i) { return Value(i); }
    static Value Double(double d) { return Value(d); }
    static Value Text(std::string text) { return Value(std::move(text)); }
    static Value Object(DomRef object);

    Kind kind() const { return static_cast<Kind>(data_.index()); }
    bool IsEmpty() const { return kind() == Kind::Empty; }

    // Conversions never fail: empty gives "", 0, false or an empty holder.
    std::string ToText() const;    // numbers in decimal, booleans "true"/"false"
    double ToNumber() const;       // text by its decimal reading
    std::int32_t ToInt32() const;  // ToNumber truncated toward zero, clamped
    bool ToBoolean() const;        // non-zero number, non-empty text, an object
    DomRef ToObject() const;       // empty unless an object

    bool operator==(const Value& other) const = default;

  private:
    using Data = std::variant<std::monostate, bool, std::int32_t, double, std::string, DomRef>;
    template <typename T>
    explicit Value(T&& v) : data_(std::forward<T>(v)) {}
    Data data_;
};

// The decimal reading of a text: an optional sign, digits and a fraction, read
// from the start; anything else ends the reading, and a text without digits
// reads as 0. Overlong digit strings read as +/-infinity rather than fail.
double ReadDecimal(std::string_view text) noexcept;

// Truncates toward zero and clamps to the signed 32-bit range (NaN gives 0),
// so no reading of an outside text is undefined behaviour.
std::int32_t TruncateToInt32(double number) noexcept;

}  // namespace autolabel::browser_host
