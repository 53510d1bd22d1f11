#include "page/browser_host/value.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "page/browser_host/dom_object.h"

namespace autolabel::browser_host {

Value Value::Object(DomRef object) {
    if (!object) return Value();
    return Value(std::move(object));
}

std::string Value::ToText() const {
    switch (kind()) {
        case Kind::Empty:
        case Kind::Object:
            return {};
        case Kind::Boolean:
            return std::get<bool>(data_) ? "true" : "false";
        case Kind::Int32:
            return std::to_string(std::get<std::int32_t>(data_));
        case Kind::Double: {
            char buffer[64];
            auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::get<double>(data_));
            return ec == std::errc() ? std::string(buffer, end) : std::string();
        }
        case Kind::Text:
            return std::get<std::string>(data_);
    }
    return {};
}

double Value::ToNumber() const {
    switch (kind()) {
        case Kind::Boolean:
            return std::get<bool>(data_) ? 1.0 : 0.0;
        case Kind::Int32:
            return std::get<std::int32_t>(data_);
        case Kind::Double:
            return std::get<double>(data_);
        case Kind::Text:
            return ReadDecimal(std::get<std::string>(data_));
        default:
            return 0.0;
    }
}

std::int32_t Value::ToInt32() const { return TruncateToInt32(ToNumber()); }

bool Value::ToBoolean() const {
    switch (kind()) {
        case Kind::Boolean:
            return std::get<bool>(data_);
        case Kind::Int32:
            return std::get<std::int32_t>(data_) != 0;
        case Kind::Double:
            return std::get<double>(data_) != 0.0;
        case Kind::Text:
            return !std::get<std::string>(data_).empty();
        case Kind::Object:
            return true;
        default:
            return false;
    }
}

DomRef Value::ToObject() const {
    if (const DomRef* object = std::get_if<DomRef>(&data_)) return *object;
    return DomRef();
}

double ReadDecimal(std::string_view text) noexcept {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    bool negative = false;
    if (begin != end && (*begin == '-' || *begin == '+')) {
        negative = *begin == '-';
        ++begin;
    }
    // Digits and a fraction only: from_chars in fixed format takes no
    // exponent or hexadecimal, and the check here keeps out "inf" and "nan".
    if (begin == end || !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '.'))
        return 0.0;
    double number = 0.0;
    auto [stop, ec] = std::from_chars(begin, end, number, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Beyond a double: huge when a non-zero digit precedes the point,
        // otherwise a fraction too small to tell from 0.
        bool huge = false;
        for (const char* p = begin; p != stop && *p != '.'; ++p) huge = huge || *p != '0';
        number = huge ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        return 0.0;
    }
    return negative ? -number : number;
}

std::int32_t TruncateToInt32(double number) noexcept {
    if (std::isnan(number)) return 0;
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (number <= kMin) return std::numeric_limits<std::int32_t>::min();
    if (number >= kMax) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::trunc(number));
}

}  // namespace autolabel::browser_host
