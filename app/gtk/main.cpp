// autolabel: the labeling helper's window on GTK with an embedded WebKit view.
#include <gtk/gtk.h>

#include <cstdio>

#include "app/gtk/main_window.h"
#include "app/gtk/no_forum_page.h"
#include "app/gtk/webkit_page_automation.h"
#include "app/program.h"
#include "page/browser_host/webkit/webkit_platform.h"

int main(int argc, char** argv) {
    using namespace autolabel;
    const auto line = app::ParseCommandLine(argc, argv);
    if (!line) {
        std::fputs(app::UsageText(argv[0]).c_str(), stderr);
        return 2;
    }
    // GTK must not take options of its own from our command line.
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fputs("autolabel: cannot open the display\n", stderr);
        return 1;
    }
    // Static: the exit routine, run at process exit, may still release
    // page objects through it.
    static browser_host::webkit::WebKitPlatform platform;
    app::gtk::MainWindow window(platform);
    return app::RunProgram(platform, window,
                           app::StartAddress(*line, app::gtk::kNoForumPageAddress),
                           app::gtk::MakePageAutomation);
}
