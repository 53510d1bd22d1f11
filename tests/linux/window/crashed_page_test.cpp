// A page whose process died: the tool shows a page of its own saying so,
// and the automatic mode's reload brings the real page back and labels it.
#include <gtest/gtest.h>
#include <signal.h>

#include "app/commands.h"
#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
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

    ASSERT_TRUE(h.WaitUntil(
        "the tool's page naming " + address, [&] { return h.Text("lost-address") == address; },
        [&] { return h.DescribeView() + ": " + h.Eval("document.body.innerText"); }));
    EXPECT_TRUE(h.window().Browser()->Reloads().showsCrashedPage());
    EXPECT_EQ(h.Eval("document.title"), "页面已停止");
    EXPECT_EQ(webkit_web_view_get_uri(h.view()), address);
    EXPECT_EQ(forum.RequestsFor("GET", "/browser").size(), 1u);

    // Pass 1 finds no radio button on the tool's page and reloads the real
    // one; pass 2 labels it.
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(h.WaitUntil(
        "the page asked for again",
        [&] { return forum.RequestsFor("GET", "/browser").size() == 2; },
        [&] { return std::to_string(forum.RequestsFor("GET", "/browser").size()) + " requests"; },
        15s));
    EXPECT_TRUE(h.WaitForPage(address, "101"));
    ASSERT_TRUE(h.Press("按钮3"));
    EXPECT_FALSE(h.window().Browser()->Reloads().showsCrashedPage());
    EXPECT_EQ(forum.RequestsFor("GET", "/browser").size(), 2u);
}

// 刷新 pressed as soon as the page's process is found dead, before the tool's
// own page has loaded: the lost page comes back, the tool knows it shows it,
// and a later crash names the page lost then.
TEST(CrashedPage, AReloadBeforeTheToolsPageHasLoadedLeavesNothingBehind) {
    Harness& h = Harness::Get();
    ForumServer forum;
    forum.Page("/first", "<!DOCTYPE html><body><input type=radio name=a></body>");
    forum.Page("/second", "<!DOCTYPE html><body><input type=radio name=a></body>");
    const std::string first = forum.Address("/first"), second = forum.Address("/second");
    ASSERT_TRUE(h.Load(first));
    ASSERT_EQ(kill(h.WebProcess(), SIGKILL), 0);
    ASSERT_TRUE(h.WaitUntil(
        "the page's process found dead",
        [&] { return h.window().Browser()->Reloads().showsCrashedPage(); },
        [&] { return h.DescribeView(); }));
    app::RefreshPage();
    EXPECT_TRUE(h.WaitForPage(first, "0"));
    EXPECT_EQ(forum.RequestsFor("GET", "/first").size(), 2u);

    ASSERT_TRUE(h.Load(second));
    ASSERT_EQ(kill(h.WebProcess(), SIGKILL), 0);
    ASSERT_TRUE(h.WaitUntil(
        "the tool's page naming " + second, [&] { return h.Text("lost-address") == second; },
        [&] { return h.DescribeView() + ", naming " + h.Text("lost-address"); }));
    app::RefreshPage();
    ASSERT_TRUE(h.WaitForPage(second, "0"));
    EXPECT_EQ(forum.RequestsFor("GET", "/second").size(), 2u);
    EXPECT_EQ(forum.RequestsFor("GET", "/first").size(), 2u);
}

}  // namespace
}  // namespace autolabel::tests::linux
