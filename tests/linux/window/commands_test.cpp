// The six buttons pressed with real clicks on the real window, and the
// page's resulting state read back.
#include <gtest/gtest.h>

#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

// Counts its loads in the session, so a reload shows as a second load.
constexpr const char* kLoadCounter = R"(<script>
  const loads = Number(sessionStorage.getItem(location.pathname) || 0) + 1;
  sessionStorage.setItem(location.pathname, loads);
  addEventListener('DOMContentLoaded', () => document.getElementById('loads').textContent = loads);
</script><p id=loads></p>)";

// Submitting is recorded in the page instead of leaving it.
constexpr const char* kSubmitLog = R"(<pre id=log></pre><script>
  const log = (s) => document.getElementById('log').textContent += s + ';';
  addEventListener('submit', (e) => { e.preventDefault(); log('submit:' + e.submitter.id); }, true);
  addEventListener('click', (e) => { if (e.target.id) log('click:' + e.target.id); }, true);
</script>)";

std::string Page(std::string_view body) {
    return std::string("<!DOCTYPE html><meta charset=utf-8><body>") + kLoadCounter + kSubmitLog +
           std::string(body) + "</body>";
}

class Commands : public testing::Test {
  protected:
    Harness& h = Harness::Get();
    bool Show(std::string_view body) { return h.LoadHtml(Page(body)); }
    // Waits until the page has counted this many loads and stopped loading.
    testing::AssertionResult WaitForLoads(const std::string& count) {
        return h.WaitUntil(
            "the page's load " + count,
            [&] { return !webkit_web_view_is_loading(h.view()) && h.Text("loads") == count; },
            [&] { return "load " + h.Text("loads") + ", " + h.DescribeView(); });
    }
    // Waits until the page's log reads `want`.
    testing::AssertionResult WaitForLog(const std::string& want) {
        return h.WaitUntil(
            "the page's log to read \"" + want + "\"", [&] { return h.Text("log") == want; },
            [&] { return "\"" + h.Text("log") + "\""; });
    }
};

TEST_F(Commands, SelectAllTicksOneThreeFourAndOnOfSixRadios) {
    ASSERT_TRUE(Show(R"(<form>
        <p><input type=radio name=a><input type=radio name=a></p>
        <p><input type=radio name=b><input type=radio name=b></p>
        <p><input type=radio name=c><input type=radio name=c></p></form>)"));
    ASSERT_TRUE(h.Press("按钮1"));
    // 1 ticks a's first; 3 then 4 leave b's second; 5 then 6 leave c's second.
    EXPECT_EQ(h.RadioStates(), "100101");
    EXPECT_EQ(h.Text("loads"), "1");
    // Pressing again gives the same outcome.
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "100101");
}

TEST_F(Commands, OneAndTwoRadioPages) {
    ASSERT_TRUE(Show("<input type=radio name=a>"));
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "1");
    EXPECT_EQ(h.Text("loads"), "1");

    // Number 2 is passed over: the second radio button is never tried.
    ASSERT_TRUE(Show("<input type=radio name=a><input type=radio name=b>"));
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "10");
    EXPECT_EQ(h.Text("loads"), "1");
}

TEST_F(Commands, NoRadioPageIsReloadedOnce) {
    ASSERT_TRUE(Show("<input type=checkbox><input type=text>"));
    const int before = h.loadsFinished();
    ASSERT_TRUE(h.Press("按钮1"));
    ASSERT_TRUE(WaitForLoads("2"));
    ASSERT_TRUE(h.WaitQuiet());
    EXPECT_EQ(h.Text("loads"), "2");
    EXPECT_EQ(h.loadsFinished(), before + 1);
}

TEST_F(Commands, NumberNamedRadioComesFirstAndOtherKindsAreNotCounted) {
    // Radio 4 by count is r4; the earlier radio named "4" is taken instead.
    ASSERT_TRUE(Show(R"(<input type=radio name=x id=r1><input type=text name=1>
        <input type=radio name=4 id=n4><input type=checkbox><input type=hidden>
        <input type=radio name=y id=r3><input type=button value=b>
        <input type=radio name=y id=r4><input type=radio name=z id=r5>)"));
    ASSERT_TRUE(h.Press("按钮1"));
    // 1: r1 (the text field named "1" is no radio); 3: r3; 4: n4 by name;
    // 5: r5; 6 ends the run.
    EXPECT_EQ(h.RadioStates(), "11101");
}

TEST_F(Commands, SubmitPressesTheSecondButtonLikeControl) {
    ASSERT_TRUE(Show(R"(<form><button id=el type=submit>el</button>
        <input type=button id=first value=f><input type=image id=img alt=i>
        <input type=text id=txt><input type=submit id=second></form>)"));
    ASSERT_TRUE(h.Press("按钮2"));
    EXPECT_TRUE(WaitForLog("click:second;submit:second;"));
}

TEST_F(Commands, InputControlsCountBeforeButtonElements) {
    ASSERT_TRUE(Show(R"(<form><input type=submit id=only>
        <button id=el type=submit>el</button></form>)"));
    ASSERT_TRUE(h.Press("按钮2"));
    EXPECT_TRUE(WaitForLog("click:el;submit:el;"));
}

TEST_F(Commands, SubmitWithOneControlPressesNothing) {
    ASSERT_TRUE(Show("<form><input type=submit id=only></form>"));
    ASSERT_TRUE(h.Press("按钮2"));
    h.PumpFor(300ms);
    EXPECT_EQ(h.Text("log"), "");
}

TEST_F(Commands, SelectAllAndSubmitTicksThenSubmits) {
    ASSERT_TRUE(Show(R"(<form><input type=radio name=a><input type=radio name=a>
        <input type=radio name=b><input type=button id=skip><input type=submit id=go></form>
        <script>addEventListener('submit', () => log('ticked:' +
          document.querySelectorAll(':checked').length), true);</script>)"));
    ASSERT_TRUE(h.Press("按钮6"));
    EXPECT_TRUE(WaitForLog("click:go;submit:go;ticked:2;"));
    EXPECT_EQ(h.RadioStates(), "101");
}

TEST_F(Commands, RefreshReloadsTheShownPage) {
    ASSERT_TRUE(Show("<input type=radio>"));
    ASSERT_TRUE(h.Press("按钮5"));
    EXPECT_TRUE(WaitForLoads("2"));
}

TEST_F(Commands, RadiosInsideFramesAreNotFound) {
    ASSERT_TRUE(Show(R"(<iframe id=f srcdoc="<input type=radio id=inner>"></iframe>
        <script>addEventListener('load', () => document.getElementById('f')
          .contentDocument.getElementById('inner').addEventListener('change',
          () => log('inner ticked')));</script>)"));
    ASSERT_TRUE(h.Press("按钮1"));
    // No radio in the page itself: the page is reloaded, the frame's stays unticked.
    ASSERT_TRUE(WaitForLoads("2"));
    const auto inner = [&] {
        return h.Eval(
            "document.getElementById('f').contentDocument.getElementById('inner').checked");
    };
    ASSERT_TRUE(h.WaitUntil(
        "the reloaded frame's radio button", [&] { return inner() == "false"; }, inner));
}

TEST_F(Commands, ClicksOnTheGroupBoxesChangeNothing) {
    ASSERT_TRUE(Show("<form><input type=radio><input type=button><input type=submit></form>"));
    // The middle of each frame lies between two of its buttons.
    for (const char* box : {"单选分组框1", "单选分组框2"}) {
        int x = 0, y = 0;
        ASSERT_TRUE(h.ControlCenter(box, x, y));
        ASSERT_TRUE(h.ClickAt(x, y));
        h.PumpFor(200ms);
    }
    ASSERT_TRUE(h.ClickAt(0, 0));  // and off the window
    h.PumpFor(3200ms);             // long enough for a pass, had the timer started
    EXPECT_EQ(h.RadioStates(), "0");
    EXPECT_EQ(h.Text("log"), "");
    EXPECT_EQ(h.Text("loads"), "1");
    EXPECT_EQ(h.window().TimerPeriod(), 0);
}

}  // namespace
}  // namespace autolabel::tests::linux
