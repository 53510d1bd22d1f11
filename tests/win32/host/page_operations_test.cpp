// The page operations over a real binding and the IDispatch adapter, against
// the test document: what they find, what they change, what they call, and
// that every reference they take is given back.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "page/browser_host/win32/dispatch_object.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/browser_host/win32/window_handle.h"
#include "page/page_automation.h"
#include "tests/win32/support/test_windows.h"

namespace autolabel::tests::win32 {
using namespace browser_host::win32;

namespace {

using browser_host::DomRef;

class PageOperationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        aliveBefore = TestDispatch::Alive();
        document = new TestDocument();
        browser = windows.Create("Shell Embedding", windows.frame());
        server = windows.Create("Internet Explorer_Server",
                                windows.Create("Shell DocObject View", browser));
        TestWindows::Serve(server, document);
    }
    void TearDown() override {
        page.pageDocument.Reset();
        EXPECT_EQ(document->References(), 1u);
        for (const auto& element : document->Elements()) EXPECT_EQ(element->References(), 1u);
        document->Release();
        EXPECT_EQ(TestDispatch::Alive(), aliveBefore);
    }
    void Bind() {
        ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
        document->log.clear();
    }
    IDispatch* Of(TestElement& element) { return static_cast<IDispatch*>(&element); }
    int Count(const std::string& entry) const {
        return static_cast<int>(std::count(document->log.begin(), document->log.end(), entry));
    }

    long aliveBefore = 0;
    Win32Platform platform;
    TestWindows windows;
    automation::PageAutomation page{platform};
    TestDocument* document = nullptr;
    HWND browser = nullptr, server = nullptr;
};

TEST_F(PageOperationsTest, FindsByPositionCountingInputsBeforeButtons) {
    TestElement& button = document->Add({.tag = L"button"});
    document->Add({.type = L"text"});
    TestElement& submit = document->Add({.type = L"submit"});
    Bind();
    std::int32_t ordinal = 0;
    DomRef found = page.FindElement("button|submit|reset", "2", 0, ordinal);
    EXPECT_EQ(DispatchObject::DispatchOf(found), Of(button));
    EXPECT_EQ(ordinal, 2);
    ordinal = 0;
    EXPECT_EQ(DispatchObject::DispatchOf(page.FindElement("button|submit|reset", "1", 0, ordinal)),
              Of(submit));
    ordinal = 0;
    EXPECT_FALSE(page.FindElement("button|submit|reset", "3", 0, ordinal));
    EXPECT_EQ(ordinal, -1);
}

TEST_F(PageOperationsTest, FindsByNameIdAndTitleInUtf8) {
    document->Add({.type = L"radio", .name = L"甲"});
    TestElement& byId = document->Add({.type = L"radio", .id = L"乙"});
    TestElement& byTitle = document->Add({.type = L"radio", .title = L"丙"});
    Bind();
    std::int32_t ordinal = 0;
    EXPECT_EQ(DispatchObject::DispatchOf(page.FindElement("radio", "乙", 0, ordinal)), Of(byId));
    EXPECT_EQ(ordinal, 2);
    EXPECT_EQ(DispatchObject::DispatchOf(page.FindRadio("丙", 0)), Of(byTitle));
    // Skipping the first hit by name finds nothing further.
    EXPECT_FALSE(page.FindRadio("甲", 1));
}

TEST_F(PageOperationsTest, WalksTheDocumentThroughItsMembers) {
    document->Add({.type = L"radio"});
    Bind();
    ASSERT_TRUE(page.FindRadio("1", 0));
    EXPECT_EQ(document->log, (std::vector<std::string>{"body", "all", "tags(input)", "length",
                                                       "item(0)", "type", "name", "id", "title"}));
}

TEST_F(PageOperationsTest, TicksRadioButtonsByNumberOneTickedPerGroup) {
    for (int group = 0; group < 3; ++group)
        for (int option = 0; option < 2; ++option)
            document->Add({.type = L"radio", .name = L"g" + std::to_wstring(group)});
    Bind();
    for (const char* number : {"1", "3", "4", "5", "6"})
        EXPECT_TRUE(page.SelectRadio(number, 0, false));
    EXPECT_FALSE(page.SelectRadio("7", 0, false));
    const bool expected[] = {true, false, false, true, false, true};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(document->element(i).checked(), expected[i]) << i;
    EXPECT_EQ(Count("FireEvent(onmousedown)"), 0);
}

// A page in the newest document mode has no `all` on its body: the lookup
// takes the body's getElementsByTagName and finds the same elements.
TEST_F(PageOperationsTest, TicksTheSameRadioButtonsWhetherTheBodyHasAllOrNot) {
    for (int group = 0; group < 3; ++group)
        for (int option = 0; option < 2; ++option)
            document->Add({.type = L"radio", .name = L"g" + std::to_wstring(group)});
    TestElement& submit = document->Add({.tag = L"button", .name = L"submit"});
    document->Add({.type = L"button", .name = L"skip"});
    Bind();
    for (const bool hasAll : {true, false}) {
        SCOPED_TRACE(hasAll ? "with all" : "without all");
        document->bodyHasAll = hasAll;
        document->log.clear();
        for (const auto& element : document->Elements()) element->SetChecked(false);
        submit.clicks = 0;
        for (const char* number : {"1", "3", "4", "5", "6"})
            EXPECT_TRUE(page.SelectRadio(number, 0, false)) << number;
        EXPECT_FALSE(page.SelectRadio("7", 0, false));
        const bool expected[] = {true, false, false, true, false, true};
        for (size_t i = 0; i < 6; ++i) EXPECT_EQ(document->element(i).checked(), expected[i]) << i;
        // Inputs before buttons, in both ways of walking.
        EXPECT_TRUE(page.ClickButton("2", 0));
        EXPECT_EQ(submit.clicks, 1);
        EXPECT_EQ(Count("getElementsByTagName(input)") > 0, !hasAll);
        EXPECT_EQ(Count("tags(input)") > 0, hasAll);
    }
}

TEST_F(PageOperationsTest, AsksAgainWithAnIntegerWhenTheCollectionRefusesADouble) {
    document->Add({.type = L"text"});
    TestElement& radio = document->Add({.type = L"radio", .name = L"g"});
    document->itemTakesDouble = false;
    Bind();
    // Refused with an error, or answered with nothing as for a missing element.
    using Refusal = TestDocument::DoubleRefusal;
    for (const Refusal refusal : {Refusal::Error, Refusal::Empty, Refusal::NullObject}) {
        SCOPED_TRACE(static_cast<int>(refusal));
        document->doubleRefusal = refusal;
        document->log.clear();
        radio.SetChecked(false);
        EXPECT_TRUE(page.SelectRadio("1", 0, false));
        EXPECT_TRUE(radio.checked());
        EXPECT_EQ(document->log, (std::vector<std::string>{
                                     "body", "all", "tags(input)", "length", "item refused",
                                     "item(int 0)", "type", "item refused", "item(int 1)", "type",
                                     "name", "id", "title", "put checked refused", "put checked"}));
    }
    // A double that is taken is asked once.
    document->itemTakesDouble = true;
    document->log.clear();
    EXPECT_TRUE(page.SelectRadio("1", 0, false));
    EXPECT_EQ(std::count(document->log.begin(), document->log.end(), "item(0)"), 1);
    EXPECT_EQ(std::count(document->log.begin(), document->log.end(), "item(int 0)"), 0);
}

TEST_F(PageOperationsTest, FiresTheMouseDownEventWithTheHandlerItHolds) {
    TestElement& with = document->Add({.type = L"radio", .hasMouseDownHandler = true});
    TestElement& without = document->Add({.type = L"radio"});
    Bind();
    EXPECT_TRUE(page.SelectRadio("1", 0, true));
    EXPECT_TRUE(page.SelectRadio("2", 0, true));
    ASSERT_EQ(with.firedEvents.size(), 1u);
    EXPECT_EQ(with.firedEvents[0],
              std::make_pair(std::wstring(L"onmousedown"), VARTYPE{VT_DISPATCH}));
    ASSERT_EQ(without.firedEvents.size(), 1u);
    EXPECT_EQ(without.firedEvents[0].second, VT_EMPTY);
    // The tick comes first, the event after it.
    const auto put = std::find(document->log.begin(), document->log.end(), "put checked");
    const auto fired =
        std::find(document->log.begin(), document->log.end(), "FireEvent(onmousedown)");
    EXPECT_LT(put, fired);
    DomRef element = page.FindRadio("1", 0);
    EXPECT_TRUE(page.FireElementEvent(element, "onmousedown"));
}

TEST_F(PageOperationsTest, ClicksTheSecondButtonLikeControl) {
    TestElement& first = document->Add({.type = L"button"});
    document->Add({.type = L"image"});
    TestElement& second = document->Add({.type = L"submit"});
    Bind();
    EXPECT_TRUE(page.ClickButton("2", 0));
    EXPECT_EQ(first.clicks, 0);
    EXPECT_EQ(second.clicks, 1);
}

TEST_F(PageOperationsTest, ClicksTheFirstWhenItsIdIsTheNumber) {
    TestElement& first = document->Add({.type = L"button", .id = L"2"});
    TestElement& second = document->Add({.type = L"submit"});
    Bind();
    EXPECT_TRUE(page.ClickButton("2", 0));
    EXPECT_EQ(first.clicks, 1);
    EXPECT_EQ(second.clicks, 0);
}

TEST_F(PageOperationsTest, ADocumentWithoutBodyOffersNothing) {
    document->Add({.type = L"submit"});
    document->Add({.type = L"submit"});
    document->hasBody = false;
    Bind();
    EXPECT_FALSE(page.ClickButton("2", 0));
    EXPECT_FALSE(page.SelectRadio("1", 0, false));
    EXPECT_EQ(document->element(1).clicks, 0);
}

TEST_F(PageOperationsTest, NothingBoundFindsNothing) {
    document->Add({.type = L"radio"});
    EXPECT_FALSE(page.SelectRadio("1", 0, false));
    EXPECT_FALSE(document->element(0).checked());
    EXPECT_TRUE(document->log.empty());
}

}  // namespace
}  // namespace autolabel::tests::win32
