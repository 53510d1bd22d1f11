#include <gtest/gtest.h>

#include <memory>

#include "tests/support/page_fixture.h"
#include "tests/support/recording_document.h"

namespace autolabel::tests {
namespace {

constexpr const char* kThreeGroupsOfTwo =
    "<form><input type=radio name=a id=a1><input type=radio name=a id=a2>"
    "<input type=radio name=b id=b1><input type=radio name=b id=b2>"
    "<input type=radio name=c id=c1><input type=radio name=c id=c2></form>";

TEST(SelectRadio, NumbersRadioButtonsOverTheWholePageNotPerGroup) {
    BrowserPage browser(kThreeGroupsOfTwo);
    browser.Bind();
    EXPECT_TRUE(browser.page.SelectRadio("3", 0, false));
    EXPECT_TRUE(browser.document->IsChecked("b1"));
    EXPECT_TRUE(browser.page.SelectRadio("6", 0, false));
    EXPECT_TRUE(browser.document->IsChecked("c2"));
    browser.document->ClearCalls();
    EXPECT_FALSE(browser.page.SelectRadio("7", 0, false));
    for (const std::string& call : browser.document->calls())
        EXPECT_FALSE(call.ends_with("=checked")) << call;
}

TEST(SelectRadio, OtherInputKindsDoNotChangeANumber) {
    BrowserPage browser(
        "<input type=text><input type=checkbox><input type=hidden><input type=submit>"
        "<button></button><input type=radio id=r1><input type=password><input type=radio id=r2>");
    browser.Bind();
    EXPECT_TRUE(browser.page.SelectRadio("2", 0, false));
    EXPECT_TRUE(browser.document->IsChecked("r2"));
    EXPECT_FALSE(browser.document->IsChecked("r1"));
}

TEST(SelectRadio, AnEarlierRadioButtonNamedWithTheNumberIsTakenInstead) {
    BrowserPage before(
        "<input type=radio id=r1 name=4><input type=radio id=r2><input type=radio id=r3>"
        "<input type=radio id=r4>");
    before.Bind();
    EXPECT_TRUE(before.page.SelectRadio("4", 0, false));
    EXPECT_EQ(before.document->CheckedRadioNumbers(), (std::vector<int>{1}));

    BrowserPage after(
        "<input type=radio id=r1><input type=radio id=r2><input type=radio id=r3>"
        "<input type=radio id=r4><input type=radio id=r5 name=4>");
    after.Bind();
    EXPECT_TRUE(after.page.SelectRadio("4", 0, false));
    EXPECT_EQ(after.document->CheckedRadioNumbers(), (std::vector<int>{4}));
}

TEST(SelectRadio, WritesNothingWithoutARadioButtonOrADocument) {
    BrowserPage browser("<input type=text id=t><input type=submit>");
    EXPECT_FALSE(browser.page.SelectRadio("1", 0, false));  // nothing bound
    browser.Bind();
    EXPECT_FALSE(browser.page.SelectRadio("1", 0, false));
    for (const std::string& call : browser.document->calls())
        EXPECT_FALSE(call.ends_with("=checked")) << call;
}

TEST(SelectRadio, WritesAnAlreadyTickedRadioButtonAgain) {
    BrowserPage browser("<input type=radio id=r checked>");
    browser.Bind();
    EXPECT_TRUE(browser.page.SelectRadio("1", 0, false));
    EXPECT_EQ(browser.document->CountCalls("input#r.checked=checked"), 1);
    EXPECT_TRUE(browser.document->IsChecked("r"));
}

TEST(SelectRadio, ALaterTickInAGroupReplacesTheEarlierOne) {
    BrowserPage browser(kThreeGroupsOfTwo);
    browser.Bind();
    browser.page.SelectRadio("3", 0, false);
    browser.page.SelectRadio("4", 0, false);
    EXPECT_FALSE(browser.document->IsChecked("b1"));
    EXPECT_TRUE(browser.document->IsChecked("b2"));
}

TEST(SelectRadio, FiresMouseDownOnlyWhenAskedAndAfterTheTick) {
    BrowserPage browser("<input type=radio id=r onmousedown=\"mark()\"><input type=radio id=q>");
    browser.Bind();
    browser.document->ClearCalls();
    EXPECT_TRUE(browser.page.SelectRadio("1", 0, false));
    EXPECT_EQ(browser.document->CountCalls("input#r.FireEvent"), 0);
    EXPECT_EQ(browser.document->CountCalls("input#r.onmousedown"), 0);

    browser.document->ClearCalls();
    EXPECT_TRUE(browser.page.SelectRadio("1", 0, true));
    const auto& calls = browser.document->calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3], "input#r.checked=checked");
    EXPECT_EQ(calls[calls.size() - 2], "input#r.onmousedown");
    EXPECT_EQ(calls[calls.size() - 1], "input#r.FireEvent(onmousedown,mark())");
    EXPECT_EQ(browser.document->firedEvents(), (std::vector<std::string>{"input#r:onmousedown"}));
}

TEST(FireElementEvent, PassesTheEmptyHandlerAndReportsTheElementsAnswer) {
    BrowserPage browser("<input type=radio id=q>");
    browser.Bind();
    DomRef radio = browser.page.FindRadio("1", 0);
    browser.document->ClearCalls();
    EXPECT_TRUE(browser.page.FireElementEvent(radio, "onmousedown"));
    EXPECT_EQ(browser.document->calls().back(), "input#q.FireEvent(onmousedown,)");
    EXPECT_FALSE(browser.page.FireElementEvent(radio, ""));  // no such event
    EXPECT_FALSE(browser.page.FireElementEvent(DomRef(), "onmousedown"));
    browser.document->Disconnect();
    EXPECT_FALSE(browser.page.FireElementEvent(radio, "onmousedown"));
}

TEST(SelectRadio, LeavesNoReferenceBehind) {
    BrowserPage browser(kThreeGroupsOfTwo);
    browser.Bind();
    browser.page.SelectRadio("5", 0, true);
    browser.page.SelectRadio("9", 0, true);
    EXPECT_EQ(browser.document->liveReferences(), 1);
}

TEST(SelectRadio, PassesItsSkipCountOnToTheLookup) {
    BrowserPage browser(
        "<input type=radio name=a id=r1 title=same><input type=radio name=b id=r2 title=same>");
    browser.Bind();
    EXPECT_EQ(browser.page.FindRadio("same", 1).Read("id").ToText(), "r2");
    EXPECT_TRUE(browser.page.SelectRadio("same", 1, false));
    EXPECT_TRUE(browser.document->IsChecked("r2"));
    EXPECT_FALSE(browser.document->IsChecked("r1"));
    EXPECT_FALSE(browser.page.SelectRadio("same", 2, false));
    EXPECT_FALSE(browser.document->IsChecked("r1"));
}

// A host that reads the written text as the core's value conversion does,
// rather than by a rule of its own as the double does.
TEST(SelectRadio, TheWrittenTextTicksWhereTheHostReadsItAsABoolean) {
    auto document = std::make_shared<RecordingDocument>(std::vector<RecordedElement>{
        {"input", "radio", "r"},
    });
    ScriptedPlatform platform;
    automation::PageAutomation page(platform);
    page.pageDocument = RecordingDocument::NewReference(document);
    EXPECT_TRUE(page.SelectRadio("1", 0, false));
    EXPECT_TRUE(document->Find("r")->checked);
}

}  // namespace
}  // namespace autolabel::tests
