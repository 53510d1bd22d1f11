// Figures of the real window on the real engine (needs an X display; see
// scripts/bench-linux.sh): the cost of one DOM call through the bridge, one
// SelectAll pass on pages of 50, 200 and 1000 radio buttons with the lookup
// walked in the page's process (passes repeated on one page, and the first
// pass on pages freshly loaded) and with every read through the bridge,
// beside the same selection done by one script inside the page, and memory.
#include <gtk/gtk.h>
#include <jsc/jsc.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/gtk/main_window.h"
#include "app/gtk/webkit_page_automation.h"
#include "app/program.h"
#include "bench/generated_page.h"
#include "page/browser_host/dom_object.h"
#include "page/browser_host/value.h"
#include "page/page_automation.h"

namespace {

using namespace autolabel;
using namespace browser_host;
using Clock = std::chrono::steady_clock;

app::gtk::MainWindow* window = nullptr;
browser_host::Platform* platformInUse = nullptr;
std::string directory;
std::vector<int> pageSizes{50, 200, 1000};
bool walkThroughTheBridge = true;

void PumpUntil(const std::function<bool()>& done) {
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (!done() && Clock::now() < end) g_main_context_iteration(nullptr, TRUE);
}

void Load(const std::string& html) {
    static int counter = 0;
    const std::string path = directory + "/" + std::to_string(++counter) + ".html";
    std::ofstream(path) << html;
    g_autofree char* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    webkit_web_view_load_uri(window->Browser()->View(), uri);
    PumpUntil([&] {
        const char* shown = webkit_web_view_get_uri(window->Browser()->View());
        return !webkit_web_view_is_loading(window->Browser()->View()) && shown &&
               std::string(shown) == uri;
    });
}

std::string Evaluate(const std::string& script) {
    std::string text;
    bool done = false;
    struct Out {
        std::string* text;
        bool* done;
    } out{&text, &done};
    webkit_web_view_evaluate_javascript(
        window->Browser()->View(), script.c_str(), -1, nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* o = static_cast<Out*>(data);
            g_autoptr(JSCValue) value = webkit_web_view_evaluate_javascript_finish(
                WEBKIT_WEB_VIEW(source), result, nullptr);
            if (value) {
                g_autofree char* s = jsc_value_to_string(value);
                *o->text = s ? s : "";
            }
            *o->done = true;
        },
        &out);
    PumpUntil([&] { return done; });
    return text;
}

double Percentile(std::vector<double> samples, double p) {
    std::sort(samples.begin(), samples.end());
    return samples[static_cast<std::size_t>(p * static_cast<double>(samples.size() - 1))];
}

void CallCost() {
    Load(autolabel::bench::GeneratePage(4));
    app::page->BindWindow(app::browserWindow);
    const DomRef inputs = app::page->pageDocument.Read("body")
                              .ToObject()
                              .Read("all")
                              .ToObject()
                              .Call("tags", {Value::Text("input")})
                              .ToObject();
    const DomRef radio = inputs.Call("item", {Value::Double(0)}).ToObject();
    struct Case {
        const char* name;
        std::function<void()> call;
    } cases[] = {
        {"read type (text)", [&] { radio.Read("type"); }},
        {"read length (number)", [&] { inputs.Read("length"); }},
        {"call item (new handle)", [&] { inputs.Call("item", {Value::Double(1)}); }},
        {"write checked", [&] { radio.Write("checked", Value::Text("checked")); }},
        {"lookup walked in the page", [&] { app::page->FindRadio("3", 0); }},
    };
    std::printf("DOM call through the bridge (20000 calls each, after 2000 warm-up):\n");
    for (const Case& c : cases) {
        for (int i = 0; i < 2000; ++i) c.call();
        std::vector<double> us;
        us.reserve(20000);
        for (int i = 0; i < 20000; ++i) {
            const auto start = Clock::now();
            c.call();
            us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        std::printf("  %-24s median %6.1f us   p99 %6.1f us\n", c.name, Percentile(us, 0.5),
                    Percentile(us, 0.99));
    }
}

// The same selection in the page: numbers 1, 3, 4, ... each walking the
// inputs from the start, until one is not found. Repeated until 200 ms have
// passed, since the page's clock is coarse.
constexpr const char* kInPage = R"((() => {
  const pass = () => {
    const inputs = document.body.getElementsByTagName('input');
    for (let n = 1; ; n += (n === 1 ? 2 : 1)) {
      let found = null, ordinal = 0;
      const t = String(n);
      for (let i = 0, l = inputs.length; i < l; ++i) {
        const e = inputs.item(i);
        if (!'radio'.includes(e.type)) continue;
        ++ordinal;
        if (e.name === t || e.id === t || e.title === t || ordinal === n) { found = e; break; }
      }
      if (!found) break;
      found.checked = 'checked';
    }
  };
  const start = performance.now();
  let runs = 0;
  do { pass(); ++runs; } while (performance.now() - start < 200);
  return (performance.now() - start) / runs;
})())";

long RssKb(const std::string& pid) {
    std::ifstream status("/proc/" + pid + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

std::string WebProcessPid() {
    g_autofree char* out = nullptr;
    const std::string command = "pgrep -P " + std::to_string(getpid()) + " WebKitWebProces";
    g_spawn_command_line_sync(command.c_str(), &out, nullptr, nullptr, nullptr);
    std::string pid = out ? out : "";
    return pid.substr(0, pid.find('\n'));
}

struct Passes {
    double median = 0;
    double longest = 0;
};

// `runs` SelectAll passes with the program's page object as it is.
Passes TimeSelectAll(int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        app::SelectAll();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return {Percentile(ms, 0.5), *std::max_element(ms.begin(), ms.end())};
}

// Runs the main loop without blocking for `duration`, as the window idles.
void Idle(std::chrono::milliseconds duration) {
    const auto end = Clock::now() + duration;
    while (Clock::now() < end) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(1000);
    }
}

// The first pass on a page just loaded and then left idle for a second, as
// the automatic mode meets each new batch: the page's radio buttons still
// unticked, the walk's script not yet warm in this document, both processes
// asleep. `runs` pages, each loaded afresh; also the part of the pass spent
// in lookups and in the `checked` writes, from the same steps done one by one.
struct FreshPasses {
    Passes passes;
    double lookups = 0;
    double writes = 0;
};

FreshPasses TimeFreshPasses(int radios, int runs) {
    std::vector<double> ms, lookups, writes;
    for (int i = 0; i < 2 * runs; ++i) {
        Load(autolabel::bench::GeneratePage(radios));
        Idle(std::chrono::milliseconds(1000));
        if (i % 2 == 0) {
            ms.push_back(TimeSelectAll(1).median);
            continue;
        }
        app::page->BindWindow(app::browserWindow);
        Clock::duration lookup{}, write{};
        for (int n = 1;; n += n == 1 ? 2 : 1) {
            const auto start = Clock::now();
            const DomRef radio = app::page->FindRadio(std::to_string(n), 0);
            const auto found = Clock::now();
            radio.Write("checked", Value::Text("checked"));
            lookup += found - start;
            write += Clock::now() - found;
            if (!radio) break;
        }
        lookups.push_back(std::chrono::duration<double, std::milli>(lookup).count());
        writes.push_back(std::chrono::duration<double, std::milli>(write).count());
    }
    return {{Percentile(ms, 0.5), *std::max_element(ms.begin(), ms.end())},
            Percentile(lookups, 0.5),
            Percentile(writes, 0.5)};
}

// The same passes with the core's own walk, every read through the bridge:
// the page object as it was before the walk moved into the page's process.
Passes TimeSelectAllThroughTheBridge(browser_host::Platform& platform, int runs) {
    std::unique_ptr<automation::PageAutomation> program = std::move(app::page);
    app::page = std::make_unique<automation::PageAutomation>(platform);
    const Passes passes = TimeSelectAll(runs);
    app::page = std::move(program);
    return passes;
}

void SelectAllPasses(browser_host::Platform& platform) {
    std::printf(
        "One SelectAll pass beside one in-page script doing the same selection\n"
        "(targets: tool : in-page within 10x at 200 and 1000 radios; no pass at 200 over "
        "100 ms):\n");
    for (int radios : pageSizes) {
        Load(autolabel::bench::GeneratePage(radios));
        const Passes walked = TimeSelectAll(radios <= 200 ? 20 : 5);
        const Passes bridged = walkThroughTheBridge
                                   ? TimeSelectAllThroughTheBridge(platform, radios <= 200 ? 3 : 1)
                                   : Passes{};
        const double script = g_ascii_strtod(Evaluate(kInPage).c_str(), nullptr);
        const FreshPasses fresh = TimeFreshPasses(radios, radios <= 200 ? 8 : 3);
        const auto ratio = [&](double ms) { return script > 0 ? ms / script : 0.0; };
        std::printf(
            "  %4d radios: in-page script %7.2f ms\n"
            "               tool, walk in the page   %9.2f ms (longest %8.2f)  ratio %6.1fx\n"
            "               tool, first pass on a page idle 1 s %7.2f ms (longest %8.2f)  "
            "ratio %6.1fx\n"
            "                 of which lookups %7.2f ms, checked writes %7.2f ms\n"
            "               tool, walk through bridge %8.1f ms                      ratio %6.0fx\n",
            radios, script, walked.median, walked.longest, ratio(walked.median),
            fresh.passes.median, fresh.passes.longest, ratio(fresh.passes.median), fresh.lookups,
            fresh.writes, bridged.median, ratio(bridged.median));
    }
    std::printf("Resident memory after the %d-radio page: tool %ld MB, page process %ld MB\n",
                pageSizes.back(), RssKb("self") / 1024, RssKb(WebProcessPid()) / 1024);
}

gboolean Run(gpointer) {
    CallCost();
    SelectAllPasses(*platformInUse);
    gtk_window_close(window->Window());
    return G_SOURCE_REMOVE;
}

}  // namespace

// Arguments, if any: the page sizes to pass over (default 50 200 1000), and
// --no-bridge-walk to leave out the passes with every read through the bridge.
int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--no-bridge-walk")
            walkThroughTheBridge = false;
        else
            sizes.push_back(std::max(1, atoi(argv[i])));
    }
    if (!sizes.empty()) pageSizes = sizes;
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "bridge_bench: cannot open the X display\n");
        return 1;
    }
    g_autofree char* dir = g_dir_make_tmp("autolabel-bench-XXXXXX", nullptr);
    directory = dir ? dir : "/tmp";
    static browser_host::webkit::WebKitPlatform platform;
    app::gtk::MainWindow main(platform);
    window = &main;
    platformInUse = &platform;
    g_idle_add(Run, nullptr);
    return app::RunProgram(platform, main, "about:blank", app::gtk::MakePageAutomation);
}
