// The automatic mode on the real window: a pass (select all, then submit)
// every 3000 ms once switched on, none before, none after switching off.
#include <gtest/gtest.h>

#include <string>

#include "tests/linux/harness.h"

namespace autolabel::e2e {
namespace {

// Each submit is one pass; the page keeps the count and stays put.
constexpr const char* kPassCounter = R"(<!DOCTYPE html><body><form>
  <input type=radio name=a><input type=radio name=a><input type=radio name=b>
  <input type=button id=first><input type=submit id=second></form>
  <p id=passes>0</p><script>
  addEventListener('submit', (e) => {
    e.preventDefault();
    const p = document.getElementById('passes');
    p.textContent = Number(p.textContent) + 1;
    for (const r of document.querySelectorAll('input[type=radio]')) r.checked = false;
  });
</script></body>)";

class AutoMode : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(h.LoadHtml(kPassCounter)); }
    void TearDown() override {
        h.Press("按钮3");  // leave it off for the next test
    }
    int Passes() { return std::stoi("0" + h.Text("passes")); }
    Harness& h = Harness::Get();
};

// Times are checked only around the period's edges, far from either side.
TEST_F(AutoMode, NothingBeforeTheFirstPressThenOnePassEveryPeriod) {
    h.PumpFor(3500ms);
    EXPECT_EQ(Passes(), 0);
    EXPECT_EQ(h.RadioStates(), "000");
    ASSERT_TRUE(h.Press("按钮4"));
    h.PumpFor(2500ms);
    EXPECT_EQ(Passes(), 0) << "a pass came before the first period ended";
    h.PumpFor(1000ms);
    EXPECT_EQ(Passes(), 1);
    h.PumpFor(3000ms);
    EXPECT_EQ(Passes(), 2);
}

TEST_F(AutoMode, OffStopsThePasses) {
    ASSERT_TRUE(h.Press("按钮4"));
    h.PumpFor(3500ms);
    ASSERT_EQ(Passes(), 1);
    ASSERT_TRUE(h.Press("按钮3"));
    h.PumpFor(3500ms);
    EXPECT_EQ(Passes(), 1);
}

TEST_F(AutoMode, OnTwiceIsStillOnePassAPeriod) {
    ASSERT_TRUE(h.Press("按钮4"));
    h.PumpFor(1000ms);
    ASSERT_TRUE(h.Press("按钮4"));  // restarts the interval
    h.PumpFor(2500ms);
    EXPECT_EQ(Passes(), 0);
    h.PumpFor(1000ms);
    EXPECT_EQ(Passes(), 1);
    h.PumpFor(3000ms);
    EXPECT_EQ(Passes(), 2);
}

TEST_F(AutoMode, OnThenOffWithinAPeriodRunsNoPass) {
    ASSERT_TRUE(h.Press("按钮4"));
    h.PumpFor(1000ms);
    ASSERT_TRUE(h.Press("按钮3"));
    h.PumpFor(3000ms);
    EXPECT_EQ(Passes(), 0);
}

}  // namespace
}  // namespace autolabel::e2e
