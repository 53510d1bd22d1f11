#include "page/page_automation.h"

#include <gtest/gtest.h>

#include "tests/support/page_fixture.h"

namespace autolabel::tests {
namespace {

TEST(PageAutomationLifetime, CopiesKeepCOMAndReferencesInBalance) {
    BrowserPage browser("<p>");
    browser.Bind();
    {
        automation::PageAutomation copy(browser.page);
        EXPECT_EQ(copy.boundWindow, browser.browser);
        EXPECT_EQ(copy.pageDocument, browser.page.pageDocument);
        EXPECT_EQ(browser.document->liveReferences(), 2);
        EXPECT_EQ(browser.platform.coInitializeCalls, 2);
    }
    EXPECT_EQ(browser.platform.coUninitializeCalls, 1);
    EXPECT_EQ(browser.document->liveReferences(), 1);
}

TEST(PageAutomationLifetime, DestructionReleasesTheDocumentWhileCOMIsStillUp) {
    // Notes how many references the page holds when COM goes away.
    struct WatchingPlatform : ScriptedPlatform {
        std::shared_ptr<ScriptedDocument> watched;
        long referencesAtUninitialize = -1;
        void CoUninitialize() override {
            referencesAtUninitialize = watched ? watched->liveReferences() : -1;
            ScriptedPlatform::CoUninitialize();
        }
    } platform;
    WindowHandle documentWindow = platform.CreateWindow("Internet Explorer_Server");
    platform.watched = Page("<p>");
    platform.SetDocument(documentWindow, platform.watched);
    {
        automation::PageAutomation page(platform);
        EXPECT_TRUE(page.BindWindow(documentWindow));
        EXPECT_EQ(platform.watched->liveReferences(), 1);
    }
    EXPECT_EQ(platform.referencesAtUninitialize, 0);
    EXPECT_EQ(platform.coUninitializeCalls, 1);
}

}  // namespace
}  // namespace autolabel::tests
