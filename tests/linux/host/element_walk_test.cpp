// The element lookup walked in the page's process against the core's walk
// through the bridge, on the real engine: generated pages and queries must
// give the same element and the same ordinal every time. Then the walk's
// bounds: an earlier document, a page that stops answering, a page process
// that dies while the tool waits.
#include "page/browser_host/webkit/element_walk.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/commands.h"
#include "app/gtk/webkit_page_automation.h"
#include "page/browser_host/value.h"
#include "tests/linux/support/forum_server.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {

using namespace std::chrono_literals;
namespace {

using namespace browser_host;
using browser_host::webkit::FindElementInPage;
using Clock = std::chrono::steady_clock;

// U+FFFD: the engine does not turn a lone surrogate of the page into it.
constexpr const char* kReplacement = "\xEF\xBF\xBD";

struct Query {
    std::string typeList;
    std::string identifier;
    std::int32_t skipCount;
    std::int32_t ordinal;
};

std::string Describe(const Query& q) {
    return "typeList \"" + q.typeList + "\", identifier \"" + q.identifier + "\", skip " +
           std::to_string(q.skipCount) + ", ordinal " + std::to_string(q.ordinal);
}

// Which element a lookup found: its data-k key, "" for none.
std::string KeyOf(const DomRef& element) {
    if (!element) return "";
    const std::string key = element.Call("getAttribute", {Value::Text("data-k")}).ToText();
    return key.empty() ? "<unkeyed>" : key;
}

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

bool Chance(std::mt19937& random, double p) { return std::bernoulli_distribution(p)(random); }

const std::vector<std::string> kAttributeTexts{"",    "1",  "2", "3",  "4",  "5",   "7", "10",
                                               "2.5", "-1", "0", " 2", "02", "abc", "x", "提交"};

std::string Attributes(std::mt19937& random) {
    std::string html;
    for (const char* member : {"name", "id", "title"})
        if (Chance(random, 0.35))
            html += std::string(" ") + member + "=\"" + Pick(random, kAttributeTexts) + "\"";
    return html;
}

// One element that the lookup may visit, or some other markup around them.
std::string GenerateElement(std::mt19937& random, int key) {
    // clang-format off
    static const std::vector<std::string> inputTypes{
        "radio", "radio", "radio", "radio", "radio", "radio", "radio", "radio",
        "checkbox", "text", "hidden", "button", "submit", "reset", "image", "RADIO", "bogus", "",
        "password"};
    // clang-format on
    static const std::vector<std::string> buttonTypes{"", "button", "reset", "submit", "menu"};
    const std::string k = " data-k=" + std::to_string(key);
    switch (std::uniform_int_distribution<int>(-2, 9)(random)) {
        case -2:
        case -1:
        case 0:
        case 1:
        case 2:
        case 3:
        case 4: {
            const std::string& type = Pick(random, inputTypes);
            return "<input" + (type.empty() ? "" : " type=" + type) + k + Attributes(random) + ">";
        }
        case 5:
        case 6: {
            const std::string& type = Pick(random, buttonTypes);
            return "<button" + (type.empty() ? "" : " type=" + type) + k + Attributes(random) +
                   ">b</button>";
        }
        case 7:
            // Not an HTML input: an element of that name in SVG's namespace.
            return "<svg><input type=radio" + k + Attributes(random) + "/></svg>";
        case 8:
            return "<select" + k + Attributes(random) + "><option>o</option></select><textarea" +
                   Attributes(random) + "></textarea>";
        default:
            return "<p title=1 id=2>text <span name=3>span</span></p>";
    }
}

// A page of elements in any order, sometimes inside forms, field sets and
// tables, sometimes with a named image or form that answers for
// document.body, with lone surrogates or over-long texts set by its script.
std::string GeneratePage(std::mt19937& random, int page) {
    std::string html = "<!DOCTYPE html><html><body>";
    if (Chance(random, 0.05)) html += "<img name=body data-k=named-body>";
    if (Chance(random, 0.05)) html += "<form name=body data-k=form-body></form>";
    const int count = std::uniform_int_distribution<int>(0, 30)(random);
    bool inForm = false;
    for (int i = 0; i < count; ++i) {
        if (Chance(random, 0.1)) {
            html += inForm ? "</form>" : "<form>";
            inForm = !inForm;
        }
        if (Chance(random, 0.05)) {
            html +=
                "<table><tr><td>" + GenerateElement(random, page * 100 + i) + "</td></tr></table>";
            continue;
        }
        html += GenerateElement(random, page * 100 + i);
    }
    if (inForm) html += "</form>";
    if (Chance(random, 0.15)) {
        // Set from the page's own world, read back from ours.
        html +=
            "<script>{const all = document.querySelectorAll('[data-k]');"
            "if (all.length) all[all.length >> 1].setAttribute('name', 'a\\uD800');"
            "if (all.length > 1) all[0].setAttribute('title', 'x'.repeat(70000));}</script>";
    }
    return html + "</body></html>";
}

Query GenerateQuery(std::mt19937& random) {
    // clang-format off
    static const std::vector<std::string> typeLists{
        "radio", "radio", "radio", "radio", "radio", "radio",
        "button|submit|reset", "button|submit|reset", "button|submit|reset",
        "submit", "sub", "text|radio", "", "button", "checkbox|radio", "|", "image", "RADIO",
        "reset|button", "e"};
    static const std::vector<std::string> identifiers{
        "1", "1", "1", "2", "2", "3", "3", "4", "4", "5", "6", "7", "8", "9", "10", "12",
        "", "0", "-1", "2.5", "abc", "x", "提交", " 2", "02", "1e1", "a",
        "a" + std::string(kReplacement)};
    // clang-format on
    static const std::vector<std::int32_t> skips{0, 0, 0, 0, 0, -1, 1, 2, 3};
    static const std::vector<std::int32_t> ordinals{0, 0, 0, 0, 0, 0, 0, -3, 1, 5, 100};
    return Query{Pick(random, typeLists), Pick(random, identifiers), Pick(random, skips),
                 Pick(random, ordinals)};
}

constexpr const char* kFramesLoaded =
    "[...Array(window.frames.length).keys()].every("
    "  (i) => window.frames[i].document.readyState == 'complete')";

class WalkInPage : public testing::Test {
  protected:
    // Both walks on the page now shown; true when they agreed.
    bool ExpectSameResult(const Query& q, const std::string& page) {
        app::page->BindWindow(app::browserWindow);
        std::int32_t coreOrdinal = q.ordinal;
        const DomRef core = app::page->automation::PageAutomation::FindElement(
            q.typeList, q.identifier, q.skipCount, coreOrdinal);
        std::int32_t inPageOrdinal = q.ordinal;
        const auto inPage = FindElementInPage(app::page->pageDocument, q.typeList, q.identifier,
                                              q.skipCount, inPageOrdinal);
        EXPECT_TRUE(inPage.has_value()) << "walked through the bridge: " << Describe(q);
        if (!inPage) return false;
        const std::string coreKey = KeyOf(core), inPageKey = KeyOf(*inPage);
        EXPECT_EQ(inPageKey, coreKey) << Describe(q) << "\n" << page;
        EXPECT_EQ(inPageOrdinal, coreOrdinal) << Describe(q) << "\n" << page;
        return inPageKey == coreKey && inPageOrdinal == coreOrdinal;
    }

    Harness& h = Harness::Get();
};

TEST_F(WalkInPage, TheLinuxProgramsPageWalksInThePagesProcess) {
    EXPECT_NE(dynamic_cast<app::gtk::WebKitPageAutomation*>(app::page.get()), nullptr);
}

TEST_F(WalkInPage, AgreesWithTheCoresWalkOnGeneratedPages) {
    unsigned seed = 20261209;
    if (const char* given = std::getenv("AUTOLABEL_WALK_SEED"))
        seed = std::strtoul(given, nullptr, 10);
    std::mt19937 random(seed);
    constexpr int kPages = 80, kQueriesPerPage = 30;
    int cases = 0, found = 0, failures = 0;
    for (int page = 0; page < kPages && failures < 5; ++page) {
        const std::string html = GeneratePage(random, page);
        ASSERT_TRUE(h.LoadHtml(html)) << "seed " << seed << ", page " << page;
        for (int i = 0; i < kQueriesPerPage && failures < 5; ++i) {
            const Query q = GenerateQuery(random);
            if (!ExpectSameResult(q, "seed " + std::to_string(seed) + ", page:\n" + html))
                ++failures;
            ++cases;
            std::int32_t ordinal = q.ordinal;
            found += static_cast<bool>(
                app::page->FindElement(q.typeList, q.identifier, q.skipCount, ordinal));
        }
    }
    EXPECT_GE(cases, 2000);
    // The generated queries must find something often enough to mean anything.
    EXPECT_GT(found, cases / 6) << found << " of " << cases << " found";
}

// Pages whose structure the generator does not make.
TEST_F(WalkInPage, AgreesWithTheCoresWalkOnOddDocuments) {
    const std::vector<std::string> pages{
        // No body at all.
        "<?xml version='1.0'?><svg xmlns='http://www.w3.org/2000/svg'><text>svg</text></svg>",
        // A frameset for a body; the inputs are inside its frame.
        "<!DOCTYPE html><frameset><frame srcdoc='<input type=radio name=1>'></frameset>",
        // Two images named body: document.body is a collection.
        "<!DOCTYPE html><body><img name=body><img name=body>"
        "<input type=radio data-k=r1><input type=submit data-k=s1></body>",
        // Elements made by script in another namespace, and a body swapped in.
        "<!DOCTYPE html><body><input type=radio data-k=old><script>"
        "const e = document.createElementNS('urn:x', 'input'); e.setAttribute('type', 'radio');"
        "e.setAttribute('data-k', 'ns'); document.body.append(e);"
        "const b = document.createElement('body'); b.innerHTML = '<input type=radio data-k=new "
        "name=2><button data-k=nb>b</button>'; document.body = b;</script></body>",
        // Radio buttons in an iframe only.
        "<!DOCTYPE html><body><iframe srcdoc='<input type=radio name=1>'></iframe>"
        "<input type=checkbox data-k=c></body>",
    };
    const std::vector<Query> queries{{"radio", "1", 0, 0},
                                     {"radio", "2", 0, 0},
                                     {"button|submit|reset", "2", 0, 0},
                                     {"button|submit|reset", "1", 0, 0},
                                     {"checkbox", "1", 0, 0},
                                     {"radio", "", 0, 0},
                                     {"text", "1", 0, 0}};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const bool svg = pages[i].rfind("<?xml", 0) == 0;
        ASSERT_TRUE(h.Load(h.WritePage(svg ? "odd.svg" : "odd.html", pages[i]))) << pages[i];
        ASSERT_TRUE(h.WaitUntil(
            "the frames' documents loaded", [&] { return h.Eval(kFramesLoaded) == "true"; },
            [&] { return h.Eval(kFramesLoaded); }));
        for (const Query& q : queries) ExpectSameResult(q, pages[i]);
    }
}

TEST_F(WalkInPage, TextsAScriptStringCannotHoldAreWalkedThroughTheBridge) {
    ASSERT_TRUE(
        h.LoadHtml("<!DOCTYPE html><body><input type=radio data-k=a name=x>"
                   "<input type=radio data-k=b></body>"));
    app::page->BindWindow(app::browserWindow);
    std::int32_t ordinal = 0;
    for (const std::string& identifier : {std::string("\xff"), std::string("2\0", 2)}) {
        EXPECT_FALSE(FindElementInPage(app::page->pageDocument, "radio", identifier, 0, ordinal));
        EXPECT_EQ(ordinal, 0);
    }
    // The Linux program's lookup still answers them, through the bridge.
    EXPECT_EQ(KeyOf(app::page->FindElement("radio", std::string("2\0", 2), 0, ordinal)), "b");
    EXPECT_EQ(ordinal, 2);
}

TEST_F(WalkInPage, EarlierDocumentFailsCleanly) {
    ASSERT_TRUE(h.LoadHtml("<!DOCTYPE html><body><input type=radio name=1></body>"));
    app::page->BindWindow(app::browserWindow);
    const DomRef earlier = app::page->pageDocument;
    ASSERT_TRUE(h.LoadHtml("<!DOCTYPE html><body><input type=radio name=1></body>"));
    std::int32_t ordinal = 0;
    const auto start = Clock::now();
    const auto found = FindElementInPage(earlier, "radio", "1", 0, ordinal);
    EXPECT_LT(Clock::now() - start, 100ms);
    ASSERT_TRUE(found.has_value());
    EXPECT_FALSE(*found);
    EXPECT_EQ(ordinal, -1);
}

TEST_F(WalkInPage, PageThatStopsAnsweringEndsWithinTheBound) {
    ForumServer forum;
    forum.Page("/busy", "");
    forum.Page("/page", "<!DOCTYPE html><body><input type=radio name=1><script>setTimeout(() => " +
                            BusyScript("/busy", 2500) + ", 300);</script></body>");
    ASSERT_TRUE(h.Load(forum.Address("/page")));
    app::page->BindWindow(app::browserWindow);
    ASSERT_TRUE(h.WaitUntil("the page's script to be busy",
                            [&] { return !forum.RequestsFor("GET", "/busy").empty(); }));
    std::int32_t ordinal = 0;
    const auto start = Clock::now();
    const DomRef found = app::page->FindElement("radio", "1", 0, ordinal);
    const auto took = Clock::now() - start;
    EXPECT_FALSE(found);
    EXPECT_EQ(ordinal, -1);
    EXPECT_GE(took, 900ms) << "gave up before the bound";
    EXPECT_LT(took, 2000ms) << "held past about one bound of 1000 ms";
    ASSERT_TRUE(h.WaitUntil(
        "the page answering again", [&] { return h.Eval("1") == "1"; },
        [&] { return h.Eval("1"); }));
}

TEST_F(WalkInPage, PageProcessDyingDuringTheWaitFailsAtOnce) {
    ForumServer forum;
    forum.Page("/busy", "");
    forum.Page("/page", "<!DOCTYPE html><body><input type=radio name=1></body>");
    const std::string address = forum.Address("/page");
    ASSERT_TRUE(h.Load(address));
    app::page->BindWindow(app::browserWindow);
    // Busy from a script run once, so that the page brought back below is idle.
    webkit_web_view_evaluate_javascript(
        h.view(), ("setTimeout(() => " + BusyScript("/busy", 5000) + ")").c_str(), -1, nullptr,
        nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(h.WaitUntil("the page's script to be busy",
                            [&] { return !forum.RequestsFor("GET", "/busy").empty(); }));
    const pid_t web = h.WebProcess();
    ASSERT_GT(web, 0);
    std::atomic<Clock::rep> killedAt{0};
    std::thread killer([web, &killedAt] {
        std::this_thread::sleep_for(150ms);
        killedAt = Clock::now().time_since_epoch().count();
        kill(web, SIGKILL);
    });
    std::int32_t ordinal = 0;
    const DomRef found = app::page->FindElement("radio", "1", 0, ordinal);
    const auto ended = Clock::now();
    killer.join();
    EXPECT_FALSE(found);
    EXPECT_EQ(ordinal, -1);
    // From the kill, far less than the bound of 1000 ms the call had left.
    const Clock::time_point killed{Clock::duration{killedAt.load()}};
    ASSERT_LT(killed, ended) << "the lookup ended before the process was killed";
    EXPECT_LT(ended - killed, 600ms) << "waited on a dead process";
    // The tool shows its own page; its reload brings the page back in a new
    // process, and the walk works there.
    ASSERT_TRUE(h.WaitUntil(
        "the page's process found dead",
        [&] { return h.window().Browser()->Reloads().showsCrashedPage(); },
        [&] { return h.DescribeView(); }));
    app::RefreshPage();
    ASSERT_TRUE(h.WaitForPage(address, "0"));
    app::page->BindWindow(app::browserWindow);
    ordinal = 0;
    EXPECT_TRUE(app::page->FindElement("radio", "1", 0, ordinal));
    EXPECT_EQ(ordinal, 1);
}

}  // namespace
}  // namespace autolabel::tests::linux
