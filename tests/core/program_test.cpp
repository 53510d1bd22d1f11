#include "app/program.h"

#include <gtest/gtest.h>

#include <cfenv>

#include "app/commands.h"
#include "tests/support/page_fixture.h"
#include "tests/support/scripted_main_window.h"

namespace autolabel::tests {
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

}  // namespace
}  // namespace autolabel::tests
