#include "app/commands.h"

#include <gtest/gtest.h>

#include "app/navigation_watch.h"
#include "tests/support/commands_fixture.h"

namespace autolabel::tests {
namespace {

using Strings = std::vector<std::string>;

constexpr const char* kThreeGroupsOfTwo =
    "<form><input type=radio name=a><input type=radio name=a>"
    "<input type=radio name=b><input type=radio name=b>"
    "<input type=radio name=c><input type=radio name=c>"
    "<input type=button id=back><input type=submit id=send></form>";

using Commands = CommandsFixture;

TEST_F(Commands, SelectAllOnAPageWithoutRadioButtonsReloadsOnce) {
    auto document = Show("<input type=text><input type=submit>");
    app::SelectAll();
    EXPECT_EQ(recorder->Selected(), Strings{"1"});
    EXPECT_EQ(window.reloads, 1);
    EXPECT_EQ(app::lastSelectResult, 0);
}

TEST_F(Commands, SelectAllPassesOverNumberTwoOnly) {
    auto one = Show("<input type=radio id=only>");
    app::SelectAll();
    EXPECT_EQ(recorder->Selected(), (Strings{"1", "3"}));
    EXPECT_TRUE(one->IsChecked("only"));

    recorder->operations.clear();
    auto two = Show("<input type=radio name=a><input type=radio name=b>");
    app::SelectAll();
    EXPECT_EQ(recorder->Selected(), (Strings{"1", "3"}));
    EXPECT_EQ(two->CheckedRadioNumbers(), (std::vector<int>{1}));
    EXPECT_EQ(window.reloads, 0);
}

TEST_F(Commands, SelectAllTicksThreeGroupsOfTwoAsTheLaterTicksReplaceEarlierOnes) {
    auto document = Show(kThreeGroupsOfTwo);
    app::SelectAll();
    EXPECT_EQ(recorder->Selected(), (Strings{"1", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(document->CheckedRadioNumbers(), (std::vector<int>{1, 4, 6}));
    EXPECT_EQ(window.reloads, 0);
    // Again on the same page: the same calls and the same outcome.
    recorder->operations.clear();
    app::SelectAll();
    EXPECT_EQ(recorder->Selected(), (Strings{"1", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(document->CheckedRadioNumbers(), (std::vector<int>{1, 4, 6}));
    EXPECT_EQ(document->liveReferences(), 1);  // only the held document
}

TEST_F(Commands, SelectAllWithoutAnyDocumentStillTriesAndReloads) {
    window.ShowPage(nullptr);
    platform.SetAnswer(window.documentWindow, DocumentAnswer::NoAnswer);
    app::SelectAll();
    EXPECT_EQ(recorder->operations, (Strings{"Bind", "Select 1"}));
    EXPECT_EQ(window.reloads, 1);
}

TEST_F(Commands, SubmitBindsThenPressesTheSecondControl) {
    auto document = Show(kThreeGroupsOfTwo);
    app::Submit();
    EXPECT_EQ(recorder->operations, (Strings{"Bind", "Click 2"}));
    EXPECT_EQ(document->clicks(), Strings{"input#send"});
    EXPECT_EQ(document->submittedForms(), 1);
    EXPECT_EQ(document->liveReferences(), 1);
}

TEST_F(Commands, SelectAllAndSubmitSubmitsTheDocumentThatFollowsTheReload) {
    auto empty = Show("<p>logged out</p>");
    auto fresh = Page("<input type=button id=x><input type=submit id=go>");
    window.SetReloadPages({fresh});
    app::SelectAllAndSubmit();
    EXPECT_EQ(recorder->operations, (Strings{"Bind", "Select 1", "Bind", "Click 2"}));
    EXPECT_EQ(fresh->clicks(), Strings{"input#go"});
    EXPECT_EQ(empty->liveReferences(), 0);
}

TEST_F(Commands, RefreshAndTheAutoSwitchesNeverBind) {
    Show(kThreeGroupsOfTwo);
    app::RefreshPage();
    app::AutoOn();
    EXPECT_EQ(window.timerPeriod, 3000);
    app::AutoOff();
    EXPECT_EQ(window.timerPeriod, 0);
    EXPECT_EQ(window.reloads, 1);
    EXPECT_TRUE(recorder->operations.empty());
}

TEST_F(Commands, AutoModeRunsOnePassPerPeriodUntilSwitchedOff) {
    auto document = Show(kThreeGroupsOfTwo);
    // Each post is answered with the same batch, served afresh.
    document->OnClick("send", [&] { ++window.document.number; });
    window.Click("按钮4");  // 开启自动
    window.AdvanceTime(2999);
    EXPECT_EQ(window.ticks, 0);
    window.AdvanceTime(1);
    EXPECT_EQ(window.ticks, 1);
    EXPECT_EQ(recorder->Count("Bind"), 2);
    EXPECT_EQ(recorder->Count("Click"), 1);
    window.Click("按钮4");  // on again: still one pass a period
    window.AdvanceTime(9000);
    EXPECT_EQ(window.ticks, 4);
    window.Click("按钮3");  // 关闭自动
    window.AdvanceTime(30000);
    EXPECT_EQ(window.ticks, 4);
    EXPECT_EQ(document->submittedForms(), 4);
}

TEST_F(Commands, OnAndOffWithinOnePeriodRunNoPass) {
    Show(kThreeGroupsOfTwo);
    window.Click("按钮4");
    window.AdvanceTime(2000);
    window.Click("按钮3");
    window.AdvanceTime(10000);
    EXPECT_EQ(window.ticks, 0);
    EXPECT_TRUE(recorder->operations.empty());
}

TEST_F(Commands, EveryTickRereadsTheBrowserWindowAndBindsTwiceEvenAfterAReload) {
    Show("<p>no posts</p>");
    WindowHandle oldControl = window.browserControl;
    // The browser control is re-created: the tick picks up its new handle.
    window.browserControl = 0;
    window.documentWindow = 0;
    window.BuildBrowser();
    EXPECT_EQ(app::browserWindow, oldControl);
    app::OnTimerTick();
    EXPECT_EQ(app::browserWindow, window.browserControl);
    EXPECT_EQ(recorder->operations, (Strings{"Bind", "Select 1", "Bind", "Click 2"}));
    EXPECT_EQ(window.reloads, 1);
}

TEST_F(Commands, APageThatIsNotReadyHoldsThePageCommandsButNotTheSwitchesOrTheReload) {
    auto document = Show(kThreeGroupsOfTwo);
    window.pageHold = app::PageHold::SentForm;  // the next batch is on its way
    for (const char* button : {"按钮1", "按钮2", "按钮6"}) window.Click(button);
    window.Click("按钮4");  // 开启自动
    window.AdvanceTime(6000);
    EXPECT_EQ(window.ticks, 2);
    EXPECT_TRUE(recorder->operations.empty());
    EXPECT_EQ(document->submittedForms(), 0);
    window.Click("按钮5");  // 刷新 unsticks a page
    EXPECT_EQ(window.reloads, 1);
    EXPECT_EQ(window.timerPeriod, 3000);

    // Ready again: the mode went on, and the next tick runs the pass.
    window.pageHold = app::PageHold::None;
    window.AdvanceTime(3000);
    EXPECT_EQ(recorder->operations, (Strings{"Bind", "Select 1", "Select 3", "Select 4", "Select 5",
                                             "Select 6", "Select 7", "Bind", "Click 2"}));
    EXPECT_EQ(document->submittedForms(), 1);
    window.Click("按钮3");  // 关闭自动, also while the page is not ready
    window.pageHold = app::PageHold::Dialog;
    window.Click("按钮4");
    window.Click("按钮3");
    EXPECT_EQ(window.timerPeriod, 0);
}

TEST(NavigationWatch, HoldsASentFormUntilItsCommitAndAnyOtherNavigationForTheBound) {
    auto now = app::NavigationWatch::Clock::time_point{};
    app::NavigationWatch watch([&] { return now; });
    EXPECT_FALSE(watch.Holds());
    watch.Started();
    now += std::chrono::seconds(29);
    watch.Started();  // a redirect: the bound still counts from the first start
    EXPECT_TRUE(watch.Holds());
    now += std::chrono::seconds(1);
    EXPECT_FALSE(watch.Holds());  // a load that hangs is worked on after 30 s
    watch.Ended();
    watch.Started();
    EXPECT_TRUE(watch.Holds());
    watch.Ended();
    EXPECT_FALSE(watch.Holds());

    // A form's navigation holds until its document is committed, however
    // late the answer; from the commit the bound counts afresh.
    using Kind = app::NavigationWatch::Kind;
    watch.Started(Kind::FormSubmission);
    now += std::chrono::minutes(5);
    EXPECT_TRUE(watch.Holds());
    EXPECT_TRUE(watch.WaitsForSentForm());
    watch.Committed();
    EXPECT_FALSE(watch.WaitsForSentForm());
    now += std::chrono::seconds(29);
    EXPECT_TRUE(watch.Holds());
    now += std::chrono::seconds(1);
    EXPECT_FALSE(watch.Holds());  // the new page hangs on an image: worked on
    EXPECT_TRUE(watch.OnItsWay());
    watch.Ended();
    EXPECT_FALSE(watch.OnItsWay());

    // A form sent during a load that is past its bound is held again.
    watch.Started();
    now += std::chrono::seconds(31);
    watch.Started(Kind::FormSubmission);
    EXPECT_TRUE(watch.Holds());
    // Replaced by another navigation (a link, 刷新 during a slow answer):
    // the batch shown was sent, so that one keeps the hold until its own
    // document is committed, however late.
    now += std::chrono::minutes(2);
    watch.Started();
    now += std::chrono::minutes(2);
    EXPECT_TRUE(watch.WaitsForSentForm());
    watch.Committed();
    now += std::chrono::seconds(29);
    EXPECT_TRUE(watch.Holds());
    now += std::chrono::seconds(1);
    EXPECT_FALSE(watch.Holds());

    // The tool's press holds from the press until the engine reports what
    // it led to, or for a short bound when it leads nowhere.
    watch.Ended();
    watch.Pressed();
    EXPECT_TRUE(watch.Holds());
    now += app::NavigationWatch::kPressBound;
    EXPECT_FALSE(watch.Holds());
    watch.Pressed();
    watch.Started(Kind::FormSubmission);
    now += std::chrono::minutes(1);
    EXPECT_TRUE(watch.WaitsForSentForm());
    // A commit with nothing on its way holds nothing.
    watch.Ended();
    watch.Committed();
    EXPECT_FALSE(watch.Holds());
}

// A browser whose document window is not the first of its siblings, so that
// the binding walk dispatches waiting messages on its way.
class ReentrantCommands : public Commands {
  protected:
    void SetUp() override {
        Commands::SetUp();
        window.browserControl = 0;
        window.BuildBrowser(BrowserLayout::ScrollBarFirst);
        app::browserWindow = window.browserControl;
    }
};

TEST_F(ReentrantCommands, AClickDuringTheBindingRunsItsWholeCommandInside) {
    auto document = Show(kThreeGroupsOfTwo);
    platform.PostMessage([&] { window.Click("按钮6"); });  // 全选并提交
    app::SelectAll();
    EXPECT_EQ(recorder->operations,
              (Strings{"Bind",                                                  // outer, walking
                       "Bind", "Select 1", "Select 3", "Select 4", "Select 5",  // inner SelectAll
                       "Select 6", "Select 7", "Bind", "Click 2",               // inner Submit
                       "Select 1", "Select 3", "Select 4", "Select 5",          // outer goes on
                       "Select 6", "Select 7"}));
    EXPECT_EQ(document->submittedForms(), 1);
    EXPECT_EQ(document->liveReferences(), 1);
}

TEST_F(ReentrantCommands, TheBindingThatFinishesLastDecidesTheDocument) {
    auto first = Show(kThreeGroupsOfTwo);
    auto next = Page("<input type=radio id=fresh>");
    // The nested Submit's click loads the next batch.
    first->OnClick("send", [&] { window.ShowPage(next); });
    platform.PostMessage([&] { window.Click("按钮2"); });
    app::SelectAll();
    EXPECT_EQ(first->clicks(), Strings{"input#send"});
    EXPECT_TRUE(next->IsChecked("fresh"));
    EXPECT_EQ(first->liveReferences(), 0);
    EXPECT_EQ(next->liveReferences(), 1);
}

TEST_F(ReentrantCommands, ATickDuringTheBindingRunsAWholePass) {
    auto document = Show(kThreeGroupsOfTwo);
    platform.PostMessage([&] { app::RunRoutine(app::Routine::OnTimerTick); });
    app::Submit();
    EXPECT_EQ(recorder->Count("Click"), 2);
    EXPECT_EQ(document->submittedForms(), 2);
    EXPECT_EQ(document->CheckedRadioNumbers(), (std::vector<int>{1, 4, 6}));
}

}  // namespace
}  // namespace autolabel::tests
