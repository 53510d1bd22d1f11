#include <gtest/gtest.h>

#include "tests/support/page_fixture.h"

namespace autolabel::tests {
namespace {

TEST(BindWindow, ObtainsTheDocumentBelowTheBrowserControl) {
    BrowserPage browser("<input type=radio>");
    EXPECT_TRUE(browser.Bind());
    EXPECT_EQ(browser.page.boundWindow, browser.browser);
    EXPECT_TRUE(browser.page.pageDocument);
    EXPECT_EQ(browser.document->liveReferences(), 1);
    EXPECT_EQ(browser.platform.lastSendFlags, browser_host::kSendAbortIfHung);
    EXPECT_EQ(browser.platform.lastSendTimeoutMs, 1000u);
}

TEST(BindWindow, ANonWindowChangesNothing) {
    BrowserPage browser("<p>");
    ASSERT_TRUE(browser.Bind());
    DomRef held = browser.page.pageDocument;
    WindowHandle doomed = browser.platform.CreateWindow("Button", browser.top);
    browser.platform.DestroyWindow(doomed);
    for (WindowHandle none : {0, doomed, -5}) {
        EXPECT_FALSE(browser.page.BindWindow(none));
        EXPECT_EQ(browser.page.boundWindow, browser.browser);
        EXPECT_EQ(browser.page.pageDocument, held);
    }
    EXPECT_EQ(browser.platform.documentRequests, 1);
}

TEST(BindWindow, AWindowWithNoDocumentWindowBelowKeepsTheEarlierDocument) {
    BrowserPage browser("<p>");
    WindowHandle button = browser.platform.CreateWindow("Button", browser.top);
    EXPECT_FALSE(browser.page.BindWindow(button));  // nothing held yet
    EXPECT_EQ(browser.page.boundWindow, button);
    ASSERT_TRUE(browser.Bind());
    DomRef held = browser.page.pageDocument;
    EXPECT_TRUE(browser.page.BindWindow(button));
    EXPECT_EQ(browser.page.boundWindow, button);
    EXPECT_EQ(browser.page.pageDocument, held);
}

TEST(BindWindow, AFailedRequestReleasesTheEarlierDocumentAndLeavesNone) {
    for (DocumentAnswer answer :
         {DocumentAnswer::NoAnswer, DocumentAnswer::Hung, DocumentAnswer::EmptyReply}) {
        BrowserPage browser("<input type=radio>");
        ASSERT_TRUE(browser.Bind());
        browser.platform.SetAnswer(browser.documentWindow, answer);
        EXPECT_FALSE(browser.Bind());
        EXPECT_EQ(browser.page.boundWindow, browser.browser);
        EXPECT_FALSE(browser.page.pageDocument);
        EXPECT_EQ(browser.document->liveReferences(), 0);
        // With nothing held, the page operations find nothing.
        EXPECT_FALSE(browser.page.SelectRadio("1", 0, false));
    }
}

TEST(BindWindow, AHungDocumentWindowIsGivenUpAtOnceAndASilentOneAfterTheBound) {
    BrowserPage browser("<p>");
    browser.platform.SetAnswer(browser.documentWindow, DocumentAnswer::Hung);
    browser.Bind();
    EXPECT_EQ(browser.platform.simulatedWaitMs, 0);
    browser.platform.SetAnswer(browser.documentWindow, DocumentAnswer::NoAnswer);
    browser.Bind();
    EXPECT_EQ(browser.platform.simulatedWaitMs, 1000);
}

TEST(BindWindow, RebindingHoldsOneReferenceToTheCurrentPage) {
    BrowserPage browser("<p>");
    browser.Bind();
    browser.Bind();
    EXPECT_EQ(browser.document->liveReferences(), 1);
    auto old = browser.document;
    browser.Show(Page("<input type=radio>"));
    browser.Bind();
    EXPECT_EQ(old->liveReferences(), 0);
    EXPECT_EQ(browser.document->liveReferences(), 1);
}

TEST(DocumentWindow, MatchesTheClassNameExactly) {
    for (const char* lookAlike :
         {"internet explorer_server", "Internet Explorer_Server2", "Internet Explorer_Serve",
          "Internet Explorer_Server Internet Explorer_Server Internet Explorer_Server"}) {
        ScriptedPlatform platform;
        automation::PageAutomation page(platform);
        WindowHandle parent = platform.CreateWindow("Shell Embedding");
        platform.CreateWindow(lookAlike, parent);
        EXPECT_EQ(page.FindDocumentWindow(parent), 0) << lookAlike;
    }
}

TEST(DocumentWindow, ClassNamesAreReadIntoFiftyBytes) {
    BrowserPage browser("<p>");
    browser.Bind();
    EXPECT_GT(browser.platform.CountLog("GetClassNameA(" + std::to_string(browser.documentWindow) +
                                        ",50)"),
              0);
    for (const std::string& entry : browser.platform.log) {
        if (entry.starts_with("GetClassNameA(")) {
            EXPECT_TRUE(entry.ends_with(",50)")) << entry;
        }
    }
}

TEST(DocumentWindow, SearchIsDepthFirstPreOrderAndSkipsTheParent) {
    ScriptedPlatform platform;
    automation::PageAutomation page(platform);
    WindowHandle parent = platform.CreateWindow("Internet Explorer_Server");
    WindowHandle first = platform.CreateWindow("Pane", parent);
    WindowHandle inner = platform.CreateWindow("Pane", first);
    WindowHandle deep = platform.CreateWindow("Internet Explorer_Server", inner);
    platform.CreateWindow("Internet Explorer_Server", parent);
    EXPECT_EQ(page.FindDocumentWindow(parent), deep);
    EXPECT_EQ(page.FindDocumentWindow(deep), 0);
}

TEST(DocumentWindow, AGivenDocumentWindowIsAskedWithoutASearch) {
    BrowserPage browser("<p>");
    DomRef target;
    EXPECT_TRUE(browser.page.AcquireDocument(browser.documentWindow, target));
    EXPECT_EQ(browser.platform.CountLog("FindWindowExA"), 0);
    EXPECT_TRUE(target);
}

TEST(AcquireDocument, LeavesTheTargetUntouchedWhenNoDocumentWindowIsFound) {
    BrowserPage browser("<p>");
    DomRef target = browser.document->NewReference();
    DomRef before = target;
    WindowHandle lone = browser.platform.CreateWindow("Static");
    EXPECT_FALSE(browser.page.AcquireDocument(lone, target));
    EXPECT_EQ(target, before);
    EXPECT_EQ(browser.platform.CountLog("RegisterWindowMessageA"), 0);
}

TEST(AcquireDocument, RegistersTheMessageOnEveryCallAndReplacesTheTarget) {
    BrowserPage browser("<p>");
    DomRef target;
    EXPECT_TRUE(browser.page.AcquireDocument(browser.browser, target));
    EXPECT_TRUE(browser.page.AcquireDocument(browser.browser, target));
    EXPECT_EQ(browser.platform.CountLog("RegisterWindowMessageA(WM_HTML_GETOBJECT)"), 2);
    EXPECT_EQ(browser.document->liveReferences(), 1);
    browser.platform.SetAnswer(browser.documentWindow, DocumentAnswer::EmptyReply);
    EXPECT_FALSE(browser.page.AcquireDocument(browser.browser, target));
    EXPECT_FALSE(target);
    EXPECT_EQ(browser.document->liveReferences(), 0);
}

// Waiting messages run only when the walk moves on to a next sibling.
TEST(BindingWalk, DispatchesOnlyWhenMovingToANextSibling) {
    ScriptedPlatform platform;
    automation::PageAutomation page(platform);
    WindowHandle chainTop = platform.CreateWindow("A");
    WindowHandle chainMid = platform.CreateWindow("B", chainTop);
    WindowHandle chainEnd = platform.CreateWindow("C", chainMid);
    platform.CreateWindow("Internet Explorer_Server", chainEnd);
    EXPECT_NE(page.FindDocumentWindow(chainTop), 0);
    EXPECT_EQ(platform.dispatchCalls, 0);  // a chain of single children

    WindowHandle childless = platform.CreateWindow("Empty");
    EXPECT_EQ(page.FindDocumentWindow(childless), 0);
    EXPECT_EQ(platform.dispatchCalls, 0);

    WindowHandle parent = platform.CreateWindow("P");
    platform.CreateWindow("X", parent);
    platform.CreateWindow("Y", parent);
    platform.CreateWindow("Z", parent);
    EXPECT_EQ(page.FindDocumentWindow(parent), 0);
    EXPECT_EQ(platform.dispatchCalls, 3);  // after X, after Y, and after Z's "no next"
}

TEST(BindingWalk, AWindowDestroyedDuringTheWalkEndsThatLevel) {
    ScriptedPlatform platform;
    automation::PageAutomation page(platform);
    WindowHandle parent = platform.CreateWindow("P");
    WindowHandle level = platform.CreateWindow("Level", parent);
    platform.CreateWindow("First", level);
    WindowHandle second = platform.CreateWindow("Second", level);
    platform.CreateWindow("Internet Explorer_Server", level);  // never reached
    WindowHandle later = platform.CreateWindow("Internet Explorer_Server", parent);
    // The walk has taken Second as First's next sibling when the queued
    // command destroys it: Second has no next sibling any more, so that level
    // ends and the search goes on one level up.
    platform.PostMessage([&] { platform.DestroyWindow(second); });
    EXPECT_EQ(page.FindDocumentWindow(parent), later);
}

TEST(DocumentWindow, AWindowIsTestedBeforeItsDescendants) {
    ScriptedPlatform platform;
    automation::PageAutomation page(platform);
    WindowHandle parent = platform.CreateWindow("Shell Embedding");
    WindowHandle outer = platform.CreateWindow("Internet Explorer_Server", parent);
    platform.CreateWindow("Internet Explorer_Server", outer);
    EXPECT_EQ(page.FindDocumentWindow(parent), outer);
}

}  // namespace
}  // namespace autolabel::tests
