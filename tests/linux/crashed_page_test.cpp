// A page whose process died: the tool shows a page of its own saying so,
// and the automatic mode's reload brings the real page back and labels it.
#include <gtest/gtest.h>
#include <signal.h>

#include "tests/linux/forum_server.h"
#include "tests/linux/harness.h"

namespace autolabel::e2e {
namespace {

TEST(CrashedPage, ShowsTheToolsPageAndTheNextPassBringsThePageBack) {
    Harness& h = Harness::Get();
    ForumServer forum;
    forum.Page("/browser",
               "<!DOCTYPE html><body><input type=radio name=a><input type=radio name=b>"
               "<input type=radio name=b></body>");
    const std::string address = forum.Address("/browser");
    ASSERT_TRUE(h.Load(address));
    const pid_t web = h.WebProcess();
    ASSERT_GT(web, 0);
    ASSERT_EQ(kill(web, SIGKILL), 0);

    ASSERT_TRUE(h.PumpUntil([&] { return h.window().pageReload()->showsCrashedPage(); }, 5s));
    ASSERT_TRUE(h.PumpUntil([&] { return h.Text("lost-address") == address; }, 5s))
        << h.Eval("document.body.innerText");
    EXPECT_EQ(h.Eval("document.title"), "页面已停止");
    EXPECT_EQ(webkit_web_view_get_uri(h.view()), address);
    EXPECT_EQ(forum.RequestsFor("GET", "/browser").size(), 1u);

    // Pass 1 finds no radio button on the tool's page and reloads the real
    // one; pass 2 labels it.
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(h.PumpUntil([&] { return forum.RequestsFor("GET", "/browser").size() == 2; }, 5s));
    EXPECT_TRUE(h.PumpUntil([&] { return h.RadioStates() == "101"; }, 5s)) << h.RadioStates();
    ASSERT_TRUE(h.Press("按钮3"));
    EXPECT_FALSE(h.window().pageReload()->showsCrashedPage());
    EXPECT_EQ(forum.RequestsFor("GET", "/browser").size(), 2u);
}

}  // namespace
}  // namespace autolabel::e2e
