// The DOM objects of the core over IDispatch, against the test document.
#include "page/browser_host/win32/dispatch_object.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "page/browser_host/value.h"
#include "page/browser_host/win32/variant_value.h"
#include "tests/win32/support/test_document.h"

namespace autolabel::tests::win32 {
using namespace browser_host::win32;

using namespace support::win32;
namespace {

using namespace browser_host;

class DispatchObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        aliveBefore = TestDispatch::Alive();
        document = new TestDocument();
        document->Add({.type = L"text", .name = L"comment"});
        document->Add({.type = L"radio", .name = L"g", .title = L"全选"});
        document->Add({.type = L"radio", .name = L"g", .hasMouseDownHandler = true});
        root = DispatchObject::Wrap(ComPtr<IDispatch>::Share(document));
    }
    void TearDown() override {
        root.Reset();
        // Every object the adapter touched is released again.
        EXPECT_EQ(document->References(), 1u);
        for (const auto& element : document->Elements()) EXPECT_EQ(element->References(), 1u);
        document->Release();
        EXPECT_EQ(TestDispatch::Alive(), aliveBefore);
    }
    DomRef Element(double position) {
        return root.Read("body")
            .ToObject()
            .Read("all")
            .ToObject()
            .Call("item", {Value::Double(position)})
            .ToObject();
    }

    long aliveBefore = 0;
    TestDocument* document = nullptr;
    DomRef root;
};

TEST_F(DispatchObjectTest, MatchesMemberNamesWithoutRegardToCase) {
    EXPECT_TRUE(root.Read("body").ToObject());
    EXPECT_TRUE(root.Read("BODY").ToObject());
    EXPECT_EQ(Element(0).Read("NaMe").ToText(), "comment");
}

TEST_F(DispatchObjectTest, AMissingMemberFailsAndGivesEmpty) {
    Value result = Value::Int32(5);
    EXPECT_FALSE(root.Get()->ReadMember("nothing", result));
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_FALSE(root.Write("nothing", Value::Text("x")));
    EXPECT_TRUE(root.Call("nothing", {Value::Int32(1)}).IsEmpty());
}

TEST_F(DispatchObjectTest, ReadsTextsAsUtf8AndAbsentOnesAsEmpty) {
    DomRef radio = Element(1);
    EXPECT_EQ(radio.Read("title").ToText(), "全选");
    EXPECT_EQ(radio.Read("type").ToText(), "radio");
    Value id = radio.Read("id");  // a null BSTR
    EXPECT_EQ(id.ToText(), "");
}

TEST_F(DispatchObjectTest, CallsMethodsWithTheirArgumentsInOrder) {
    DomRef all = root.Read("body").ToObject().Read("all").ToObject();
    DomRef inputs = all.Call("tags", {Value::Text("input")}).ToObject();
    Value length = inputs.Read("length");
    EXPECT_EQ(length.kind(), Value::Kind::Int32);
    EXPECT_EQ(length.ToInt32(), 3);
    EXPECT_EQ(inputs.Call("item", {Value::Double(2)}).ToObject().Read("type").ToText(), "radio");
    // A collection that takes only the documented integer index.
    document->itemTakesDouble = false;
    EXPECT_TRUE(inputs.Call("item", {Value::Double(2)}).IsEmpty());
    EXPECT_EQ(inputs.Call("item", {Value::Int32(2)}).ToObject().Read("type").ToText(), "radio");
    document->itemTakesDouble = true;

    DomRef radio = Element(2);
    Value handler = radio.Read("onmousedown");
    EXPECT_EQ(handler.kind(), Value::Kind::Object);
    EXPECT_TRUE(radio.Call("FireEvent", {Value::Text("onmousedown"), handler}).ToBoolean());
    EXPECT_TRUE(Element(1).Call("fireevent", {Value::Text("onclick"), Value()}).ToBoolean());
    auto& fired = document->element(2).firedEvents;
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].first, L"onmousedown");
    EXPECT_EQ(fired[0].second, VT_DISPATCH);
    ASSERT_EQ(document->element(1).firedEvents.size(), 1u);
    EXPECT_EQ(document->element(1).firedEvents[0].second, VT_EMPTY);
}

TEST_F(DispatchObjectTest, WritesATextToABooleanPropertyAsItsTruth) {
    EXPECT_TRUE(Element(1).Write("checked", Value::Text("checked")));
    EXPECT_TRUE(document->element(1).checked());
    EXPECT_TRUE(Element(2).Write("checked", Value::Text("checked")));
    EXPECT_FALSE(document->element(1).checked());  // same group
    EXPECT_TRUE(document->element(2).checked());
    EXPECT_TRUE(Element(2).Write("checked", Value::Boolean(false)));
    EXPECT_FALSE(document->element(2).checked());
}

TEST_F(DispatchObjectTest, TicksWhereTheHostTurnsTheTextIntoABoolean) {
    document->element(1).textAsTruth = true;  // as a script engine takes any text
    EXPECT_TRUE(Element(1).Write("checked", Value::Text("checked")));
    EXPECT_TRUE(document->element(1).checked());
    EXPECT_EQ(std::count(document->log.begin(), document->log.end(), "put checked"), 1);
    EXPECT_EQ(std::count(document->log.begin(), document->log.end(), "put checked refused"), 0);
}

TEST_F(DispatchObjectTest, FallsBackToTheTextsTruthWhateverErrorRefusedTheText) {
    for (const HRESULT refusal : {DISP_E_TYPEMISMATCH, E_INVALIDARG, DISP_E_EXCEPTION, E_FAIL}) {
        SCOPED_TRACE(refusal);
        document->element(1).SetChecked(false);
        document->element(1).textRefusal = refusal;
        document->log.clear();
        EXPECT_TRUE(Element(1).Write("checked", Value::Text("checked")));
        EXPECT_TRUE(document->element(1).checked());
        const std::vector<std::string> expected = {"body", "all", "item(1)", "put checked refused",
                                                   "put checked"};
        EXPECT_EQ(document->log, expected);
    }
}

TEST_F(DispatchObjectTest, AFailedWriteIsFalse) {
    EXPECT_FALSE(Element(0).Write("type", Value::Text("radio")));  // read-only here
}

TEST(VariantValue, CarriesEveryKindBothWays) {
    EXPECT_EQ(FromVariant(*ToVariant(Value()).Get()), Value());
    EXPECT_EQ(FromVariant(*ToVariant(Value::Boolean(true)).Get()), Value::Boolean(true));
    EXPECT_EQ(FromVariant(*ToVariant(Value::Int32(-7)).Get()), Value::Int32(-7));
    EXPECT_EQ(FromVariant(*ToVariant(Value::Double(2.5)).Get()), Value::Double(2.5));
    EXPECT_EQ(FromVariant(*ToVariant(Value::Text("手动区")).Get()), Value::Text("手动区"));
    EXPECT_EQ(ToVariant(Value::Text("")).Type(), VT_BSTR);
}

TEST(VariantValue, ReadsOtherKindsSensibly) {
    VARIANT variant;
    ::VariantInit(&variant);
    variant.vt = VT_NULL;
    EXPECT_TRUE(FromVariant(variant).IsEmpty());
    variant.vt = VT_UI4;
    variant.ulVal = 0xFFFFFFFFu;  // beyond a signed 32-bit integer
    EXPECT_EQ(FromVariant(variant).ToNumber(), 4294967295.0);
    variant.vt = VT_I2;
    variant.iVal = -3;
    EXPECT_EQ(FromVariant(variant), Value::Int32(-3));
    variant.vt = VT_CY;
    variant.cyVal.int64 = 25000;  // 2.5 in currency units
    EXPECT_EQ(FromVariant(variant).ToNumber(), 2.5);
    variant.vt = VT_DISPATCH;
    variant.pdispVal = nullptr;
    EXPECT_TRUE(FromVariant(variant).IsEmpty());
}

TEST(VariantValue, PassesItsOwnObjectsAsTheirIDispatch) {
    auto* document = new TestDocument();
    {
        DomRef object = DispatchObject::Wrap(ComPtr<IDispatch>::Share(document));
        UniqueVariant variant = ToVariant(Value::Object(object));
        ASSERT_EQ(variant.Type(), VT_DISPATCH);
        EXPECT_EQ(variant.Get()->pdispVal, static_cast<IDispatch*>(document));
        EXPECT_EQ(document->References(), 3u);  // the test, the adapter, the VARIANT
    }
    EXPECT_EQ(document->References(), 1u);
    document->Release();
}

}  // namespace
}  // namespace autolabel::tests::win32
