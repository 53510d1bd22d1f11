// Pages that open a window of their own: a link with a new window as its
// target and window.open from a click open beside the tool, in the same
// session, as browsers of their own (keys, a reload that never sends a form
// again); the labeling commands still work on the tool's own page.
#include <gtest/gtest.h>

#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

// The page's windows open now, oldest first.
std::vector<GtkWindow*> OpenWindows(Harness& h) {
    std::vector<GtkWindow*> windows;
    for (app::gtk::PageWindow* page : h.window().PageWindows()) windows.push_back(page->Handle());
    return windows;
}

constexpr const char* kOpener = R"html(<!DOCTYPE html><meta charset=utf-8><title>帖子</title><body>
  <input type=radio name=a><input type=radio name=b><input type=radio name=b>
  <p><a id=link href=/rules target=_blank>规则</a></p>
  <p><button id=open onclick="window.open('/profile')">资料</button></p></body>)html";
constexpr const char* kRules = "<!DOCTYPE html><title>版规</title><body>rules";
// Names its opener in its title when it can see it.
constexpr const char* kProfile = R"(<!DOCTYPE html><title>资料</title><body><script>
  document.title = window.opener ? 'opener: ' + window.opener.document.title : 'no opener';
</script>)";

class NewWindows : public testing::Test {
  protected:
    // Until the X server has it there, so that clicks meant for the tool
    // reach the tool.
    void MoveAside(GtkWindow* window) {
        gtk_window_move(window, 700, 0);
        int x = 0, y = 0;
        EXPECT_TRUE(h.WaitUntil(
            "the new window moved aside",
            [&] {
                GdkWindow* shown = gtk_widget_get_window(GTK_WIDGET(window));
                if (shown) gdk_window_get_origin(shown, &x, &y);
                return shown && x >= 700;
            },
            [&] { return "at " + std::to_string(x) + "," + std::to_string(y); }));
    }
    void TearDown() override {
        for (GtkWindow* window : OpenWindows(h)) gtk_window_close(window);
        EXPECT_TRUE(h.WaitUntil(
            "the new windows closed", [&] { return OpenWindows(h).empty(); },
            [&] { return std::to_string(OpenWindows(h).size()) + " open"; }));
    }
    // The title of the newest new window once it has one.
    std::string TitleOfNewWindow(std::size_t count, std::string_view want) {
        std::string title;
        h.PumpUntil(
            [&] {
                if (OpenWindows(h).size() < count) return false;
                const char* t = gtk_window_get_title(OpenWindows(h).back());
                title = t ? t : "";
                return title == want;
            },
            10s);
        return title;
    }
    Harness& h = Harness::Get();
    ForumServer forum;
};

TEST_F(NewWindows, LinkAndWindowOpenReachTheirPagesInWindowsOfTheirOwn) {
    forum.Page("/post", kOpener);
    forum.Page("/rules", kRules);
    forum.Page("/profile", kProfile);
    ASSERT_TRUE(h.Load(forum.Address("/post")));

    ASSERT_TRUE(h.ClickElement("link"));
    EXPECT_EQ(TitleOfNewWindow(1, "版规"), "版规");
    // Out of the way of the tool's window, as a user would drag it.
    ASSERT_EQ(OpenWindows(h).size(), 1u);
    MoveAside(OpenWindows(h).back());
    ASSERT_TRUE(h.ClickElement("open"));
    // window.open keeps the opener, in the same session and process.
    EXPECT_EQ(TitleOfNewWindow(2, "opener: 帖子"), "opener: 帖子");
    ASSERT_EQ(OpenWindows(h).size(), 2u);
    for (GtkWindow* window : OpenWindows(h)) {
        EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(window)));
        int width = 0, height = 0;
        gtk_window_get_size(window, &width, &height);
        EXPECT_GE(width, 200);
        EXPECT_GE(height, 200);
    }
    MoveAside(OpenWindows(h).back());
    EXPECT_EQ(forum.RequestsFor("GET", "/rules").size(), 1u);
    EXPECT_EQ(forum.RequestsFor("GET", "/profile").size(), 1u);

    // Binding still finds the tool's own page.
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "101");

    // Closing a new window leaves the tool as it was.
    gtk_window_close(OpenWindows(h).front());
    ASSERT_TRUE(h.WaitUntil(
        "one new window left", [&] { return OpenWindows(h).size() == 1; },
        [&] { return std::to_string(OpenWindows(h).size()) + " open"; }));
    EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(h.window().Window())));
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "101");
}

TEST_F(NewWindows, ClosingFromThePageClosesItsWindow) {
    forum.Page("/post", kOpener);
    forum.Page("/profile",
               "<!DOCTYPE html><title>x</title><body><button id=close onclick=window.close()>");
    ASSERT_TRUE(h.Load(forum.Address("/post")));
    ASSERT_TRUE(h.ClickElement("open"));
    ASSERT_TRUE(h.WaitUntil(
        "a new window", [&] { return OpenWindows(h).size() == 1; },
        [&] { return std::to_string(OpenWindows(h).size()) + " open"; }));
    ASSERT_TRUE(h.WaitUntil(
        "the new window's page asked for",
        [&] { return forum.RequestsFor("GET", "/profile").size() == 1; },
        [&] { return std::to_string(forum.RequestsFor("GET", "/profile").size()) + " requests"; }));
    // A window opened by script may be closed by script.
    WebKitWebView* opened = h.window().PageWindows().front()->Browser().View();
    ASSERT_TRUE(h.WaitUntil("the new window's page loaded",
                            [&] { return !webkit_web_view_is_loading(opened); }));
    webkit_web_view_evaluate_javascript(opened, "window.close()", -1, nullptr, nullptr, nullptr,
                                        nullptr, nullptr);
    EXPECT_TRUE(h.WaitUntil(
        "the new window closed by its page", [&] { return OpenWindows(h).empty(); },
        [&] { return std::to_string(OpenWindows(h).size()) + " open"; }));
}

// A form that posts into a window of its own: the tool's press sends it
// there once, as the user's click would. The page's own script still gets
// no window without the user's gesture.
TEST_F(NewWindows, TheToolsPressSendsAFormIntoTheWindowItAsksFor) {
    forum.Page("/label", R"html(<!DOCTYPE html><meta charset=utf-8><title>帖子</title><body>
      <form method=post action=/saved target=_blank>
        <input type=radio name=p1 value=ok><input type=radio name=p1 value=ad>
        <input type=radio name=p2 value=ok><input type=radio name=p2 value=ad>
        <input type=button value=skip><input type=submit value=提交></form>
      <p id=ad></p>
      <script>document.getElementById('ad').textContent =
                window.open('/ad') ? 'opened' : 'refused';</script>)html");
    forum.Page("/saved", "<!DOCTYPE html><meta charset=utf-8><title>已保存</title><body>saved");
    forum.AnswerAfter("/saved", 300ms);
    ASSERT_TRUE(h.Load(forum.Address("/label")));
    EXPECT_EQ(h.Text("ad"), "refused");

    ASSERT_TRUE(h.Press("按钮6"));
    EXPECT_EQ(TitleOfNewWindow(1, "已保存"), "已保存");
    ASSERT_EQ(OpenWindows(h).size(), 1u);
    const auto posts = forum.RequestsFor("POST", "/saved");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts.front().body, "p1=ok&p2=ad");
    EXPECT_TRUE(forum.RequestsFor("GET", "/ad").empty());
    // The tool's page stays as it was pressed, its labels ticked.
    EXPECT_EQ(h.RadioStates(), "1001");
    EXPECT_EQ(h.Text("ad"), "refused");
}

// A page's window is a browser as the tool's is: its keys, and its reload
// that never sends a form again.
TEST_F(NewWindows, APagesWindowReloadsAFormsAnswerWithoutSendingItAgainAndGoesBack) {
    forum.Page("/post", kOpener);
    forum.Page("/rules", R"(<!DOCTYPE html><title>版规</title><body>
      <form method=post action=/agree><input name=ok value=1><input type=submit></form>)");
    forum.Page("/agree", "<!DOCTYPE html><title>已同意</title><body>agreed");
    ASSERT_TRUE(h.Load(forum.Address("/post")));
    ASSERT_TRUE(h.ClickElement("link"));
    ASSERT_EQ(TitleOfNewWindow(1, "版规"), "版规");
    MoveAside(OpenWindows(h).back());
    app::gtk::WebBrowser& page = h.window().PageWindows().back()->Browser();
    const auto shows = [&](std::string_view path) {
        const char* uri = webkit_web_view_get_uri(page.View());
        return uri && forum.Address(path) == uri && !webkit_web_view_is_loading(page.View());
    };
    const auto seen = [&] {
        const char* uri = webkit_web_view_get_uri(page.View());
        return std::string("showing ") + (uri ? uri : "nothing") + ", " +
               std::to_string(forum.RequestsFor("POST", "/agree").size()) + " posts, " +
               std::to_string(forum.RequestsFor("GET", "/agree").size()) + " gets of /agree";
    };
    ASSERT_TRUE(h.WaitUntil(
        "the form's page in the new window", [&] { return shows("/rules"); }, seen));
    webkit_web_view_evaluate_javascript(page.View(), "document.forms[0].submit()", -1, nullptr,
                                        nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(h.WaitUntil(
        "the form's answer", [&] { return shows("/agree"); }, seen));
    ASSERT_EQ(forum.RequestsFor("POST", "/agree").size(), 1u);

    ASSERT_TRUE(h.Keys("F5", GTK_WIDGET(page.View())));
    ASSERT_TRUE(h.WaitUntil(
        "the answer asked for again without the form",
        [&] { return forum.RequestsFor("GET", "/agree").size() == 1 && shows("/agree"); }, seen));
    EXPECT_EQ(forum.RequestsFor("POST", "/agree").size(), 1u) << "the reload sent the form again";

    // The answer asked for again took the answer's place in the history:
    // one step back is the form's page, and nothing is sent again.
    ASSERT_TRUE(h.Keys("alt+Left", GTK_WIDGET(page.View())));
    EXPECT_TRUE(h.WaitUntil(
        "the form's page again", [&] { return shows("/rules"); }, seen));
    EXPECT_EQ(forum.RequestsFor("POST", "/agree").size(), 1u) << "going back sent the form again";
}

}  // namespace
}  // namespace autolabel::tests::linux
