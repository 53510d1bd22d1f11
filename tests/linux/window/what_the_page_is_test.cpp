// The automatic mode judges the page by what it is, on a forum that
// behaves like a real one: a batch it sent is not sent again when history,
// a reload during a slow answer or the page's own script shows it again; a
// login page or another site's page is left to the user; the state line
// says why it waits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/labeling_run.h"
#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

// Two posts under the same field names in every batch; SelectAll ticks
// radio 1, 3 and 4 (p1=ok, p2=ad).
std::string BatchPage(std::string_view action, std::string_view first, std::string_view second) {
    const auto post = [](std::string_view name, std::string_view text) {
        return "<div class=post><p>" + std::string(text) +
               "</p><input type=radio name=" + std::string(name) +
               " value=ok><input type=radio name=" + std::string(name) + " value=ad></div>";
    };
    return "<!DOCTYPE html><meta charset=utf-8><title>待标注</title><body>"
           "<form method=post action='" +
           std::string(action) + "'>" + post("p1", first) + post("p2", second) +
           "<input type=button value=skip><input type=submit value=提交></form></body>";
}

constexpr const char* kLoginPage =
    "<!DOCTYPE html><meta charset=utf-8><title>登录</title><body><form method=post "
    "action=/session><label><input type=radio name=way value=pw checked>密码登录</label>"
    "<label><input type=radio name=way value=sms>短信登录</label>"
    "<input id=user name=user><input id=pass type=password name=pass>"
    "<label><input type=checkbox name=keep>记住我</label><a href=/forgot>忘记密码</a>"
    "<input type=button value=注册><input id=login type=submit value=登录></form></body>";

class WhatThePageIs : public testing::Test {
  protected:
    void SetUp() override { forum.AnswerAfter(150ms); }
    void TearDown() override {
        h.Press("按钮3");
        h.WaitQuiet(200ms);
    }
    std::size_t Count(std::string_view method, std::string_view path) {
        return forum.RequestsFor(method, path).size();
    }
    testing::AssertionResult WaitForRequests(std::string_view method, std::string_view path,
                                             std::size_t count, Milliseconds bound = 15s) {
        return h.WaitUntil(
            std::to_string(count) + " " + std::string(method) + " " + std::string(path),
            [&] { return Count(method, path) >= count; },
            [&] { return std::to_string(Count(method, path)) + ", " + h.DescribeView(); }, bound);
    }
    // The automatic mode has held `passes` passes for `why` in this test.
    testing::AssertionResult WaitForHeldPasses(app::Wait why, int passes, Milliseconds bound) {
        const auto held = [why] {
            const auto& counts = app::labeling.counts().heldFor;
            const auto found = counts.find(why);
            return found == counts.end() ? 0 : found->second;
        };
        return h.WaitUntil(
            std::to_string(passes) + " passes held", [&] { return held() >= passes; },
            [&] { return std::to_string(held()) + " held, " + h.DescribeView(); }, bound);
    }
    testing::AssertionResult WaitForState(const std::string& text, Milliseconds bound = 10s) {
        return h.WaitUntil(
            "the state line \"" + text + "\"", [&] { return h.window().StateText() == text; },
            [&] { return "\"" + h.window().StateText() + "\""; }, bound);
    }
    testing::AssertionResult WaitForText(const std::string& text, Milliseconds bound = 10s) {
        const std::string script = "document.body ? document.body.textContent : ''";
        return h.WaitUntil(
            "the page to show \"" + text + "\"",
            [&] { return h.Eval(script).find(text) != std::string::npos; },
            [&] { return h.DescribeView(); }, bound);
    }

    Harness& h = Harness::Get();
    ForumServer forum;
};

TEST_F(WhatThePageIs, ABatchBroughtBackByHistoryIsNotPostedAgainAndTheNextOneIs) {
    forum.Page("/form", BatchPage("/post", "第一批的帖子一", "第一批的帖子二"));
    forum.Page("/post", BatchPage("/post2", "第二批的帖子一", "第二批的帖子二"));
    forum.Page("/post2", "<!DOCTYPE html><body><p>已保存</p>");
    ASSERT_TRUE(h.Load(forum.Address("/form")));
    ASSERT_TRUE(h.Press("按钮6"));  // 全选并提交: the first batch goes
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
    ASSERT_TRUE(WaitForText("第二批的帖子一"));
    ASSERT_TRUE(h.WaitQuiet(300ms));

    // Back brings the first batch as it was, ticked, from the engine's cache.
    ASSERT_TRUE(h.Keys("alt+Left"));
    ASSERT_TRUE(WaitForText("第一批的帖子一"));
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForHeldPasses(app::Wait::SentBatch, 2, 12s));
    EXPECT_EQ(h.window().StateText(), "这一批已经提交过，等新的一批");
    EXPECT_EQ(Count("POST", "/post"), 1u) << "the batch brought back was posted again";

    // Forward brings the second batch, never sent: the mode labels it.
    ASSERT_TRUE(h.Keys("alt+Right"));
    ASSERT_TRUE(WaitForRequests("POST", "/post2", 1));
    EXPECT_EQ(forum.RequestsFor("POST", "/post2").front().body, "p1=ok&p2=ad");
    EXPECT_EQ(Count("POST", "/post"), 1u);
}

TEST_F(WhatThePageIs, RefreshDuringASlowAnswerKeepsTheSentBatchHeldUntilTheNextPageComes) {
    forum.Page("/form", BatchPage("/post", "第一批的帖子一", "第一批的帖子二"));
    forum.AnswerAfter("/post", 20s);
    ASSERT_TRUE(h.Load(forum.Address("/form")));
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
    // The forum took the batch on its arrival: the page now serves the next,
    // slowly.
    forum.Page("/form", BatchPage("/post2", "第二批的帖子一", "第二批的帖子二"));
    forum.AnswerAfter("/form", 4s);
    ASSERT_TRUE(h.Press("按钮5"));  // 刷新, while the answer is on its way
    ASSERT_TRUE(WaitForRequests("GET", "/form", 2));
    EXPECT_TRUE(h.window().Browser()->Navigation().WaitsForSentForm())
        << "the reload let the sent batch go: " << h.DescribeView();
    EXPECT_TRUE(h.window().StateText().starts_with("等待论坛回应（已等 "))
        << h.window().StateText();
    ASSERT_TRUE(WaitForRequests("POST", "/post2", 1, 20s));
    EXPECT_EQ(Count("POST", "/post"), 1u) << "the first batch was sent twice";
}

TEST_F(WhatThePageIs, APageThatSendsByScriptHasEachBatchPostedOnceWhole) {
    // The next batch is written into the same document once the forum has
    // answered the fetch, late; the field names stay, the posts change.
    forum.Page("/script", R"(<!DOCTYPE html><meta charset=utf-8><body><form id=f>
      <div id=posts></div><input type=button value=skip><input type=submit value=提交></form>
      <script>
      let batch = 1;
      function show() {
        document.getElementById('posts').innerHTML = [1, 2].map(i =>
          '<div class=post><p>第' + batch + '批的帖子' + i + '</p>' +
          '<input type=radio name=p' + i + ' value=ok><input type=radio name=p' + i +
          ' value=ad></div>').join('');
      }
      document.getElementById('f').addEventListener('submit', (e) => {
        e.preventDefault();
        const body = new URLSearchParams(new FormData(e.target));
        body.append('batch', batch);
        fetch('/api', {method: 'POST', body}).then(r => r.text()).then(() => { ++batch; show(); });
      });
      show();
      </script></body>)");
    forum.Page("/api", "ok");
    forum.AnswerAfter("/api", 4s);
    ASSERT_TRUE(h.Load(forum.Address("/script")));
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForRequests("POST", "/api", 3, 40s));
    std::vector<std::string> bodies;
    for (const auto& request : forum.RequestsFor("POST", "/api")) bodies.push_back(request.body);
    EXPECT_EQ(bodies[0], "p1=ok&p2=ad&batch=1");
    EXPECT_EQ(bodies[1], "p1=ok&p2=ad&batch=2");
    EXPECT_EQ(bodies[2], "p1=ok&p2=ad&batch=3");
}

TEST_F(WhatThePageIs, ALoginPageIsLeftToTheUserAndLabellingGoesOnAfterTheLogin) {
    forum.Page("/form", BatchPage("/post", "第一批的帖子一", "第一批的帖子二"));
    forum.Redirect("/post", "/login");  // the session ran out meanwhile
    forum.Page("/login", kLoginPage);
    forum.Redirect("/session", "/form2");
    forum.Page("/form2", BatchPage("/post2", "第二批的帖子一", "第二批的帖子二"));
    forum.Page("/post2", BatchPage("/post3", "第三批的帖子一", "第三批的帖子二"));
    forum.Page("/post3", "<!DOCTYPE html><body><p>已保存</p>");
    app::labeling.SetStartAddress(forum.Address("/form"));
    ASSERT_TRUE(h.Load(forum.Address("/form")));
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
    ASSERT_TRUE(WaitForText("忘记密码"));
    ASSERT_TRUE(WaitForHeldPasses(app::Wait::Login, 2, 12s));
    EXPECT_EQ(h.window().StateText(), "等待登录");

    // The user types their name with the mode on; nothing wipes or posts it.
    ASSERT_TRUE(h.ClickElement("user"));
    for (const char* key : {"r", "e", "v", "i", "e", "w"}) ASSERT_TRUE(h.Keys(key));
    ASSERT_TRUE(WaitForHeldPasses(app::Wait::Login, 3, 6s));
    EXPECT_EQ(h.Eval("document.getElementById('user').value"), "review");
    EXPECT_EQ(Count("POST", "/session"), 0u) << "the tool posted the login form";
    EXPECT_EQ(Count("GET", "/login"), 1u) << "the login page was reloaded";
    h.Eval("document.getElementById('pass').value = 'secret'");
    ASSERT_TRUE(h.ClickElement("login"));

    // Back on the labeling page, the mode goes on by itself, once a batch.
    ASSERT_TRUE(WaitForRequests("POST", "/post3", 1, 15s));
    EXPECT_EQ(Count("POST", "/session"), 1u);
    EXPECT_EQ(forum.RequestsFor("POST", "/session").front().body, "way=pw&user=review&pass=secret");
    EXPECT_EQ(Count("POST", "/post2"), 1u);
}

TEST_F(WhatThePageIs, ALoginInAFrameOrAnotherSitesPageIsNotWorkedOnButTheButtonsWork) {
    forum.Page("/framed",
               "<!DOCTYPE html><body><input type=radio name=x>"
               "<iframe src=/login width=400 height=300></iframe></body>");
    forum.Page("/login", kLoginPage);
    ForumServer other;  // another port: another site
    other.Page("/elsewhere", BatchPage("/post", "别处的帖子一", "别处的帖子二"));
    app::labeling.SetStartAddress(forum.Address("/cuseraudit/browser"));

    ASSERT_TRUE(h.Load(forum.Address("/framed")));
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForHeldPasses(app::Wait::Login, 1, 8s));
    EXPECT_EQ(h.RadioStates(), "0");

    ASSERT_TRUE(h.Load(other.Address("/elsewhere")));
    ASSERT_TRUE(WaitForHeldPasses(app::Wait::OtherSite, 1, 8s));
    EXPECT_EQ(h.window().StateText(), "不是论坛的页面，等回到论坛");
    EXPECT_EQ(h.RadioStates(), "0000");
    // The user's own 全选 does what it is pressed for, there too.
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "1001");
    EXPECT_EQ(other.RequestsFor("POST", "/post").size(), 0u);
}

}  // namespace
}  // namespace autolabel::tests::linux
