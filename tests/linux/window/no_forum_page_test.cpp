// The tool's own page for a program built without the forum's host: shown at
// its address with what to do, nothing on it to press, and the commands on
// it asking nothing of anyone but the page itself.
#include "app/gtk/no_forum_page.h"

#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {
namespace {

// Every request the view makes, as "METHOD address".
class ViewRequests {
  public:
    explicit ViewRequests(WebKitWebView* view) : view_(view) {
        handler_ = g_signal_connect(view, "resource-load-started", G_CALLBACK(OnStarted), this);
    }
    ~ViewRequests() { g_signal_handler_disconnect(view_, handler_); }
    const std::vector<std::string>& seen() const { return seen_; }
    std::string Describe() const {
        std::string text;
        for (const std::string& request : seen_) text += request + "; ";
        return text;
    }

  private:
    static void OnStarted(WebKitWebView*, WebKitWebResource*, WebKitURIRequest* request,
                          gpointer self) {
        const char* method = webkit_uri_request_get_http_method(request);
        static_cast<ViewRequests*>(self)->seen_.push_back(
            std::string(method ? method : "GET") + " " + webkit_uri_request_get_uri(request));
    }
    WebKitWebView* view_;
    gulong handler_ = 0;
    std::vector<std::string> seen_;
};

TEST(NoForumPage, SaysWhatToDoAndTheCommandsOnItPostNothing) {
    Harness& h = Harness::Get();
    ASSERT_FALSE(app::NamesAForum(app::ForumHost()))
        << "this build is for the forum " << app::ForumHost() << ": it starts on the forum's page";
    // Where the program starts with no address on its command line.
    const std::string start = app::StartAddress(app::CommandLine{}, app::gtk::kNoForumPageAddress);
    EXPECT_EQ(start, "autolabel:no-forum");
    const ViewRequests requests(h.view());
    ASSERT_TRUE(h.Load(start)) << h.DescribeView();
    EXPECT_EQ(h.Eval("document.documentElement.lang"), "zh-CN");
    EXPECT_EQ(h.Text("no-forum"), "这份程序没有设置论坛的地址");
    EXPECT_EQ(h.Text("start-command"), "autolabel http://论坛主机/cuseraudit/browser");
    const std::string text = h.Eval("document.body.innerText");
    for (const char* part :
         {"青禾核心用户标注平台自动刷贴器", "方法一：启动时给出地址",
          "方法二：使用为论坛制作的安装包", "bash scripts/package.sh --forum-host 论坛主机"})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
    // Nothing a command could tick, press or send, and nothing it fetches.
    EXPECT_EQ(h.Eval("document.querySelectorAll('input, button, select, textarea, form, a, "
                     "iframe, img, script, link').length"),
              "0");

    // 全选 finds no radio button and reloads the page, as on any page without
    // one; 提交 finds no button and does nothing. A last 全选's reload, seen
    // to the end, comes after anything 提交 could have started.
    int before = h.loadsFinished();
    ASSERT_TRUE(h.Press("按钮1"));
    ASSERT_TRUE(h.WaitUntil(
        "the tool's page reloaded by 全选",
        [&] { return h.loadsFinished() > before && !webkit_web_view_is_loading(h.view()); },
        [&] { return h.DescribeView(); }));
    ASSERT_TRUE(h.Press("按钮2"));
    before = h.loadsFinished();
    ASSERT_TRUE(h.Press("按钮1"));
    ASSERT_TRUE(h.WaitUntil(
        "the tool's page reloaded by 全选 after 提交",
        [&] { return h.loadsFinished() > before && !webkit_web_view_is_loading(h.view()); },
        [&] { return h.DescribeView(); }));
    EXPECT_EQ(webkit_web_view_get_uri(h.view()), start);
    EXPECT_EQ(h.Text("no-forum"), "这份程序没有设置论坛的地址");
    ASSERT_GE(requests.seen().size(), 3u) << requests.Describe();  // the load, two reloads
    for (const std::string& request : requests.seen())
        EXPECT_EQ(request, "GET " + start) << requests.Describe();
}

}  // namespace
}  // namespace autolabel::tests::linux
