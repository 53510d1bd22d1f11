#include "page/browser_host/value.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "page/browser_host/dom_object.h"

namespace autolabel::browser_host {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

std::int32_t Number(std::string_view text) { return TruncateToInt32(ReadDecimal(text)); }

TEST(DecimalReading, PlainIntegersAndFractionsTruncateTowardZero) {
    EXPECT_EQ(Number("2"), 2);
    EXPECT_EQ(Number("14"), 14);
    EXPECT_EQ(Number("2.5"), 2);
    EXPECT_EQ(Number("2.999"), 2);
    EXPECT_EQ(Number("-2.5"), -2);
    EXPECT_EQ(Number("+7"), 7);
    EXPECT_EQ(Number("0"), 0);
}

TEST(DecimalReading, OutOfRangeNumbersClampInsteadOfOverflowing) {
    EXPECT_EQ(Number("99999999999"), kMax);
    EXPECT_EQ(Number("-99999999999"), kMin);
    EXPECT_EQ(Number("2147483647"), kMax);
    EXPECT_EQ(Number("2147483648"), kMax);
    EXPECT_EQ(Number("-2147483648"), kMin);
    EXPECT_EQ(Number(std::string(400, '9')), kMax);
    EXPECT_EQ(Number("-" + std::string(400, '9')), kMin);
    EXPECT_EQ(Number("0." + std::string(400, '0') + "1"), 0);
}

TEST(DecimalReading, TextThatIsNotANumberReadsAsZeroOrItsLeadingNumber) {
    EXPECT_EQ(Number(""), 0);
    EXPECT_EQ(Number("abc"), 0);
    EXPECT_EQ(Number("-"), 0);
    EXPECT_EQ(Number("--2"), 0);
    EXPECT_EQ(Number(" 2"), 0);
    EXPECT_EQ(Number("2a"), 2);
    EXPECT_EQ(Number("0x10"), 0);
    EXPECT_EQ(Number("1e5"), 1);
    EXPECT_EQ(Number("inf"), 0);
    EXPECT_EQ(Number("nan"), 0);
    EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ValueConversion, EmptyGivesNothingAndTextReadsAsDecimal) {
    Value empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.ToText(), "");
    EXPECT_EQ(empty.ToNumber(), 0.0);
    EXPECT_FALSE(empty.ToBoolean());
    EXPECT_FALSE(empty.ToObject());
    EXPECT_EQ(Value::Text("12.75").ToInt32(), 12);
    EXPECT_EQ(Value::Double(-3.9).ToInt32(), -3);
    EXPECT_EQ(Value::Double(1e300).ToInt32(), kMax);
    EXPECT_EQ(Value::Int32(42).ToText(), "42");
    EXPECT_EQ(Value::Double(0.5).ToText(), "0.5");
    EXPECT_TRUE(Value::Object(DomRef()).IsEmpty());
}

// SelectRadio ticks by writing the text "checked": a host that turns it into
// a boolean with this conversion must get true.
TEST(ValueConversion, TheTextCheckedIsTrueAndAnEmptyTextFalse) {
    EXPECT_TRUE(Value::Text("checked").ToBoolean());
    EXPECT_FALSE(Value::Text("").ToBoolean());
}

// A counted object that can be told to fail.
class Probe : public RefCountedDomObject {
  public:
    explicit Probe(int* alive) : alive_(alive) { ++*alive_; }
    ~Probe() override { --*alive_; }
    bool ReadMember(std::string_view name, Value& result) noexcept override {
        result = Value::Text("partial");  // a failing read may leave junk behind
        return SameMemberName(name, "Title");
    }
    bool WriteMember(std::string_view, const Value&) noexcept override { return false; }
    bool CallMethod(std::string_view, std::span<const Value>, Value& result) noexcept override {
        result = Value::Int32(1);
        return false;
    }

  private:
    int* alive_;
};

TEST(DomHolder, StoringANewReferenceReleasesTheOldOne) {
    int alive = 0;
    DomRef holder = DomRef::Adopt(new Probe(&alive));
    DomRef second = DomRef::Adopt(new Probe(&alive));
    EXPECT_EQ(alive, 2);
    holder = second;  // the first object loses its only reference
    EXPECT_EQ(alive, 1);
    second.Reset();
    EXPECT_EQ(alive, 1);
    holder = std::move(holder);
    EXPECT_EQ(alive, 1);
    holder = DomRef();
    EXPECT_EQ(alive, 0);
}

TEST(DomHolder, FailedOperationsYieldEmptyAndEmptyHoldersDoNothing) {
    int alive = 0;
    DomRef probe = DomRef::Adopt(new Probe(&alive));
    EXPECT_EQ(probe.Read("TITLE").ToText(), "partial");
    EXPECT_TRUE(probe.Read("other").IsEmpty());
    EXPECT_FALSE(probe.Write("checked", Value::Text("checked")));
    EXPECT_TRUE(probe.Call("click").IsEmpty());
    Value result;
    EXPECT_FALSE(probe.TryCall("click", {}, result));
    EXPECT_TRUE(result.IsEmpty());

    DomRef empty;
    EXPECT_TRUE(empty.Read("body").IsEmpty());
    EXPECT_FALSE(empty.Write("checked", Value::Boolean(true)));
    EXPECT_FALSE(empty.TryCall("click", {}, result));
}

}  // namespace
}  // namespace autolabel::browser_host
