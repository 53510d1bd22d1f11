// The program's start and exit around the real GTK window, reporting on
// standard output how it ended: the end-to-end tests send it signals.
#include <gtk/gtk.h>

#include <cstdio>

#include "app/commands.h"
#include "app/gtk/main_window.h"
#include "app/gtk/webkit_page_automation.h"
#include "app/program.h"
#include "page/browser_host/webkit/webkit_platform.h"

int main(int argc, char** argv) {
    using namespace autolabel;
    if (argc != 2 || !gtk_init_check(nullptr, nullptr)) return 3;
    static browser_host::webkit::WebKitPlatform platform;
    int status = 0;
    {
        app::gtk::MainWindow window(platform);
        status = app::RunProgram(platform, window, argv[1], app::gtk::MakePageAutomation);
    }
    std::printf("loop %d, page %s, CoInitialize %d, CoUninitialize %d\n", status,
                app::page ? "alive" : "destroyed", platform.coInitializeCount(),
                platform.coUninitializeCount());
    return status;
}
