// The browser both windows share, over an engine in memory: what the owner
// is told, the readiness and its recheck, the reload carried out, the keys.
#include "app/browser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace autolabel::tests {
namespace {

using app::PageHold;
using Strings = std::vector<std::string>;

class EngineInMemory final : public app::Browser, private app::Browser::Delegate {
  public:
    EngineInMemory() : app::Browser(static_cast<app::Browser::Delegate&>(*this)) {
        Navigation().SetClock([this] { return now; });
    }

    app::NavigationWatch::Clock::time_point now{};
    app::ShownPage shown{"http://forum.invalid/cuseraudit/browser", false, {}};
    bool dialog = false, loading = false, refuses = false, putsOff = false;
    double zoom = 1.0;
    bool rechecking = false;
    Strings calls;           // what the engine was asked, in order
    std::vector<bool> told;  // what the owner was told, in order
    int reloadsRequested = 0;

    // The engine's view goes, as a shell's does: its recheck stopped.
    void ViewGone() {
        rechecking = false;
        ForgetReadiness();
    }

  private:
    app::ShownPage PageShown() override { return shown; }
    bool BeginReload() override { return !putsOff; }
    bool ReloadFromServer() override {
        calls.push_back("reload");
        return !refuses;
    }
    bool NavigateTo(const std::string& address) override {
        calls.push_back("go " + address);
        return !refuses;
    }
    void ReloadStarted(app::ReloadDecision::Kind) override { Navigation().Started(); }
    void GoBack() override { calls.push_back("back"); }
    void GoForward() override { calls.push_back("forward"); }
    void StopLoading() override { calls.push_back("stop"); }
    double ZoomLevel() override { return zoom; }
    void SetZoomLevel(double level) override { zoom = level; }
    bool ShowsDialog() override { return dialog; }
    bool IsLoading() override { return loading; }
    void SetReadinessRecheck(bool on) override { rechecking = on; }

    Browser* OpenNewWindow(Browser&) override { return nullptr; }
    void CloseWindow(Browser&) override {}
    void ReloadRequested(Browser&) override { ++reloadsRequested; }
    void ReadinessChanged(Browser&, bool ready) override { told.push_back(ready); }
};

TEST(Browser, TellsItsOwnerOnceWhenTheReadinessTurnsAndRechecksMeanwhile) {
    EngineInMemory browser;
    browser.CheckReadiness();
    EXPECT_TRUE(browser.told.empty());  // ready from the start: nothing to tell
    EXPECT_FALSE(browser.rechecking);

    browser.Navigation().Started(app::NavigationWatch::Kind::FormSubmission);
    browser.CheckReadiness();
    browser.CheckReadiness();
    EXPECT_EQ(browser.Hold(), PageHold::SentForm);
    EXPECT_EQ(browser.told, std::vector<bool>{false});
    EXPECT_TRUE(browser.rechecking);
    // A dialog over a page that waits is the more pressing reason.
    browser.dialog = true;
    EXPECT_EQ(browser.Hold(), PageHold::Dialog);
    browser.dialog = false;

    // The answer's page commits: held for the bound from the commit, then
    // the recheck finds the end of the bound, which comes with no event.
    browser.Navigation().Committed();
    browser.CheckReadiness();
    EXPECT_EQ(browser.Hold(), PageHold::Loading);
    browser.now += app::NavigationWatch::kBound;
    browser.CheckReadiness();
    EXPECT_EQ(browser.told, (std::vector<bool>{false, true}));
    EXPECT_FALSE(browser.rechecking);

    // The tool's press waits as a sent form does until the engine reports
    // what it led to, and no longer than its short bound when it leads nowhere.
    browser.Pressed();
    EXPECT_EQ(browser.Hold(), PageHold::SentForm);
    browser.now += app::NavigationWatch::kPressBound;
    browser.CheckReadiness();
    EXPECT_EQ(browser.told, (std::vector<bool>{false, true, false, true}));

    // The view goes while the page is held, and the next one holds again:
    // the owner is told again and the recheck starts again.
    browser.Navigation().Ended();
    browser.Navigation().Started();
    browser.CheckReadiness();
    ASSERT_TRUE(browser.rechecking);
    browser.ViewGone();
    browser.CheckReadiness();
    EXPECT_TRUE(browser.rechecking);
    EXPECT_EQ(browser.told, (std::vector<bool>{false, true, false, true, false, false}));
}

TEST(Browser, ReloadNeverSendsAFormAgainNorRunsUnderADialog) {
    EngineInMemory browser;
    browser.Reload();
    EXPECT_EQ(browser.calls, Strings{"reload"});
    EXPECT_EQ(browser.Hold(), PageHold::Loading);  // held from the moment it is asked
    EXPECT_TRUE(browser.rechecking);
    browser.Navigation().Ended();

    // A form's answer is asked for afresh at its address.
    browser.calls.clear();
    browser.shown.fromForm = true;
    browser.Reload();
    EXPECT_EQ(browser.calls, Strings{"go http://forum.invalid/cuseraudit/browser"});
    browser.Navigation().Ended();

    // Refused by the engine, put off by it, or under a dialog: no hold.
    browser.calls.clear();
    browser.refuses = true;
    browser.Reload();
    EXPECT_TRUE(browser.IsPageReady());
    browser.refuses = false;
    browser.putsOff = true;
    browser.Reload();
    browser.putsOff = false;
    browser.dialog = true;
    browser.Reload();
    EXPECT_EQ(browser.calls, Strings{"go http://forum.invalid/cuseraudit/browser"});
}

TEST(Browser, KeysActOnTheEngineWithWhatTheBrowserKnowsOfItsLoadAndDialog) {
    EngineInMemory browser;
    using app::Key;
    EXPECT_FALSE(browser.HandleKey({Key::Escape}));  // nothing to stop: the page's
    browser.loading = true;
    EXPECT_TRUE(browser.HandleKey({Key::Escape}));
    browser.dialog = true;
    EXPECT_FALSE(browser.HandleKey({Key::Escape}));  // the dialog's
    browser.dialog = false;
    EXPECT_TRUE(browser.HandleKey({.key = Key::Left, .alt = true}));
    EXPECT_TRUE(browser.HandleKey({.key = Key::Right, .alt = true}));
    EXPECT_EQ(browser.calls, (Strings{"stop", "back", "forward"}));

    // F5 is the owner's reload (the main window's is 刷新), not the engine's.
    EXPECT_TRUE(browser.HandleKey({Key::F5}));
    EXPECT_EQ(browser.reloadsRequested, 1);
    EXPECT_EQ(browser.calls.size(), 3u);

    EXPECT_TRUE(browser.HandleKey({.key = Key::Plus, .control = true}));
    EXPECT_DOUBLE_EQ(browser.zoom, app::ZoomedIn(1.0));
    EXPECT_TRUE(browser.HandleKey({.key = Key::Zero, .control = true}));
    EXPECT_DOUBLE_EQ(browser.zoom, 1.0);
    EXPECT_TRUE(browser.HandleKey({Key::Backspace}));  // swallowed outside a field
    EXPECT_EQ(browser.calls.size(), 3u);
}

TEST(PageWindow, TakesThePagesSizeWhereSensibleAndItsTitleElseItsAddress) {
    EXPECT_EQ(app::PageWindowSizeFor(480, 360), (app::PageWindowSize{480, 360}));
    EXPECT_EQ(app::PageWindowSizeFor(0, 0), (app::PageWindowSize{900, 640}));
    EXPECT_EQ(app::PageWindowSizeFor(1, 500), (app::PageWindowSize{900, 500}));
    EXPECT_EQ(app::PageWindowTitle("帖子详情", "http://forum.invalid/p/1"), "帖子详情");
    EXPECT_EQ(app::PageWindowTitle("", "http://forum.invalid/p/1"), "http://forum.invalid/p/1");
}

}  // namespace
}  // namespace autolabel::tests
