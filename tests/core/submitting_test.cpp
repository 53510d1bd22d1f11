#include <gtest/gtest.h>

#include "tests/support/page_fixture.h"

namespace autolabel::tests {
namespace {

TEST(ClickButton, PressesTheSecondButtonLikeControl) {
    BrowserPage browser("<form><input type=button id=b><input type=submit id=s></form>");
    browser.Bind();
    EXPECT_TRUE(browser.page.ClickButton("2", 0));
    EXPECT_EQ(browser.document->clicks(), (std::vector<std::string>{"input#s"}));
    EXPECT_EQ(browser.document->submittedForms(), 1);
}

TEST(ClickButton, PressesNothingWithASingleControl) {
    BrowserPage browser("<form><input type=submit id=s><input type=image><input type=text></form>");
    browser.Bind();
    EXPECT_FALSE(browser.page.ClickButton("2", 0));
    EXPECT_TRUE(browser.document->clicks().empty());
}

TEST(ClickButton, AFirstControlWithTheIdentifierIsPressedInstead) {
    BrowserPage browser("<input type=reset id=2><input type=submit id=s>");
    browser.Bind();
    EXPECT_TRUE(browser.page.ClickButton("2", 0));
    EXPECT_EQ(browser.document->clicks(), (std::vector<std::string>{"input#2"}));
}

TEST(ClickButton, CountsAllInputControlsBeforeButtonElements) {
    BrowserPage browser("<button id=b>ok</button><input type=submit id=s>");
    browser.Bind();
    EXPECT_TRUE(browser.page.ClickButton("2", 0));
    EXPECT_EQ(browser.document->clicks(), (std::vector<std::string>{"button#b"}));
}

TEST(ClickButton, FindsNothingWithoutADocument) {
    BrowserPage browser("<input type=submit><input type=submit>");
    EXPECT_FALSE(browser.page.ClickButton("2", 0));
    EXPECT_TRUE(browser.document->clicks().empty());
}

TEST(ClickButton, ReportsACallThatCouldNotBeMadeAsNoPress) {
    BrowserPage browser("<input type=submit id=a><input type=submit id=b>");
    browser.Bind();
    // The element is found, then the page's process goes away before the click.
    browser.document->DisconnectAt("click");
    EXPECT_FALSE(browser.page.ClickButton("2", 0));
    EXPECT_EQ(browser.document->CountCalls("input#b.click"), 1);
    EXPECT_TRUE(browser.document->clicks().empty());
}

TEST(ClickButton, TrueWhateverThePageDoesWithTheClick) {
    BrowserPage browser("<input type=submit id=a><input type=submit id=b>");
    browser.Bind();
    int handled = 0;
    // The page navigates away on submit: the old document is dropped by the browser.
    browser.document->OnClick("b", [&] {
        ++handled;
        browser.Show(Page("<p>next</p>"));
    });
    auto old = browser.document;
    EXPECT_TRUE(browser.page.ClickButton("2", 0));
    EXPECT_EQ(handled, 1);
    browser.page.pageDocument.Reset();
    EXPECT_EQ(old->liveReferences(), 0);
}

TEST(ClickButton, PassesItsSkipCountOnToTheLookup) {
    BrowserPage browser(
        "<form><input type=submit id=s1 name=go><input type=submit id=s2 name=go></form>");
    browser.Bind();
    EXPECT_EQ(browser.page.FindButton("go", 1).Read("id").ToText(), "s2");
    EXPECT_TRUE(browser.page.ClickButton("go", 1));
    EXPECT_EQ(browser.document->clicks(), (std::vector<std::string>{"input#s2"}));
    EXPECT_FALSE(browser.page.ClickButton("go", 2));
    EXPECT_EQ(browser.document->clicks().size(), 1u);
}

}  // namespace
}  // namespace autolabel::tests
