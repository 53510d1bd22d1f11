// The automatic mode on the real window: a pass (select all, then submit)
// every 3000 ms once switched on, none before, none after switching off.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

// Each submit is one pass; the page keeps the count, the time of each pass
// (the system's clock, as the tests read it), stays put, and shows the next
// batch of posts in place, as a page that sends by script does.
constexpr const char* kPassCounter = R"(<!DOCTYPE html><body><form>
  <div><p class=post>batch 0, post a</p><input type=radio name=a><input type=radio name=a></div>
  <div><p class=post>batch 0, post b</p><input type=radio name=b></div>
  <input type=button id=first><input type=submit id=second></form>
  <p id=passes>0</p><p id=times></p><script>
  addEventListener('submit', (e) => {
    e.preventDefault();
    const p = document.getElementById('passes');
    p.textContent = Number(p.textContent) + 1;
    document.getElementById('times').textContent += Date.now() + ' ';
    for (const r of document.querySelectorAll('input[type=radio]')) r.checked = false;
    for (const post of document.querySelectorAll('.post'))
      post.textContent = post.textContent.replace(/batch \d+/, 'batch ' + p.textContent);
  });
</script></body>)";

constexpr std::int64_t kPeriodMs = 3000;

class AutoMode : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(h.LoadHtml(kPassCounter)); }
    void TearDown() override {
        h.Press("按钮3");  // leave it off for the next test
    }
    int Passes() { return std::stoi("0" + h.Text("passes")); }
    // When each pass ran, in milliseconds of the system's clock.
    std::vector<std::int64_t> PassTimes() {
        std::vector<std::int64_t> times;
        std::istringstream text(h.Text("times"));
        for (std::int64_t t = 0; text >> t;) times.push_back(t);
        return times;
    }
    static std::int64_t Now() { return g_get_real_time() / 1000; }
    testing::AssertionResult WaitForPasses(int count) {
        return h.WaitUntil(
            std::to_string(count) + " passes", [&] { return Passes() >= count; },
            [&] { return std::to_string(Passes()) + " passes"; }, (count + 2) * 1ms * kPeriodMs);
    }
    // Consecutive passes lie one period apart: never less (the timer waits a
    // whole period from the start of a pass, a pass takes its time before it
    // submits), and not a second period more.
    void ExpectOnePeriodApart(const std::vector<std::int64_t>& times) {
        for (std::size_t i = 1; i < times.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_GE(times[i] - times[i - 1], kPeriodMs - 500);
            EXPECT_LT(times[i] - times[i - 1], 2 * kPeriodMs);
        }
    }
    Harness& h = Harness::Get();
};

TEST_F(AutoMode, NothingBeforeTheFirstPressThenOnePassEveryPeriod) {
    h.PumpFor(3500ms);
    EXPECT_EQ(Passes(), 0);
    EXPECT_EQ(h.RadioStates(), "000");
    const std::int64_t pressed = Now();
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForPasses(2));
    const auto times = PassTimes();
    ASSERT_GE(times.size(), 2u);
    EXPECT_GE(times[0] - pressed, kPeriodMs) << "a pass came before the first period ended";
    ExpectOnePeriodApart(times);
}

TEST_F(AutoMode, OffStopsThePasses) {
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForPasses(1));
    ASSERT_TRUE(h.Press("按钮3"));
    ASSERT_EQ(Passes(), 1);
    h.PumpFor(3500ms);  // longer than a period: a pass would have come
    EXPECT_EQ(Passes(), 1);
}

TEST_F(AutoMode, OnTwiceIsStillOnePassAPeriod) {
    ASSERT_TRUE(h.Press("按钮4"));
    h.PumpFor(1000ms);
    const std::int64_t again = Now();
    ASSERT_TRUE(h.Press("按钮4"));  // restarts the interval
    ASSERT_TRUE(WaitForPasses(2));
    const auto times = PassTimes();
    ASSERT_GE(times.size(), 2u);
    EXPECT_GE(times[0] - again, kPeriodMs) << "the first interval went on";
    ExpectOnePeriodApart(times);
}

TEST_F(AutoMode, OnThenOffWithinAPeriodRunsNoPass) {
    ASSERT_TRUE(h.Press("按钮4"));
    h.PumpFor(1000ms);
    ASSERT_TRUE(h.Press("按钮3"));
    h.PumpFor(3000ms);  // past the end of the period begun by 开启自动
    EXPECT_EQ(Passes(), 0);
}

}  // namespace
}  // namespace autolabel::tests::linux
