// The end-to-end tests run inside the tool's own start sequence: RunProgram
// creates `page`, shows the window on a start page and runs the loop; the
// tests run from the loop, and at the end the window is closed with the
// automatic mode on, as a user would, which must end the loop normally with
// `page` destroyed exactly once.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <filesystem>

#include "app/commands.h"
#include "app/gtk/webkit_page_automation.h"
#include "app/labeling_run.h"
#include "app/program.h"
#include "tests/linux/support/harness.h"

namespace {

int testStatus = 1;

// Each test is a run of its own: nothing sent before it, and any site its
// pages are on is the forum's (a test of the site rule names its own).
class FreshRun : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { autolabel::app::labeling.Reset(); }
};

gboolean RunTests(gpointer) {
    auto& harness = autolabel::tests::linux::Harness::Get();
    const char* shown = webkit_web_view_get_uri(harness.view());
    harness.shownAtStart = shown ? shown : "";
    testing::UnitTest::GetInstance()->listeners().Append(new FreshRun);
    testStatus = RUN_ALL_TESTS();
    autolabel::app::RunRoutine(autolabel::app::Routine::AutoOn);
    gtk_window_close(harness.window().Window());
    return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace autolabel;
    testing::InitGoogleTest(&argc, argv);
    // The browser keeps cookies and site storage in the user's folders: the
    // tests use folders of their own, fresh on every run.
    g_autofree char* home = g_dir_make_tmp("autolabel-e2e-home-XXXXXX", nullptr);
    g_autofree char* data = g_build_filename(home, "data", nullptr);
    g_autofree char* cache = g_build_filename(home, "cache", nullptr);
    g_setenv("XDG_DATA_HOME", data, TRUE);
    g_setenv("XDG_CACHE_HOME", cache, TRUE);
    // A missing display is a failure, never a skip.
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "e2e: cannot open the X display (DISPLAY=%s)\n",
                     g_getenv("DISPLAY") ? g_getenv("DISPLAY") : "");
        return 1;
    }
    static browser_host::webkit::WebKitPlatform platform;
    app::gtk::MainWindow window(platform);
    tests::linux::Harness::Install(platform, window);
    const std::string start = tests::linux::Harness::Get().WritePage(
        "start.html", "<!DOCTYPE html><title>start</title><body><p id=start>start page</p>");
    tests::linux::Harness::Get().startAddress = start;
    g_idle_add(RunTests, nullptr);
    const int loopStatus = app::RunProgram(platform, window, start, app::gtk::MakePageAutomation);
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);

    int status = testStatus;
    if (loopStatus != 0 || app::page || platform.coInitializeCount() != 1 ||
        platform.coUninitializeCount() != 1) {
        std::fprintf(stderr,
                     "e2e: closing the window: loop status %d, page %s, CoInitialize %d, "
                     "CoUninitialize %d (want 0, destroyed, 1, 1)\n",
                     loopStatus, app::page ? "alive" : "destroyed", platform.coInitializeCount(),
                     platform.coUninitializeCount());
        status = 1;
    } else {
        std::printf("e2e: window closed with the automatic mode on; page destroyed once\n");
    }
    return status;
}
