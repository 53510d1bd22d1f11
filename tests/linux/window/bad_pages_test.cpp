// Pages that go wrong: no body, never finished, leaving on submit, dialogs
// in the submit handler, a killed page process, a hostile page. Each must
// keep the tool working and its results right.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <vector>

#include "support/glib/gobject_ptr.h"
#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;

using namespace support::glib;
namespace {

constexpr const char* kRadioPage =
    "<!DOCTYPE html><body><input type=radio name=a><input type=radio name=b>"
    "<input type=radio name=b></body>";

class BadPages : public testing::Test {
  protected:
    // After a bad page, an ordinary page must still be labelled right.
    void ExpectToolStillWorks() {
        ASSERT_TRUE(h.LoadHtml(kRadioPage));
        ASSERT_TRUE(h.Press("按钮1"));
        EXPECT_EQ(h.RadioStates(), "101");
    }
    Harness& h = Harness::Get();
};

TEST_F(BadPages, PlainTextAndImagesHaveNothingToSelect) {
    static const char kPng[] =
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+"
        "M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==";
    gsize size = 0;
    g_autofree guchar* png = g_base64_decode(kPng, &size);
    const std::string pages[] = {
        h.WritePage("plain.txt", "no markup here, <input type=radio> is only text"),
        h.WritePage("pixel.png", std::string(reinterpret_cast<char*>(png), size)),
        h.WritePage("drawing.svg",
                    "<svg xmlns='http://www.w3.org/2000/svg'><rect width='9' "
                    "height='9'/></svg>"),
    };
    for (const std::string& page : pages) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(h.Load(page));
        const int before = h.loadsFinished();
        ASSERT_TRUE(h.Press("按钮6"));  // select all (nothing: reload), then submit (nothing)
        EXPECT_TRUE(h.WaitForLoadAfter(before));
    }
    ExpectToolStillWorks();
}

// A loopback server that sends the start of a page and never finishes it.
class NeverEndingServer {
  public:
    NeverEndingServer() : service_(Adopt(g_socket_service_new())) {
        port_ = g_socket_listener_add_any_inet_port(G_SOCKET_LISTENER(service_.get()), nullptr,
                                                    nullptr);
        g_signal_connect(service_.get(), "incoming", G_CALLBACK(OnIncoming), this);
        g_socket_service_start(service_.get());
    }
    ~NeverEndingServer() { g_socket_service_stop(service_.get()); }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

  private:
    static gboolean OnIncoming(GSocketService*, GSocketConnection* connection, GObject*,
                               gpointer self) {
        static const char kStart[] =
            "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n"
            "<!DOCTYPE html><body><input type=radio name=a><input type=radio name=b>"
            "<input type=radio name=b><p id=partial>partial</p>";
        GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
        g_output_stream_write_all(out, kStart, sizeof kStart - 1, nullptr, nullptr, nullptr);
        // Enough bytes for the engine to stop sniffing and start parsing.
        const std::string padding = "<!--" + std::string(4096, ' ') + "-->";
        g_output_stream_write_all(out, padding.data(), padding.size(), nullptr, nullptr, nullptr);
        g_output_stream_flush(out, nullptr, nullptr);
        static_cast<NeverEndingServer*>(self)->open_.push_back(support::glib::Share(connection));
        return TRUE;
    }
    GObjectPtr<GSocketService> service_;
    std::vector<GObjectPtr<GSocketConnection>> open_;
    guint16 port_ = 0;
};

TEST_F(BadPages, PageThatNeverFinishesLoading) {
    NeverEndingServer server;
    const int before = h.loadsFinished();
    webkit_web_view_load_uri(h.view(), server.Address().c_str());
    ASSERT_TRUE(h.PumpUntil([&] { return h.Text("partial") == "partial"; }));
    // On its way: the commands wait (at most 30 s, see ForumPosts) ...
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "000");
    EXPECT_EQ(h.loadsFinished(), before);  // still loading all along
    // ... or until the load is stopped: the part shown is labelled.
    webkit_web_view_stop_loading(h.view());
    ASSERT_TRUE(h.WaitForLoadAfter(before));
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "101");
    ExpectToolStillWorks();
}

TEST_F(BadPages, PageThatNavigatesOnSubmitIsFollowed) {
    const std::string next =
        h.WritePage("next.html",
                    "<!DOCTYPE html><body><p id=where>next</p><input type=radio name=n>"
                    "<input type=radio name=m><input type=radio name=m></body>");
    ASSERT_TRUE(h.LoadHtml("<!DOCTYPE html><body><form action='" + next +
                           "'><input type=radio name=a><input type=button><input type=submit>"
                           "</form></body>"));
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.WaitForPage(next + "?a=on", "000"));  // the form's data in the address
    EXPECT_EQ(h.Text("where"), "next");
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "101");
}

// Finds the buttons of the dialog the browser shows over the page.
void CollectButtons(GtkWidget* widget, std::vector<GtkWidget*>& buttons) {
    if (GTK_IS_BUTTON(widget)) buttons.push_back(widget);
    if (GTK_IS_CONTAINER(widget))
        gtk_container_forall(
            GTK_CONTAINER(widget),
            [](GtkWidget* child, gpointer list) {
                CollectButtons(child, *static_cast<std::vector<GtkWidget*>*>(list));
            },
            &buttons);
}

struct Dialog {
    const char* call;      // what the submit handler runs
    const char* answered;  // what the page logs once OK is pressed
};

class Dialogs : public BadPages, public testing::WithParamInterface<Dialog> {
  protected:
    void SetUp() override {
        shown_ = 0;
        handler_ =
            g_signal_connect(h.view(), "script-dialog",
                             G_CALLBACK(+[](WebKitWebView*, WebKitScriptDialog*, gpointer n) {
                                 ++*static_cast<int*>(n);
                                 return FALSE;  // the browser shows it as usual
                             }),
                             &shown_);
    }
    void TearDown() override { g_signal_handler_disconnect(h.view(), handler_); }
    int shown_ = 0;
    gulong handler_ = 0;
};

// Presses the OK button of the dialog the browser shows over the page.
bool AnswerDialog(WebKitWebView* view) {
    std::vector<GtkWidget*> buttons;
    CollectButtons(GTK_WIDGET(view), buttons);
    if (buttons.empty()) return false;
    gtk_button_clicked(GTK_BUTTON(buttons.back()));
    return true;
}

TEST_P(Dialogs, DialogInTheSubmitHandlerIsShownAndNeverFreezesTheTool) {
    ASSERT_TRUE(h.LoadHtml(std::string("<!DOCTYPE html><meta charset=utf-8><body><form>"
                                       "<input type=radio name=a><input type=button>"
                                       "<input type=submit></form><script>"
                                       "document.forms[0].addEventListener('submit', (e) => {"
                                       "  e.preventDefault(); const answer = ") +
                           GetParam().call +
                           ";  sessionStorage.setItem('answer', 'answered:' + answer + ';'); });"
                           "</script></body>"));
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.WaitUntil(
        "the page's dialog", [&] { return shown_ == 1; },
        [&] { return std::to_string(shown_) + " dialogs"; }));
    // The window keeps handling its buttons while the dialog is up.
    ASSERT_TRUE(h.Press("按钮4"));
    ASSERT_TRUE(h.Press("按钮3"));
    ASSERT_TRUE(AnswerDialog(h.view())) << "the dialog is not in the window";
    std::string answer;
    ASSERT_TRUE(h.WaitUntil(
        "the page's answer to its dialog",
        [&] { return (answer = h.Eval("sessionStorage.getItem('answer')")) != "null"; },
        [&] { return answer; }));
    EXPECT_EQ(answer, std::string("answered:") + GetParam().answered + ";");
    EXPECT_EQ(h.RadioStates(), "1");

    // A command while the dialog is up waits for it: it does nothing, at
    // once, and reloads nothing. (Once the first press no longer holds the
    // page: it led to no navigation.)
    ASSERT_TRUE(h.WaitUntil(
        "the page ready again", [&] { return h.window().IsPageReady(); },
        [&] { return h.DescribeView(); }));
    ASSERT_TRUE(h.Press("按钮2"));
    ASSERT_TRUE(h.WaitUntil(
        "the second dialog", [&] { return shown_ == 2; },
        [&] { return std::to_string(shown_) + " dialogs"; }));
    const int loads = h.loadsFinished();
    ASSERT_TRUE(h.Press("按钮1"));
    // Held, it asks the page nothing: far below the 1000 ms a call to the
    // page under its dialog would wait.
    EXPECT_LT(h.lastRoutineTook(), 500ms);
    ASSERT_TRUE(AnswerDialog(h.view()));
    h.PumpFor(300ms);
    EXPECT_EQ(h.loadsFinished(), loads);
    ASSERT_TRUE(h.WaitQuiet());
    ExpectToolStillWorks();
}

INSTANTIATE_TEST_SUITE_P(AlertConfirmPrompt, Dialogs,
                         testing::Values(Dialog{"alert('标注已提交')", "undefined"},
                                         Dialog{"confirm('确认提交？')", "true"},
                                         Dialog{"prompt('备注', '好')", "好"}));

TEST_F(BadPages, KilledPageProcessFailsQuicklyAndReloadRecovers) {
    const std::string address = h.WritePage("page.html", kRadioPage);
    ASSERT_TRUE(h.Load(address));
    ASSERT_TRUE(h.Press("按钮1"));
    ASSERT_EQ(h.RadioStates(), "101");
    const pid_t web = h.WebProcess();
    ASSERT_GT(web, 0);
    ASSERT_EQ(kill(web, SIGKILL), 0);
    ASSERT_TRUE(h.WaitUntil(
        "the killed page process to end", [&] { return h.WebProcess() != web; },
        [&] { return "page process " + std::to_string(h.WebProcess()); }));
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_LT(h.lastRoutineTook(), 3s) << "a call waited on a dead process";
    // The first load to finish may be the tool's own page for the dead
    // process; the real page comes after it.
    ASSERT_TRUE(h.Press("按钮5"));
    ASSERT_TRUE(h.WaitForPage(address, "000"));
    EXPECT_NE(h.WebProcess(), web);
    ASSERT_TRUE(h.Press("按钮1"));
    EXPECT_EQ(h.RadioStates(), "101");
}

TEST_F(BadPages, BusyPageMakesTheCommandGiveUpWithinItsBound) {
    ForumServer forum;
    forum.Page("/busy", "");
    forum.Page("/page", std::string(kRadioPage) + "<script>setTimeout(() => " +
                            BusyScript("/busy", 2500) + ", 300);</script>");
    ASSERT_TRUE(h.Load(forum.Address("/page")));
    ASSERT_TRUE(h.WaitUntil("the page's script to be busy",
                            [&] { return !forum.RequestsFor("GET", "/busy").empty(); }));
    ASSERT_TRUE(h.Press("按钮6"));
    // The document request gives up after 1000 ms; with no document nothing
    // is found, the reload waits for the page.
    EXPECT_LT(h.lastRoutineTook(), 2000ms);
    ASSERT_TRUE(h.WaitQuiet());
    ExpectToolStillWorks();
}

TEST_F(BadPages, HostilePageChangesNothing) {
    // Everything a page script could patch to fool a reader in its world.
    ASSERT_TRUE(h.LoadHtml(R"(<!DOCTYPE html><body><pre id=log></pre><form>
      <input type=text id=t><input type=radio name=a><input type=radio name=b>
      <input type=radio name=b><input type=button id=first><input type=submit id=go></form>
      <script>
        const log = (s) => document.getElementById('log').textContent += s + ';';
        document.forms[0].addEventListener('submit', (e) => { e.preventDefault(); log('submit'); });
        const proto = HTMLInputElement.prototype;
        Object.defineProperty(proto, 'type', {get() { return 'radio'; }});
        Object.defineProperty(proto, 'checked', {get() { return true; }, set() { log('patched set'); }});
        Object.defineProperty(proto, 'name', {get() { return '1'; }});
        Element.prototype.getElementsByTagName = () => [];
        HTMLElement.prototype.click = () => log('patched click');
        Object.defineProperty(Document.prototype, 'body', {get() { return null; }});
        window.bridge = window.autolabel = {fake: true};
        Object.getPrototypeOf = () => null;
        String.prototype.toLowerCase = () => 'x';
      </script></body>)"));
    ASSERT_TRUE(h.Press("按钮6"));
    ASSERT_TRUE(h.WaitUntil(
        "the page's log to read \"submit;\"", [&] { return h.Text("log") == "submit;"; },
        [&] { return h.Text("log"); }));
    EXPECT_EQ(h.RadioStates(), "101");
}

}  // namespace
}  // namespace autolabel::tests::linux
