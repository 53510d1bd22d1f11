#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "tests/support/page_fixture.h"
#include "tests/support/recording_document.h"

namespace autolabel::tests {
namespace {

constexpr const char* kButtons = "button|submit|reset";

// The id of what FindElement finds ("" for nothing) and the final ordinal.
struct Found {
    std::string id;
    std::int32_t ordinal;
};

Found Find(BrowserPage& browser, const char* types, const char* identifier, int skip = 0,
           std::int32_t ordinal = 0) {
    browser.Bind();
    DomRef element = browser.page.FindElement(types, identifier, skip, ordinal);
    return {element ? element.Read("id").ToText() : "", ordinal};
}

TEST(FindElement, CountsInputCandidatesBeforeButtonElements) {
    BrowserPage browser("<button id=b1></button><input type=submit id=s1>");
    EXPECT_EQ(Find(browser, kButtons, "1").id, "s1");
    Found second = Find(browser, kButtons, "2");
    EXPECT_EQ(second.id, "b1");
    EXPECT_EQ(second.ordinal, 2);
}

TEST(FindElement, ANameIdOrTitleHitWinsOverPosition) {
    BrowserPage browser(
        "<input type=button id=first name=2><input type=submit id=second>"
        "<input type=reset id=third title=x>");
    EXPECT_EQ(Find(browser, kButtons, "2").id, "first");
    EXPECT_EQ(Find(browser, kButtons, "x").id, "third");
    EXPECT_EQ(Find(browser, kButtons, "third").id, "third");
    // Exact, case-sensitive comparison.
    EXPECT_EQ(Find(browser, kButtons, "X").id, "");
    EXPECT_EQ(Find(browser, kButtons, "Third").id, "");
}

TEST(FindElement, OnlyTypesInTheListAreCandidates) {
    BrowserPage browser(
        "<input type=image id=img><input type=text id=t><input id=plain>"
        "<input type=checkbox id=c><input type=submit id=s>");
    EXPECT_EQ(Find(browser, kButtons, "1").id, "s");
    EXPECT_EQ(Find(browser, kButtons, "2").id, "");
}

TEST(FindElement, TheTypeListIsSearchedAsPlainText) {
    // "text" occurs in no list, but a list is a plain text: "ton|sub" would
    // find parts of "button|submit".
    BrowserPage browser("<input type=text id=t><input type=submit id=s><input type=button id=b>");
    EXPECT_EQ(Find(browser, "button|submit|reset", "1").id, "s");
    EXPECT_EQ(Find(browser, "xsubmitx", "1").id, "s");
    EXPECT_EQ(Find(browser, "con|text", "1").id, "t");
}

TEST(FindElement, RadioListNeverWalksButtonElements) {
    BrowserPage browser("<input type=radio id=r>");
    browser.Bind();
    browser.document->ClearCalls();
    Find(browser, "radio", "9");
    EXPECT_EQ(browser.document->CountCalls("body.all.tags(input)"), 1);
    EXPECT_EQ(browser.document->CountCalls("body.all.tags(button)"), 0);
}

TEST(FindElement, WalksInTheOrderAndWithTheArgumentsTheDocumentExpects) {
    BrowserPage browser("<input type=radio id=r name=n title=t>");
    browser.Bind();
    browser.document->ClearCalls();
    Find(browser, "radio", "t");
    std::vector<std::string> expected{"document.body", "body.all",       "body.all.tags(input)",
                                      "inputs.length", "inputs.item(0)", "input#r.type",
                                      "input#r.name",  "input#r.id",     "input#r.title",
                                      "input#r.id"};  // the last read is the test's own
    EXPECT_EQ(browser.document->calls(), expected);
}

TEST(FindElement, StopsReadingNameIdTitleAtTheFirstHit) {
    BrowserPage browser("<input type=radio id=r name=x>");
    browser.Bind();
    browser.document->ClearCalls();
    std::int32_t ordinal = 0;
    DomRef element = browser.page.FindElement("radio", "x", 0, ordinal);
    EXPECT_TRUE(element);
    EXPECT_EQ(browser.document->CountCalls("input#r.id"), 0);
    EXPECT_EQ(browser.document->CountCalls("input#r.title"), 0);
}

TEST(FindElement, ZeroAndNegativeNumbersMatchByNameOnly) {
    BrowserPage browser("<input type=submit id=a><input type=submit id=b name=-1>");
    EXPECT_EQ(Find(browser, kButtons, "0").id, "");
    EXPECT_EQ(Find(browser, kButtons, "-1").id, "b");
}

TEST(FindElement, AnEmptyIdentifierHitsTheFirstCandidateWithAnEmptyField) {
    BrowserPage browser("<input type=submit id=a name=n title=t><input type=submit id=b>");
    EXPECT_EQ(Find(browser, kButtons, "").id, "b");  // b has no name
}

TEST(FindElement, SkipCountPassesOverHitsAndThoseAreNotTakenByPosition) {
    BrowserPage browser(
        "<input type=submit id=c1 name=7><input type=submit id=c2>"
        "<input type=submit id=c3 name=7><input type=submit id=c4><input type=submit id=c5>");
    EXPECT_EQ(Find(browser, kButtons, "7", 1).id, "c3");
    BrowserPage onlyFirst(
        "<input type=submit id=c1 name=7><input type=submit id=c2><input type=submit id=c3>"
        "<input type=submit id=c4><input type=submit id=c5>");
    Found none = Find(onlyFirst, kButtons, "7", 1);
    EXPECT_EQ(none.id, "");
    EXPECT_EQ(none.ordinal, -1);
    // A hit passed over at its own position is not taken by position either.
    BrowserPage atPosition("<input type=submit id=c1><input type=submit id=c2 name=2>");
    EXPECT_EQ(Find(atPosition, kButtons, "2", 1).id, "");
}

TEST(FindElement, TheOrdinalCarriesOnFromTheCallersValue) {
    BrowserPage browser("<input type=submit id=a><input type=submit id=b><input type=submit id=c>");
    EXPECT_EQ(Find(browser, kButtons, "2", 0, 5).id, "");
    Found fromOne = Find(browser, kButtons, "3", 0, 1);
    EXPECT_EQ(fromOne.id, "b");
    EXPECT_EQ(fromOne.ordinal, 3);
}

TEST(FindElement, FractionalIdentifiersAreTruncated) {
    BrowserPage browser("<input type=radio id=a><input type=radio id=b><input type=radio id=c>");
    EXPECT_EQ(Find(browser, "radio", "2.9").id, "b");
    EXPECT_EQ(Find(browser, "radio", "99999999999").id, "");
}

TEST(FindElement, FindsNothingWithoutADocumentOrBody) {
    BrowserPage browser("<input type=radio id=a>");
    std::int32_t ordinal = 0;
    EXPECT_FALSE(browser.page.FindElement("radio", "1", 0, ordinal));  // never bound
    EXPECT_EQ(ordinal, -1);
    browser.Show(ScriptedDocument::FromHtml("<html><head><title>no body</title></head></html>"));
    EXPECT_EQ(Find(browser, "radio", "1").id, "");
}

TEST(FindElement, NeverLooksIntoFrames) {
    BrowserPage browser(
        "<iframe srcdoc=\"<input type=radio id=inside>\"></iframe><input type=radio id=outside>");
    EXPECT_EQ(Find(browser, "radio", "1").id, "outside");
    EXPECT_EQ(Find(browser, "radio", "2").id, "");
}

TEST(FindElement, LeavesOnlyTheResultsReferenceBehind) {
    BrowserPage browser("<input type=radio id=a><input type=submit id=s><button id=b></button>");
    browser.Bind();
    std::int32_t ordinal = 0;
    {
        DomRef found = browser.page.FindElement(kButtons, "2", 0, ordinal);
        EXPECT_TRUE(found);
        EXPECT_EQ(browser.document->liveReferences(), 2);  // the held document + the result
    }
    browser.page.FindElement(kButtons, "9", 0, ordinal);
    EXPECT_EQ(browser.document->liveReferences(), 1);
}

TEST(FindElement, ReadsEachPassLengthOnceBeforeItsFirstItem) {
    BrowserPage browser(
        "<input type=text id=t><input type=submit id=s><input type=reset id=r>"
        "<button id=b1></button><button id=b2></button>");
    browser.Bind();
    for (const char* identifier : {"4", "none"}) {  // found in the second pass, and not at all
        browser.document->ClearCalls();
        std::int32_t ordinal = 0;
        browser.page.FindElement(kButtons, identifier, 0, ordinal);
        const std::vector<std::string>& calls = browser.document->calls();
        for (const char* pass : {"inputs", "buttons"}) {
            const std::string length = std::string(pass) + ".length";
            EXPECT_EQ(browser.document->CountCalls(length), 1) << pass << " " << identifier;
            auto lengthRead = std::find(calls.begin(), calls.end(), length);
            auto firstItem = std::find(calls.begin(), calls.end(), std::string(pass) + ".item(0)");
            EXPECT_LT(lengthRead, firstItem) << pass << " " << identifier;
        }
    }
}

TEST(FindElement, TheSkipCountNeverAppliesToAMatchByPosition) {
    BrowserPage unnamed("<input type=submit id=a><input type=submit id=b><input type=submit id=c>");
    EXPECT_EQ(Find(unnamed, kButtons, "2", 1).id, "b");
    EXPECT_EQ(Find(unnamed, kButtons, "2", 5).id, "b");
    // One hit uses up one skip; the position is taken all the same.
    BrowserPage named(
        "<input type=submit id=a name=3><input type=submit id=b><input type=submit id=c>");
    EXPECT_EQ(Find(named, kButtons, "3", 2).id, "c");
}

TEST(FindElement, GivesItemItsPositionAsADouble) {
    auto document = std::make_shared<RecordingDocument>(std::vector<RecordedElement>{
        {"input", "submit"},
        {"input", "text"},
        {"button", "submit"},
    });
    ScriptedPlatform platform;
    automation::PageAutomation page(platform);
    page.pageDocument = RecordingDocument::NewReference(document);
    std::int32_t ordinal = 0;
    EXPECT_FALSE(page.FindElement(kButtons, "9", 0, ordinal));
    EXPECT_EQ(document->itemArgumentKinds, std::vector<Value::Kind>(3, Value::Kind::Double));
}

}  // namespace
}  // namespace autolabel::tests
