// Labels posted to a forum that behaves like a real one: a reload never
// posts them again, and a dialog of the page holds the commands until the
// user has closed it, so the submission it holds goes out exactly once.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/window_definition.h"
#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

// Three labels: SelectAll ticks radio 1, 3 and 4 (p1=ok, then p2=ok, p2=ad).
std::string FormPage(std::string_view action, std::string_view script = "") {
    return "<!DOCTYPE html><meta charset=utf-8><title>待标注</title><body>"
           "<form method=post action='" +
           std::string(action) +
           "'><input type=radio name=p1 value=ok><input type=radio name=p1 value=ad>"
           "<input type=radio name=p2 value=ok><input type=radio name=p2 value=ad>"
           "<input type=button value=skip><input type=submit value=提交></form>" +
           std::string(script) + "</body>";
}
constexpr const char* kLabels = "p1=ok&p2=ad";
constexpr const char* kSavedPage =
    "<!DOCTYPE html><meta charset=utf-8><title>已保存</title><body><p id=saved>已保存</p>";

class ForumPosts : public testing::Test {
  protected:
    void SetUp() override {
        forum.Page("/form", FormPage("/post"));
        forum.Page("/post", kSavedPage);
        forum.Redirect("/post-redirect", "/done");
        forum.Page("/done", kSavedPage);
        // A forum takes a moment to answer.
        forum.AnswerAfter(150ms);
    }
    void TearDown() override {
        h.Press("按钮3");
        h.WaitQuiet(200ms);
    }
    bool ShowForm() { return h.Load(forum.Address("/form")); }
    std::size_t Count(std::string_view method, std::string_view path) {
        return forum.RequestsFor(method, path).size();
    }
    testing::AssertionResult WaitForRequests(std::string_view method, std::string_view path,
                                             std::size_t count, Milliseconds timeout = 10s) {
        const std::string what = std::to_string(count) + " " + std::string(method) + " " +
                                 std::string(path) + " requests";
        auto seen = [&] { return std::to_string(Count(method, path)) + ", " + h.DescribeView(); };
        auto arrived = h.WaitUntil(
            what, [&] { return Count(method, path) >= count; }, seen, timeout);
        if (!arrived) return arrived;
        if (!h.WaitQuiet(200ms))
            return testing::AssertionFailure() << "no end of loading after " << what;
        return testing::AssertionSuccess();
    }
    testing::AssertionResult WaitForSavedPage() {
        return h.WaitUntil(
            "the forum's answer \"已保存\"",
            [&] { return !webkit_web_view_is_loading(h.view()) && h.Text("saved") == "已保存"; },
            [&] { return h.DescribeView() + ", saved: " + h.Text("saved"); });
    }

    // 全选并提交 and 刷新 pressed while the page holds the commands.
    void ExpectHeldPressesReachNoForum() {
        const std::size_t asked = forum.requests().size();
        ASSERT_TRUE(h.Press("按钮6"));
        ASSERT_TRUE(h.Press("按钮5"));
        h.PumpFor(300ms);
        EXPECT_EQ(forum.requests().size(), asked) << "a command went to the forum";
    }

    // The post held until its answer: the engine may report the post's load
    // after the forum has it.
    testing::AssertionResult HeldAsSent() {
        return h.WaitUntil(
            "the post held until its answer",
            [&] { return h.window().Browser()->Navigation().WaitsForSentForm(); },
            [&] { return h.DescribeView(); }, 5s);
    }

    // The window shows the busy pointer over its buttons while the page
    // holds the commands, and the ordinary one again after.
    testing::AssertionResult ShowsBusy(bool busy) {
        return h.WaitUntil(
            busy ? "the busy pointer" : "the ordinary pointer",
            [&] {
                GdkWindow* shown = gtk_widget_get_window(GTK_WIDGET(h.window().Window()));
                return shown && (gdk_window_get_cursor(shown) != nullptr) == busy;
            },
            [&] { return h.DescribeView(); });
    }

    Harness& h = Harness::Get();
    ForumServer forum;
};

TEST_F(ForumPosts, ReloadOfAPostsAnswerAsksForTheAddressWithoutTheForm) {
    ASSERT_TRUE(ShowForm());
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
    ASSERT_TRUE(WaitForSavedPage());
    EXPECT_EQ(forum.RequestsFor("POST", "/post").front().body, kLabels);
    EXPECT_TRUE(h.window().Browser()->Reloads().shownFromPost());

    // No radio button on the answer: number 1 is not found, the page reloads.
    ASSERT_TRUE(h.Press("按钮1"));
    ASSERT_TRUE(WaitForRequests("GET", "/post", 1));
    h.PumpFor(300ms);
    EXPECT_EQ(Count("POST", "/post"), 1u) << "the reload posted the labels again";
    EXPECT_EQ(forum.RequestsFor("GET", "/post").front().body, "");
    EXPECT_TRUE(WaitForSavedPage());
    // Fetched afresh, the page is an ordinary one: the next reload is plain.
    EXPECT_FALSE(h.window().Browser()->Reloads().shownFromPost());
    ASSERT_TRUE(h.Press("按钮5"));
    ASSERT_TRUE(WaitForRequests("GET", "/post", 2));
    EXPECT_EQ(Count("POST", "/post"), 1u);
}

TEST_F(ForumPosts, AutomaticModePostsEachBatchOnce) {
    ASSERT_TRUE(ShowForm());
    ASSERT_TRUE(h.Press("按钮4"));
    // Pass 1 posts; passes 2 and 3 find the answer without radio buttons and
    // reload it, each time without the form.
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
    ASSERT_TRUE(WaitForRequests("GET", "/post", 2, 15s));
    ASSERT_TRUE(h.Press("按钮3"));
    EXPECT_EQ(Count("POST", "/post"), 1u);
    for (const auto& request : forum.RequestsFor("GET", "/post")) EXPECT_EQ(request.body, "");
}

TEST_F(ForumPosts, AnswerOfARedirectAfterAPostReloadsAsBefore) {
    forum.Page("/form", FormPage("/post-redirect"));
    ASSERT_TRUE(ShowForm());
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(WaitForRequests("GET", "/done", 1));
    EXPECT_EQ(Count("POST", "/post-redirect"), 1u);
    EXPECT_FALSE(h.window().Browser()->Reloads().shownFromPost());
    const int before = h.loadsFinished();
    ASSERT_TRUE(h.Press("按钮1"));  // nothing to tick: the plain reload
    ASSERT_TRUE(WaitForRequests("GET", "/done", 2));
    EXPECT_GT(h.loadsFinished(), before);
    EXPECT_EQ(Count("POST", "/post-redirect"), 1u);
}

TEST_F(ForumPosts, ForumThatGoesAwayIsLabelledOnceItComesBack) {
    ASSERT_TRUE(ShowForm());
    forum.GoAway();
    const int before = h.loadsFinished();
    ASSERT_TRUE(h.Press("按钮5"));
    // The browser's error page: no radio buttons.
    ASSERT_TRUE(h.WaitUntil(
        "the browser's error page",
        [&] {
            return h.loadsFinished() > before && !webkit_web_view_is_loading(h.view()) &&
                   h.RadioStates().empty();
        },
        [&] { return h.DescribeView(); }));
    ASSERT_TRUE(forum.ComeBack());
    // Nothing to tick on the error page: the reload finds the forum again.
    ASSERT_TRUE(h.Press("按钮1"));
    ASSERT_TRUE(WaitForRequests("GET", "/form", 2));
    ASSERT_TRUE(h.WaitForPage(forum.Address("/form"), "0000"));
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
    EXPECT_EQ(forum.RequestsFor("POST", "/post").front().body, kLabels);
}

// The widgets inside `top`, internal ones included: the browser's dialogs.
std::vector<GtkWidget*> WidgetsIn(GtkWidget* top) {
    std::vector<GtkWidget*> widgets{top};
    for (std::size_t i = 0; i < widgets.size(); ++i)
        if (GTK_IS_CONTAINER(widgets[i]))
            gtk_container_forall(
                GTK_CONTAINER(widgets[i]),
                [](GtkWidget* child, gpointer list) {
                    static_cast<std::vector<GtkWidget*>*>(list)->push_back(child);
                },
                &widgets);
    return widgets;
}

// Presses the OK button of the dialog the browser shows over the page.
bool CloseDialog(WebKitWebView* view) {
    std::vector<GtkWidget*> buttons;
    for (GtkWidget* widget : WidgetsIn(GTK_WIDGET(view)))
        if (GTK_IS_BUTTON(widget)) buttons.push_back(widget);
    if (buttons.empty()) return false;
    gtk_button_clicked(GTK_BUTTON(buttons.back()));
    return true;
}

TEST_F(ForumPosts, DialogOfTheSubmitHandlerHoldsTheCommandsUntilClosed) {
    forum.Page("/form", FormPage("/post",
                                 "<script>document.forms[0].addEventListener('submit',"
                                 " () => alert('saved'));</script>"));
    ASSERT_TRUE(ShowForm());
    EXPECT_FALSE(h.window().Browser()->ShowsDialog());
    ASSERT_TRUE(h.Press("按钮4"));
    // The first pass ticks and submits; the handler's dialog holds the post.
    ASSERT_TRUE(h.WaitUntil(
        "the page to hold the commands", [&] { return h.window().Browser()->ShowsDialog(); },
        [&] { return h.DescribeView(); }));
    EXPECT_TRUE(ShowsBusy(true));
    const std::size_t requestsUnderTheDialog = forum.requests().size();
    // Two more ticks and every button on the page while the dialog is open.
    h.PumpFor(6200ms);
    ASSERT_TRUE(h.Press("按钮1"));
    ASSERT_TRUE(h.Press("按钮2"));
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.Press("按钮5"));
    EXPECT_TRUE(h.window().Browser()->ShowsDialog());
    EXPECT_EQ(forum.requests().size(), requestsUnderTheDialog) << "a command went to the forum";
    EXPECT_EQ(Count("GET", "/form"), 1u) << "reloaded under the dialog";

    ASSERT_TRUE(CloseDialog(h.view()));
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
    EXPECT_EQ(forum.RequestsFor("POST", "/post").front().body, kLabels);
    EXPECT_EQ(Count("GET", "/form"), 1u);
    // The automatic mode goes on: the next pass reloads the answer afresh.
    ASSERT_TRUE(WaitForRequests("GET", "/post", 1));
    EXPECT_EQ(Count("POST", "/post"), 1u);
}

TEST_F(ForumPosts, LeavePageQuestionHoldsTheCommandsToo) {
    forum.Page("/form", FormPage("/post",
                                 "<p id=here>here</p><script>addEventListener('beforeunload',"
                                 " (e) => { e.preventDefault(); e.returnValue = ''; });</script>"));
    ASSERT_TRUE(ShowForm());
    ASSERT_TRUE(h.ClickElement("here"));  // the page asks only once it was used
    ASSERT_TRUE(h.Press("按钮5"));        // leaving it by the reload: the question
    ASSERT_TRUE(h.WaitUntil(
        "the page to hold the commands", [&] { return h.window().Browser()->ShowsDialog(); },
        [&] { return h.DescribeView(); }));
    ExpectHeldPressesReachNoForum();
    ASSERT_TRUE(CloseDialog(h.view()));
    ASSERT_TRUE(h.WaitUntil(
        "the page to let the commands go", [&] { return !h.window().Browser()->ShowsDialog(); },
        [&] { return h.DescribeView(); }));
}

TEST_F(ForumPosts, AuthenticationRequestHoldsTheCommandsToo) {
    forum.RequireLogin("/private");
    forum.Page("/private", FormPage("/post"));
    webkit_web_view_load_uri(h.view(), forum.Address("/private").c_str());
    ASSERT_TRUE(h.WaitUntil(
        "the page to hold the commands", [&] { return h.window().Browser()->ShowsDialog(); },
        [&] { return h.DescribeView(); }));
    ExpectHeldPressesReachNoForum();
    // Signs in: a name and password in the browser's dialog, then its
    // button to go on.
    GtkWidget* signIn = nullptr;
    std::string labels;
    for (GtkWidget* widget : WidgetsIn(GTK_WIDGET(h.view()))) {
        if (GTK_IS_ENTRY(widget)) gtk_entry_set_text(GTK_ENTRY(widget), "reviewer");
        if (!GTK_IS_BUTTON(widget)) continue;
        const char* label = gtk_button_get_label(GTK_BUTTON(widget));
        labels += std::string(label ? label : "?") + ";";
        if (label && std::string_view(label).find("Authenticate") != std::string_view::npos)
            signIn = widget;
    }
    ASSERT_NE(signIn, nullptr) << labels;
    gtk_button_clicked(GTK_BUTTON(signIn));
    ASSERT_TRUE(h.WaitUntil(
        "the page to let the commands go", [&] { return !h.window().Browser()->ShowsDialog(); },
        [&] { return h.DescribeView(); }));
    ASSERT_TRUE(h.WaitQuiet(200ms));
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
}

// A forum on a slow day: every batch takes 4 s to arrive, longer than the
// automatic mode's period; a post is answered at once with a redirect to the
// next batch. While a batch is on its way the old one is still shown: a tick
// then must not label and post it again.
TEST_F(ForumPosts, SlowBatchesInTheAutomaticModeArePostedOnceEach) {
    constexpr int kBatches = 6;
    for (int n = 1; n <= kBatches; ++n) {
        const std::string batch = "/batch/" + std::to_string(n),
                          post = "/post/" + std::to_string(n);
        forum.Page(batch, FormPage(post, "<p id=batch>" + std::to_string(n) + "</p>"));
        forum.AnswerAfter(batch, 4000ms);
        forum.Redirect(post, "/batch/" + std::to_string(n + 1));
        forum.AnswerAfter(post, 0ms);
    }
    ASSERT_TRUE(h.PumpUntil([&] { return h.Load(forum.Address("/batch/1")); }, 15s));
    ASSERT_TRUE(h.Press("按钮4"));
    // Three batches posted, and the fourth has come.
    std::string shown;
    EXPECT_TRUE(h.PumpUntil([&] { return (shown = h.Text("batch")) == "4"; }, 60s))
        << "the fourth batch never came; shown: batch " << shown;
    ASSERT_TRUE(h.Press("按钮3"));
    ASSERT_TRUE(h.WaitQuiet(200ms, 15s));
    for (int n = 1; n <= 3; ++n) {
        const auto posts = forum.RequestsFor("POST", "/post/" + std::to_string(n));
        EXPECT_EQ(posts.size(), 1u) << "batch " << n << " posted " << posts.size() << " times";
        for (const auto& post : posts) EXPECT_EQ(post.body, kLabels);
    }
    EXPECT_LE(Count("POST", "/post/4"), 1u);
}

// A forum under load answers a post only after 40 s (a gateway allows 60):
// the batch sent stays shown all that time, past the 30 s bound of other
// loads, and no tick may send it again, which would also cancel the answer
// on its way. The next batch is labelled once it has arrived.
TEST_F(ForumPosts, PostsAnsweredAfterFortySecondsAreSentOnceEach) {
    for (int n = 1; n <= 3; ++n) {
        const std::string batch = "/batch/" + std::to_string(n),
                          post = "/post/" + std::to_string(n);
        forum.Page(batch, FormPage(post, "<p id=batch>" + std::to_string(n) + "</p>"));
        forum.Redirect(post, "/batch/" + std::to_string(n + 1));
        forum.AnswerAfter(post, 40s);
    }
    ASSERT_TRUE(h.Load(forum.Address("/batch/1")));
    const auto on = std::chrono::steady_clock::now();
    ASSERT_TRUE(h.Press("按钮4"));
    // The view keeps loading while an answer is on its way.
    const auto posted = [&](std::string_view path) {
        return h.WaitUntil(
            "a post to " + std::string(path), [&] { return Count("POST", path) >= 1; },
            [&] { return h.DescribeView(); });
    };
    ASSERT_TRUE(posted("/post/1"));
    EXPECT_TRUE(HeldAsSent());
    std::string shown;
    ASSERT_TRUE(h.WaitUntil(
        "batch 2, after the forum's late answer", [&] { return (shown = h.Text("batch")) == "2"; },
        [&] {
            return "batch " + shown + ", " + std::to_string(Count("POST", "/post/1")) +
                   " posts of batch 1, " + h.DescribeView();
        },
        60s));
    ASSERT_TRUE(posted("/post/2"));
    // The automatic mode stays on for 50 s at least, and two periods past
    // the post of batch 2, whose answer is still on its way.
    const auto posted2 = std::chrono::steady_clock::now();
    ASSERT_TRUE(h.WaitUntil(
        "50 s of the automatic mode, two periods after the post of batch 2",
        [&] {
            const auto now = std::chrono::steady_clock::now();
            return now - on >= 50s && now - posted2 >= 2 * Milliseconds(app::kAutoPeriodMs);
        },
        {}, 60s));
    EXPECT_TRUE(HeldAsSent());
    ASSERT_TRUE(h.Press("按钮3"));
    webkit_web_view_stop_loading(h.view());
    EXPECT_EQ(Count("POST", "/post/1"), 1u) << "batch 1 was posted again";
    EXPECT_EQ(Count("POST", "/post/2"), 1u) << "batch 2 was posted again";
    EXPECT_EQ(Count("POST", "/post/3"), 0u);
    for (const auto& post : forum.requests()) {
        if (post.method == "POST") {
            EXPECT_EQ(post.body, kLabels) << post.path;
        }
    }
    // Batch 2 was labelled on its own page, once that had come.
    const auto& requests = forum.requests();
    const auto at = [&](std::string_view method, std::string_view path) {
        return std::find_if(requests.begin(), requests.end(),
                            [&](const auto& r) { return r.method == method && r.path == path; }) -
               requests.begin();
    };
    EXPECT_LT(at("GET", "/batch/2"), at("POST", "/post/2"));
}

TEST_F(ForumPosts, SecondPressWhileThePostsAnswerIsOnItsWayPostsNothing) {
    forum.AnswerAfter("/post", 3000ms);
    ASSERT_TRUE(ShowForm());
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.PumpUntil([&] { return Count("POST", "/post") == 1; }, 5s))
        << "the forum got no post";
    EXPECT_FALSE(h.window().IsPageReady()) << "the post's answer is on its way";
    EXPECT_TRUE(ShowsBusy(true));
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.PumpUntil([&] { return h.Text("saved") == "已保存"; }, 10s))
        << "the answer never came; shown: " << h.Eval("document.body.innerText");
    ASSERT_TRUE(h.WaitQuiet(200ms));
    EXPECT_EQ(Count("POST", "/post"), 1u) << "the labels were posted twice";
    EXPECT_TRUE(h.window().IsPageReady());
    EXPECT_TRUE(ShowsBusy(false));
}

// A post that ends without a new page lets the commands go at once: the
// page that sent it stays shown, and the user may send it again.
TEST_F(ForumPosts, PostAnsweredWithAFileOrStoppedByTheUserLetsTheCommandsGo) {
    // The file is not the tests' to keep: the download is cancelled.
    bool downloaded = false;
    const gulong downloads = g_signal_connect(
        webkit_web_view_get_context(h.view()), "download-started",
        G_CALLBACK(+[](WebKitWebContext*, WebKitDownload* download, gpointer seen) {
            *static_cast<bool*>(seen) = true;
            webkit_download_cancel(download);
        }),
        &downloaded);
    forum.Page("/form", FormPage("/file"));
    forum.Attachment("/file", "p1,ok\np2,ad\n");
    forum.AnswerAfter("/file", 2000ms);
    ASSERT_TRUE(ShowForm());
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.PumpUntil([&] { return Count("POST", "/file") == 1; }, 5s));
    EXPECT_TRUE(HeldAsSent());
    ASSERT_TRUE(h.Press("按钮6"));  // held: nothing sent twice
    EXPECT_TRUE(h.WaitUntil(
        "the commands let go after the answer became a download",
        [&] { return downloaded && h.window().IsPageReady(); },
        [&] { return std::string(downloaded ? "" : "no download, ") + h.DescribeView(); }, 10s));
    g_signal_handler_disconnect(webkit_web_view_get_context(h.view()), downloads);
    EXPECT_EQ(Count("POST", "/file"), 1u);
    ASSERT_TRUE(h.WaitForPage(forum.Address("/form"), "1001"));

    // A post whose answer never comes, stopped with Escape.
    forum.Page("/form", FormPage("/never"));
    forum.NeverAnswer("/never");
    ASSERT_TRUE(ShowForm());
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.PumpUntil([&] { return Count("POST", "/never") == 1; }, 5s));
    EXPECT_TRUE(HeldAsSent());
    ASSERT_TRUE(h.Keys("Escape"));
    EXPECT_TRUE(h.WaitUntil(
        "the commands let go after Escape",
        [&] { return !webkit_web_view_is_loading(h.view()) && h.window().IsPageReady(); },
        [&] { return h.DescribeView(); }, 10s));
    ASSERT_TRUE(h.WaitForPage(forum.Address("/form"), "1001"));
    ASSERT_TRUE(h.Press("按钮6"));  // sent again, by the user's choice
    EXPECT_TRUE(h.PumpUntil([&] { return Count("POST", "/never") == 2; }, 5s))
        << Count("POST", "/never") << " posts";
    webkit_web_view_stop_loading(h.view());
}

// 刷新 of a page that takes 5 s to come, with the automatic mode on: the
// ticks meanwhile neither label the old page nor reload it again; the pass
// after the page has come labels it.
TEST_F(ForumPosts, ReloadOfASlowPageIsWorkedOnOnceItHasCome) {
    ASSERT_TRUE(ShowForm());
    forum.AnswerAfter("/form", 5000ms);
    // 刷新 first: a tick cannot come before it, however slow the presses.
    ASSERT_TRUE(h.Press("按钮5"));
    EXPECT_FALSE(h.window().IsPageReady()) << "the reload is on its way";
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1, 15s));
    ASSERT_TRUE(h.Press("按钮3"));
    EXPECT_EQ(Count("GET", "/form"), 2u) << "the page was reloaded again before it came";
    EXPECT_EQ(Count("POST", "/post"), 1u);
    EXPECT_EQ(forum.RequestsFor("POST", "/post").front().body, kLabels);
}

// An image that never comes keeps the page loading for good: the commands
// wait for it only as long as the bound (30 s), then label it as usual.
TEST_F(ForumPosts, PageWhoseLoadNeverFinishesIsLabelledOnceTheBoundHasPassed) {
    forum.NeverAnswer("/never.png");
    forum.Page("/form", FormPage("/post", "<img src=/never.png>"));
    webkit_web_view_load_uri(h.view(), forum.Address("/form").c_str());
    ASSERT_TRUE(h.PumpUntil([&] { return h.RadioStates() == "0000"; }, 10s)) << h.RadioStates();
    ASSERT_TRUE(webkit_web_view_is_loading(h.view()));
    ASSERT_TRUE(h.Press("按钮6"));
    EXPECT_EQ(h.RadioStates(), "0000") << "labelled while the page was on its way";
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1, 60s))
        << "not labelled after the bound; loading: " << webkit_web_view_is_loading(h.view())
        << ", radio buttons: " << h.RadioStates();
    ASSERT_TRUE(h.Press("按钮3"));
    EXPECT_EQ(Count("POST", "/post"), 1u);
    EXPECT_EQ(forum.RequestsFor("POST", "/post").front().body, kLabels);
}

// The button pressed last keeps GTK's focus; the page's dialog takes it, so
// that Enter answers the dialog instead of pressing that button again.
TEST_F(ForumPosts, EnterClosesTheSubmitHandlersAlertAndTheLabelsArePostedOnce) {
    forum.Page("/form", FormPage("/post",
                                 "<script>document.forms[0].addEventListener('submit',"
                                 " () => alert('saved'));</script>"));
    ASSERT_TRUE(ShowForm());
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.PumpUntil([&] { return h.window().Browser()->ShowsDialog(); }, 5s))
        << "no dialog was shown";
    GtkWidget* view = GTK_WIDGET(h.view());
    ASSERT_TRUE(h.PumpUntil([&] { return gtk_window_get_focus(h.window().Window()) == view; }, 5s))
        << "the focus stayed on " << G_OBJECT_TYPE_NAME(gtk_window_get_focus(h.window().Window()));
    ASSERT_TRUE(h.Keys("Return"));
    EXPECT_TRUE(h.PumpUntil([&] { return !h.window().Browser()->ShowsDialog(); }, 5s))
        << "Enter left the dialog open";
    ASSERT_TRUE(WaitForRequests("POST", "/post", 1));
    EXPECT_EQ(h.Text("saved"), "已保存");
    EXPECT_EQ(Count("POST", "/post"), 1u);
    EXPECT_EQ(forum.RequestsFor("POST", "/post").front().body, kLabels);
}

}  // namespace
}  // namespace autolabel::tests::linux
