#include "tests/linux/support/harness.h"

#include <dirent.h>
#include <glib/gstdio.h>
#include <jsc/jsc.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <fstream>
#include <map>

namespace autolabel::tests::linux {

using namespace std::chrono_literals;

namespace {

Harness* instance = nullptr;
std::map<GtkWidget*, int> pressCounts;
// When the last click on a button began to be emitted, and when its routine ended.
std::chrono::steady_clock::time_point clickEmitted, routineEnded;

gboolean OnClickEmission(GSignalInvocationHint*, guint, const GValue*, gpointer) {
    clickEmitted = std::chrono::steady_clock::now();
    return TRUE;
}

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer counter) {
    if (event == WEBKIT_LOAD_FINISHED) ++*static_cast<int*>(counter);
}

void CountPress(GtkWidget* button, gpointer) {
    routineEnded = std::chrono::steady_clock::now();
    ++pressCounts[button];
}

constexpr const char* kReaderWorld = "autolabel-e2e-reader";

}  // namespace

void Harness::Install(browser_host::webkit::WebKitPlatform& platform,
                      app::gtk::MainWindow& window) {
    static Harness harness;
    harness.platform_ = &platform;
    harness.window_ = &window;
    g_autofree char* directory = g_dir_make_tmp("autolabel-e2e-XXXXXX", nullptr);
    harness.directory_ = directory ? directory : "/tmp";
    instance = &harness;
}

// Hooks that need the window to exist; called from the first test step.
Harness& Harness::Get() {
    static bool hooked = false;
    if (!hooked && instance->view()) {
        hooked = true;
        g_signal_connect(instance->view(), "load-changed", G_CALLBACK(OnLoadChanged),
                         &instance->loadsFinished_);
    }
    return *instance;
}

void Harness::PumpFor(Milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    PumpUntil([&] { return std::chrono::steady_clock::now() >= end; }, duration + 1s);
}

bool Harness::PumpUntil(const std::function<bool()>& done, Milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    // A short timeout source wakes the loop so `done` is checked often.
    const guint ticker = g_timeout_add(
        5, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool ok = false;
    while (!(ok = done()) && std::chrono::steady_clock::now() < end)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(ticker);
    return ok;
}

std::string Harness::WritePage(std::string_view fileName, std::string_view content) {
    // A fresh name each time, so the engine never shows a cached copy.
    const std::string name = std::to_string(++pageCounter_) + "-" + std::string(fileName);
    const std::string path = directory_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    g_autofree char* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    return uri;
}

bool Harness::Load(const std::string& uri) {
    webkit_web_view_load_uri(view(), uri.c_str());
    // A load finishing now may be an earlier one (stopped, or a reload the
    // tool asked for): wait for this address to be shown, loaded.
    return PumpUntil([&] {
        const char* shown = webkit_web_view_get_uri(view());
        return !webkit_web_view_is_loading(view()) && shown && uri == shown;
    });
}

bool Harness::WaitQuiet(Milliseconds quiet, Milliseconds timeout) {
    auto calmSince = std::chrono::steady_clock::now();
    return PumpUntil(
        [&] {
            const auto now = std::chrono::steady_clock::now();
            if (webkit_web_view_is_loading(view())) calmSince = now;
            return now - calmSince >= quiet;
        },
        timeout);
}

bool Harness::WaitForLoadAfter(int before, Milliseconds timeout) {
    return PumpUntil([&] { return loadsFinished_ > before && !webkit_web_view_is_loading(view()); },
                     timeout);
}

testing::AssertionResult Harness::WaitUntil(std::string_view awaited,
                                            const std::function<bool()>& done,
                                            const std::function<std::string()>& seen,
                                            Milliseconds bound) {
    const auto start = std::chrono::steady_clock::now();
    if (PumpUntil(done, bound)) return testing::AssertionSuccess();
    const auto waited =
        std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start);
    auto failure = testing::AssertionFailure()
                   << "waited " << waited.count() << " ms for " << awaited;
    if (seen) failure << "; seen: " << seen();
    return failure;
}

std::string Harness::DescribeView() {
    const char* shown = webkit_web_view_get_uri(view());
    const auto* reload = &window_->Browser()->Reloads();
    return std::string("address ") + (shown ? shown : "(none)") +
           (webkit_web_view_is_loading(view()) ? ", loading" : ", loaded") +
           (reload && reload->showsCrashedPage() ? ", the tool's page for a lost one" : "") +
           ", radio buttons \"" + RadioStates() + "\"";
}

testing::AssertionResult Harness::WaitForPage(const std::string& address, std::string_view radios,
                                              Milliseconds bound) {
    return WaitUntil(
        "the page " + address + " loaded with radio buttons \"" + std::string(radios) + "\"",
        [&] {
            const char* shown = webkit_web_view_get_uri(view());
            const auto* reload = &window_->Browser()->Reloads();
            return !webkit_web_view_is_loading(view()) && shown && address == shown &&
                   !(reload && reload->showsCrashedPage()) && RadioStates() == radios;
        },
        [&] { return DescribeView(); }, bound);
}

namespace {

bool ScreenPosition(GtkWidget* widget, int inWidgetX, int inWidgetY, int& x, int& y) {
    if (!widget || !gtk_widget_get_realized(widget)) return false;
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    int inTopX = 0, inTopY = 0, originX = 0, originY = 0;
    if (!gtk_widget_translate_coordinates(widget, top, inWidgetX, inWidgetY, &inTopX, &inTopY))
        return false;
    gdk_window_get_origin(gtk_widget_get_window(top), &originX, &originY);
    x = originX + inTopX;
    y = originY + inTopY;
    return true;
}

}  // namespace

bool Harness::ControlCenter(std::string_view controlName, int& x, int& y) {
    GtkWidget* widget = window_->Control(controlName);
    return widget && ScreenPosition(widget, gtk_widget_get_allocated_width(widget) / 2,
                                    gtk_widget_get_allocated_height(widget) / 2, x, y);
}

bool Harness::ClickElement(std::string_view id) {
    const std::string at =
        Eval("(() => { const r = document.getElementById('" + std::string(id) +
             "').getBoundingClientRect(); return Math.round(r.x + r.width / 2) + ' ' +"
             " Math.round(r.y + r.height / 2); })()");
    int inViewX = 0, inViewY = 0, x = 0, y = 0;
    if (std::sscanf(at.c_str(), "%d %d", &inViewX, &inViewY) != 2) return false;
    return ScreenPosition(GTK_WIDGET(view()), inViewX, inViewY, x, y) && ClickAt(x, y);
}

bool Harness::Keys(std::string_view keys, GtkWidget* over) {
    int x = 0, y = 0;
    if (!ScreenPosition(over ? over : GTK_WIDGET(view()), 20, 20, x, y)) return false;
    return RunCommand(
        {"xdotool", "mousemove", std::to_string(x), std::to_string(y), "key", std::string(keys)});
}

bool Harness::RunCommand(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    GPid pid = 0;
    if (!g_spawn_async(nullptr, args.data(), nullptr,
                       static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD),
                       nullptr, nullptr, &pid, nullptr))
        return false;
    int status = -1;
    bool exited = false;
    struct Watch {
        int* status;
        bool* exited;
    } watch{&status, &exited};
    g_child_watch_add(
        pid,
        [](GPid child, gint s, gpointer data) {
            auto* w = static_cast<Watch*>(data);
            *w->status = s;
            *w->exited = true;
            g_spawn_close_pid(child);
        },
        &watch);
    // The loop keeps running meanwhile: the window must see the X events.
    PumpUntil([&] { return exited; }, 10s);
    return exited && g_spawn_check_wait_status(status, nullptr);
}

bool Harness::ClickAt(int x, int y) {
    return RunCommand({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

bool Harness::Press(std::string_view controlName) {
    GtkWidget* widget = window_->Control(controlName);
    int x = 0, y = 0;
    if (!widget || !ControlCenter(controlName, x, y)) return false;
    static std::map<GtkWidget*, bool> counted;
    if (!counted[widget]) {
        counted[widget] = true;
        // Connected after the tool's own handler, so it runs after the routine.
        g_signal_connect_after(widget, "clicked", G_CALLBACK(CountPress), nullptr);
    }
    static const gulong hook = g_signal_add_emission_hook(
        g_signal_lookup("clicked", GTK_TYPE_BUTTON), 0, OnClickEmission, nullptr, nullptr);
    (void)hook;
    const int before = pressCounts[widget];
    if (!ClickAt(x, y)) return false;
    if (!PumpUntil([&] { return pressCounts[widget] > before; }, 10s)) return false;
    lastRoutineTook_ = std::chrono::duration_cast<Milliseconds>(routineEnded - clickEmitted);
    return true;
}

std::string Harness::Eval(std::string_view script, Milliseconds timeout) {
    struct Result {
        bool done = false;
        std::string text;
    } result;
    webkit_web_view_evaluate_javascript(
        view(), std::string(script).c_str(), -1, kReaderWorld, nullptr, nullptr,
        [](GObject* source, GAsyncResult* async, gpointer data) {
            auto* r = static_cast<Result*>(data);
            g_autoptr(GError) error = nullptr;
            g_autoptr(JSCValue) value =
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), async, &error);
            if (!value) {
                r->text = std::string("<error: ") + (error ? error->message : "?") + ">";
            } else {
                g_autofree char* text = jsc_value_to_string(value);
                r->text = text ? text : "";
            }
            r->done = true;
        },
        &result);
    // The callback writes into `result`: wait for it even past the timeout.
    if (!PumpUntil([&] { return result.done; }, timeout)) {
        PumpUntil([&] { return result.done; }, 30s);
        return "<error: no answer>";
    }
    return result.text;
}

pid_t Harness::WebProcess() {
    const pid_t self = getpid();
    pid_t found = 0;
    DIR* proc = opendir("/proc");
    if (!proc) return 0;
    while (dirent* entry = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(atoi(entry->d_name));
        if (pid <= 0) continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...
        const auto open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        const std::string comm = line.substr(open + 1, close - open - 1);
        if (line.size() < close + 5 || line[close + 2] == 'Z') continue;
        const pid_t parent = static_cast<pid_t>(atoi(line.c_str() + close + 4));
        if (parent == self && comm.rfind("WebKitWebProces", 0) == 0) found = pid;
    }
    closedir(proc);
    return found;
}

}  // namespace autolabel::tests::linux
