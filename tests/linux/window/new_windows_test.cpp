// Pages that open a window of their own: a link with a new window as its
// target and window.open from a click open beside the tool, in the same
// session; the labeling commands still work on the tool's own page.
#include <gtest/gtest.h>

#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {
namespace {

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
        for (GtkWindow* window : std::vector(h.window().newWindows())) gtk_window_close(window);
        EXPECT_TRUE(h.WaitUntil(
            "the new windows closed", [&] { return h.window().newWindows().empty(); },
            [&] { return std::to_string(h.window().newWindows().size()) + " open"; }));
    }
    // The title of the newest new window once it has one.
    std::string TitleOfNewWindow(std::size_t count, std::string_view want) {
        std::string title;
        h.PumpUntil(
            [&] {
                if (h.window().newWindows().size() < count) return false;
                const char* t = gtk_window_get_title(h.window().newWindows().back());
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
    ASSERT_EQ(h.window().newWindows().size(), 1u);
    MoveAside(h.window().newWindows().back());
    ASSERT_TRUE(h.ClickElement("open"));
    // window.open keeps the opener, in the same session and process.
    EXPECT_EQ(TitleOfNewWindow(2, "opener: 帖子"), "opener: 帖子");
    ASSERT_EQ(h.window().newWindows().size(), 2u);
    for (GtkWindow* window : h.window().newWindows()) {
        EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(window)));
        int width = 0, height = 0;
        gtk_window_get_size(window, &width, &height);
        EXPECT_GE(width, 200);
        EXPECT_GE(height, 200);
    }
    MoveAside(h.window().newWindows().back());
    EXPECT_EQ(forum.RequestsFor("GET", "/rules").size(), 1u);
    EXPECT_EQ(forum.RequestsFor("GET", "/profile").size(), 1u);

    // Binding still finds the tool's own page.
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "101");

    // Closing a new window leaves the tool as it was.
    gtk_window_close(h.window().newWindows().front());
    ASSERT_TRUE(h.WaitUntil(
        "one new window left", [&] { return h.window().newWindows().size() == 1; },
        [&] { return std::to_string(h.window().newWindows().size()) + " open"; }));
    EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(h.window().window())));
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
        "a new window", [&] { return h.window().newWindows().size() == 1; },
        [&] { return std::to_string(h.window().newWindows().size()) + " open"; }));
    ASSERT_TRUE(h.WaitUntil(
        "the new window's page asked for",
        [&] { return forum.RequestsFor("GET", "/profile").size() == 1; },
        [&] { return std::to_string(forum.RequestsFor("GET", "/profile").size()) + " requests"; }));
    // A window opened by script may be closed by script.
    WebKitWebView* opened =
        WEBKIT_WEB_VIEW(gtk_bin_get_child(GTK_BIN(h.window().newWindows().front())));
    ASSERT_TRUE(h.WaitUntil("the new window's page loaded",
                            [&] { return !webkit_web_view_is_loading(opened); }));
    webkit_web_view_evaluate_javascript(opened, "window.close()", -1, nullptr, nullptr, nullptr,
                                        nullptr, nullptr);
    EXPECT_TRUE(h.WaitUntil(
        "the new window closed by its page", [&] { return h.window().newWindows().empty(); },
        [&] { return std::to_string(h.window().newWindows().size()) + " open"; }));
}

}  // namespace
}  // namespace autolabel::tests::linux
