// The automatic mode judges a page by what it is: a batch it has sent, a
// login page, another site's page; and the state line says what it does.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/commands_fixture.h"

namespace autolabel::tests {
namespace {

using Strings = std::vector<std::string>;

constexpr const char* kForum = "http://forum.test/cuseraudit/browser";

// A batch as a forum serves it: a header with a counter, a token, and posts
// with a group of two labels each, under the same field names in every batch.
std::string Batch(const std::vector<std::string>& posts, int counter, int token) {
    std::string html = "<div id=status>第 " + std::to_string(counter) +
                       " 批</div><form><input type=hidden name=token value=t" +
                       std::to_string(token) + ">";
    for (size_t i = 0; i < posts.size(); ++i) {
        const std::string name = "post" + std::to_string(i);
        html += "<div class=post><p>" + posts[i] + "</p><label><input type=radio name=" + name +
                " value=0>正常</label><label><input type=radio name=" + name +
                " value=1>广告</label></div>";
    }
    return html + "<input type=button id=skip><input type=submit id=send></form>";
}

const std::vector<std::string> kFirst{"今天的比赛太精彩了", "出售二手显卡"};
const std::vector<std::string> kSecond{"求推荐摄影器材", "一起组队去爬山"};

class AutoMode : public CommandsFixture {
  protected:
    void SetUp() override {
        CommandsFixture::SetUp();
        app::labeling.SetStartAddress(kForum);
        window.Click("按钮4");  // 开启自动
    }
    std::shared_ptr<browser_host::scripted::ScriptedDocument> Serve(std::string body,
                                                                    bool fromHistory = false,
                                                                    std::string url = kForum) {
        window.document = {window.document.number + 1, !fromHistory};
        auto page = PageAt(std::move(url), body);
        window.ShowPage(page);
        return page;
    }
    // One period, and what its pass did to the page.
    Strings Pass() {
        recorder->operations.clear();
        window.AdvanceTime(3000);
        return recorder->operations;
    }
    std::string Line() { return app::labeling.StateLine(window.pageHold); }
};

const Strings kWorked{"Bind", "Select 1", "Select 3", "Select 4", "Select 5", "Bind", "Click 2"};
const Strings kWaited{"Bind"};

TEST_F(AutoMode, SendsEachBatchOnceWhereverItShowsAgainUnlessTheForumServesItAfresh) {
    auto first = Serve(Batch(kFirst, 1, 100));
    EXPECT_EQ(Pass(), kWorked);
    EXPECT_EQ(first->submittedForms(), 1);

    // The page sends by script: the answer is on its way and the batch stays
    // shown, ticked. Then the next batch is written into the same document.
    EXPECT_EQ(Pass(), kWaited);
    EXPECT_EQ(Line(), "这一批已经提交过，等新的一批");
    auto second = PageAt(kForum, Batch(kSecond, 2, 100));
    window.ShowPage(second);
    EXPECT_EQ(Pass(), kWorked);
    EXPECT_EQ(second->submittedForms(), 1);

    // Back brings the first batch as it was: not sent again, however often.
    Serve(Batch(kFirst, 1, 100), /*fromHistory=*/true);
    EXPECT_EQ(Pass(), kWaited);
    EXPECT_EQ(Pass(), kWaited);
    // The forum serves it again with a new token and counter (its post was
    // refused): the forum asks for it, and gets it once more.
    auto again = Serve(Batch(kFirst, 3, 101));
    EXPECT_EQ(Pass(), kWorked);
    EXPECT_EQ(again->submittedForms(), 1);
    // The manual 提交 does what the user presses it for, also on a batch sent.
    window.Click("按钮2");
    EXPECT_EQ(again->submittedForms(), 2);

    // A batch that changes under the pass, between its ticks and its press,
    // is not pressed: the new posts would go out unlabelled.
    auto changing = Serve(Batch({"第一条", "第二条"}, 4, 102));
    auto replaced = PageAt(kForum, Batch({"第三条", "第四条"}, 5, 102));
    recorder->afterSelect = [&](std::string_view number) {
        if (number == "5") window.ShowPage(replaced);
    };
    EXPECT_EQ(Pass(), (Strings{"Bind", "Select 1", "Select 3", "Select 4", "Select 5", "Bind"}));
    EXPECT_EQ(changing->submittedForms() + replaced->submittedForms(), 0);
    recorder->afterSelect = nullptr;
    EXPECT_EQ(Pass(), kWorked);  // the next pass labels the new batch whole
    EXPECT_EQ(replaced->submittedForms(), 1);

    const auto& counts = app::labeling.counts();
    EXPECT_EQ(counts.batchesSent, 3);  // the refused batch counts once
    EXPECT_EQ(counts.heldFor.at(app::Wait::SentBatch), 3);
    EXPECT_EQ(counts.heldFor.at(app::Wait::BatchChanged), 1);
}

TEST_F(AutoMode, WaitsUntouchedOnALoginPageOrAnotherSitesAndGoesOnByItself) {
    Serve(Batch(kFirst, 1, 100));
    EXPECT_EQ(Pass(), kWorked);
    // The session ran out: the forum's login page, with radios and two buttons.
    auto login = Serve(
        "<form><label><input type=radio name=way checked>密码登录</label>"
        "<label><input type=radio name=way>短信登录</label>"
        "<input type=text name=user><input type=password name=pass>"
        "<label><input type=checkbox name=keep>记住我</label><a href=/forgot>忘记密码</a>"
        "<input type=button id=register value=注册><input type=submit id=login value=登录></form>",
        false, "http://forum.test/login?next=/cuseraudit/browser");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Pass(), kWaited);
    EXPECT_EQ(login->submittedForms(), 0);
    EXPECT_EQ(window.reloads, 0);  // a reload would wipe what the user types
    EXPECT_EQ(Line(), "等待登录");
    // The forum's own pages over https are the forum's.
    Serve(Batch(kSecond, 2, 150), false, "https://forum.test/cuseraudit/browser");
    EXPECT_EQ(Pass(), kWorked);
    // A single sign-on page of another site, with no password field.
    Serve("<form><input type=radio name=a><input type=submit></form>", false,
          "https://sso.example.test/authorize");
    EXPECT_EQ(Pass(), kWaited);
    EXPECT_EQ(Line(), "不是论坛的页面，等回到论坛");
    // The user pressed the tool's own buttons there: they work as pressed.
    window.Click("按钮1");
    EXPECT_EQ(recorder->Count("Select"), 2);

    // Logged in, the forum sends the user back: labelling goes on, unasked.
    auto next = Serve(Batch(kSecond, 2, 200));
    EXPECT_EQ(Pass(), kWorked);
    EXPECT_EQ(next->submittedForms(), 1);
    EXPECT_EQ(app::labeling.counts().heldFor.at(app::Wait::Login), 5);
}

TEST_F(AutoMode, TheStateLineCountsDownWaitsAndSumsTheRunUp) {
    Serve(Batch(kFirst, 1, 100));
    EXPECT_EQ(Line(), "自动：下一轮 3 秒 · 已提交 0 批");
    window.AdvanceTime(1200);
    EXPECT_EQ(Line(), "自动：下一轮 2 秒 · 已提交 0 批");
    window.AdvanceTime(1800);  // the pass
    EXPECT_EQ(Line(), "自动：下一轮 3 秒 · 已提交 1 批");

    // The post's answer is slow: the line says for how long it waits.
    window.pageHold = app::PageHold::SentForm;
    EXPECT_EQ(Line(), "等待论坛回应（已等 0 秒）");
    window.AdvanceTime(18000);
    EXPECT_EQ(Line(), "等待论坛回应（已等 18 秒）");
    window.pageHold = app::PageHold::Loading;
    EXPECT_EQ(Line(), "页面载入中");
    window.pageHold = app::PageHold::None;

    window.Click("按钮3");  // 关闭自动: the run's counts, then nothing
    EXPECT_EQ(Line(), "自动已关闭 · 本次提交 1 批，勾选 3 个，等待 6 次");
    window.AdvanceTime(8000);
    EXPECT_EQ(Line(), "");

    // A command says what it did for a few seconds.
    Serve(Batch(kSecond, 2, 100));
    window.Click("按钮1");
    EXPECT_EQ(Line(), "全选：勾选了 3 个");
    window.Click("按钮6");
    EXPECT_EQ(Line(), "全选并提交：勾选了 3 个，已提交");
    Serve("<p>没有待标注的帖子</p>");
    window.Click("按钮2");
    EXPECT_EQ(Line(), "提交：页面上没有第二个按钮");
    window.pageHold = app::PageHold::Dialog;
    window.Click("按钮1");
    EXPECT_EQ(Line(), "页面上有对话框，请先处理");
    window.pageHold = app::PageHold::None;
    window.AdvanceTime(4000);
    EXPECT_EQ(Line(), "");
}

}  // namespace
}  // namespace autolabel::tests
