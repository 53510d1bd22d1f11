#include "app/program.h"

#include <gtest/gtest.h>

#include <cfenv>

#include "app/commands.h"
#include "tests/support/page_fixture.h"
#include "tests/support/scripted_main_window.h"

namespace autolabel::testing {
namespace {

TEST(Program, StartsWithThePageObjectTheBrowserHandleAndTheTimerStopped) {
    ScriptedPlatform platform;
    ScriptedMainWindow window(platform);
    auto document = Page("<input type=radio id=r><input type=submit><input type=submit>");
    window.ShowPage(document);
    bool checked = false;
    window.SetSession({[&](ScriptedMainWindow& w) {
        checked = true;
        EXPECT_TRUE(app::page);
        EXPECT_EQ(platform.coInitializeCalls, 1);
        EXPECT_TRUE(w.created);
        EXPECT_EQ(app::browserWindow, w.browserControl);
        EXPECT_EQ(app::mainWindow, &w);
        EXPECT_EQ(w.timerPeriod, -1);  // never started
        w.AdvanceTime(60000);
        EXPECT_EQ(w.ticks, 0);
        EXPECT_EQ(std::fegetround(), FE_TONEAREST);
        // Window creation binds nothing.
        EXPECT_EQ(platform.documentRequests, 0);
        EXPECT_FALSE(app::page->pageDocument);
    }});
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(app::RunProgram(platform, window, "http://localhost:8080/x"), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(window.startAddress, "http://localhost:8080/x");
    EXPECT_TRUE(document->CheckedRadioNumbers().empty());
    EXPECT_TRUE(document->clicks().empty());
}

// What the window's creation sets off may already use the page object, so
// the object, with COM initialised, comes first.
TEST(Program, CreatesThePageObjectWithCOMBeforeTheWindowAndItsBrowser) {
    struct WatchingWindow : ScriptedMainWindow {
        explicit WatchingWindow(ScriptedPlatform& platform)
            : ScriptedMainWindow(platform), platform(platform) {}
        void CreateMainWindow(const app::WindowDefinition& definition,
                              const std::string& address) override {
            pageAtCreation = app::page != nullptr;
            comAtCreation = platform.coInitializeCalls;
            browserAtCreation = browserControl;
            if (app::page) documentAtCreation = static_cast<bool>(app::page->pageDocument);
            ScriptedMainWindow::CreateMainWindow(definition, address);
        }
        ScriptedPlatform& platform;
        bool pageAtCreation = false;
        int comAtCreation = -1;
        WindowHandle browserAtCreation = -1;
        bool documentAtCreation = true;
    };
    ScriptedPlatform platform;
    WatchingWindow window(platform);
    EXPECT_EQ(app::RunProgram(platform, window, "about:blank"), 0);
    EXPECT_TRUE(window.pageAtCreation);
    EXPECT_EQ(window.comAtCreation, 1);
    EXPECT_EQ(window.browserAtCreation, 0);  // the browser comes with the window
    EXPECT_FALSE(window.documentAtCreation);
    EXPECT_NE(window.browserControl, 0);
}

TEST(Program, ClosingWithAutoModeOnDestroysThePageObjectOnce) {
    ScriptedPlatform platform;
    ScriptedMainWindow window(platform);
    auto document = Page("<input type=radio id=r><input type=button><input type=submit id=s>");
    window.ShowPage(document);
    window.SetSession({
        [](ScriptedMainWindow& w) { w.Click("按钮4"); },
        [](ScriptedMainWindow& w) { w.AdvanceTime(3000); },
        [](ScriptedMainWindow& w) { w.Close(); },
        [](ScriptedMainWindow& w) { w.Click("按钮1"); },  // after closing: never runs
    });
    EXPECT_EQ(app::RunProgram(platform, window, "about:blank"), 0);
    EXPECT_EQ(window.ticks, 1);
    EXPECT_EQ(document->clicks(), std::vector<std::string>{"input#s"});
    EXPECT_FALSE(app::page);
    EXPECT_EQ(app::mainWindow, nullptr);
    EXPECT_EQ(platform.coInitializeCalls, 1);
    EXPECT_EQ(platform.coUninitializeCalls, 1);
    EXPECT_EQ(document->liveReferences(), 0);
    app::ExitRoutine();  // the process-end run finds nothing left to do
    EXPECT_EQ(platform.coUninitializeCalls, 1);
    // Nothing runs once the loop has ended, not even a late tick.
    app::OnTimerTick();
    app::SelectAllAndSubmit();
    EXPECT_EQ(document->clicks().size(), 1u);
}

TEST(Program, TheGroupBoxEventChangesNothing) {
    ScriptedPlatform platform;
    ScriptedMainWindow window(platform);
    auto document = Page("<input type=radio><input type=submit><input type=submit>");
    window.ShowPage(document);
    window.SetSession({[](ScriptedMainWindow& w) {
        w.Click("单选分组框1");
        w.Click("单选分组框2");
        w.Click("超文本浏览框1");
    }});
    app::RunProgram(platform, window, "about:blank");
    EXPECT_EQ(platform.documentRequests, 0);
    EXPECT_EQ(window.reloads, 0);
    EXPECT_EQ(window.timerPeriod, -1);
}

TEST(PageAutomationLifetime, CopiesKeepCOMAndReferencesInBalance) {
    BrowserPage browser("<p>");
    browser.Bind();
    {
        page::PageAutomation copy(browser.page);
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
        page::PageAutomation page(platform);
        EXPECT_TRUE(page.BindWindow(documentWindow));
        EXPECT_EQ(platform.watched->liveReferences(), 1);
    }
    EXPECT_EQ(platform.referencesAtUninitialize, 0);
    EXPECT_EQ(platform.coUninitializeCalls, 1);
}

TEST(CommandLine, TakesOneOptionalStartAddress) {
    const char* none[] = {"autolabel"};
    auto defaults = app::ParseCommandLine(1, none);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->startAddress, app::DefaultStartAddress());
    EXPECT_TRUE(defaults->startAddress.starts_with("http://"));
    EXPECT_TRUE(defaults->startAddress.ends_with("/cuseraudit/browser"));

    const char* one[] = {"autolabel", "file:///tmp/page.html"};
    EXPECT_EQ(app::ParseCommandLine(2, one)->startAddress, "file:///tmp/page.html");

    const char* two[] = {"autolabel", "a", "b"};
    const char* option[] = {"autolabel", "--help"};
    const char* empty[] = {"autolabel", ""};
    EXPECT_FALSE(app::ParseCommandLine(3, two));
    EXPECT_FALSE(app::ParseCommandLine(2, option));
    EXPECT_FALSE(app::ParseCommandLine(2, empty));
    EXPECT_NE(app::UsageText("autolabel").find("usage: autolabel"), std::string::npos);
}

TEST(WindowDefinition, ButtonsSitInARowInsideTheirFramesBelowTheBrowser) {
    const app::ControlDefinition* browser = app::FindControl("超文本浏览框1");
    const app::ControlDefinition* autoArea = app::FindControl("单选分组框1");
    const app::ControlDefinition* manualArea = app::FindControl("单选分组框2");
    ASSERT_TRUE(browser && autoArea && manualArea);
    EXPECT_EQ(app::MainWindowDefinition().controls.size(), 10u);
    auto inside = [](const app::ControlDefinition* c, const app::ControlDefinition* frame) {
        return c->left >= frame->left && c->left + c->width <= frame->left + frame->width &&
               c->top >= frame->top && c->top + c->height <= frame->top + frame->height;
    };
    int lastLeft = -1;
    for (const char* name : {"按钮4", "按钮3"}) {
        const app::ControlDefinition* button = app::FindControl(name);
        EXPECT_TRUE(inside(button, autoArea)) << name;
        EXPECT_GT(button->left, lastLeft);
        lastLeft = button->left;
    }
    lastLeft = -1;
    for (const char* name : {"按钮1", "按钮2", "按钮6", "按钮5"}) {
        const app::ControlDefinition* button = app::FindControl(name);
        EXPECT_TRUE(inside(button, manualArea)) << name;
        EXPECT_GT(button->left, lastLeft);
        EXPECT_GE(button->top, browser->top + browser->height);
        lastLeft = button->left;
    }
    EXPECT_EQ(browser->caption, app::DefaultStartAddress());
    EXPECT_EQ(autoArea->font, &app::GroupBoxFont());
    EXPECT_EQ(app::FindControl("按钮1")->font, nullptr);
}

}  // namespace
}  // namespace autolabel::testing
