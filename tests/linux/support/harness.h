// Drives the real window under X: the tool's own start sequence runs it, the
// tests press its GTK buttons with real pointer clicks (xdotool) and read the
// page back from a script world of their own, which page scripts cannot
// disturb.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "app/gtk/main_window.h"
#include "page/browser_host/webkit/webkit_platform.h"

namespace autolabel::tests::linux {

using Milliseconds = std::chrono::milliseconds;

class Harness {
  public:
    static void Install(browser_host::webkit::WebKitPlatform& platform,
                        app::gtk::MainWindow& window);
    static Harness& Get();

    // The program's start address, and what the view showed when the tests began.
    std::string startAddress;
    std::string shownAtStart;

    browser_host::webkit::WebKitPlatform& platform() { return *platform_; }
    app::gtk::MainWindow& window() { return *window_; }
    // The tool's web view; null before the window exists.
    WebKitWebView* view() {
        app::gtk::WebBrowser* browser = window_->Browser();
        return browser ? browser->View() : nullptr;
    }

    // Runs GLib's main loop for a while, or until `done` holds.
    void PumpFor(Milliseconds duration);
    bool PumpUntil(const std::function<bool()>& done,
                   Milliseconds timeout = std::chrono::seconds(10));
    // Runs the loop until `done` holds, for at most `bound`. On failure the
    // result says what was awaited and, from `seen`, what was there instead.
    testing::AssertionResult WaitUntil(std::string_view awaited, const std::function<bool()>& done,
                                       const std::function<std::string()>& seen = {},
                                       Milliseconds bound = std::chrono::seconds(10));
    // Waits until the view shows `address`, loaded, not the tool's page for a
    // lost one, and its radio buttons read `radios` ("000"; "" for none).
    testing::AssertionResult WaitForPage(const std::string& address, std::string_view radios,
                                         Milliseconds bound = std::chrono::seconds(10));
    // What the view shows now: address, loading, the tool's page, radio buttons.
    std::string DescribeView();

    // Writes a page into the tests' directory and returns its file address.
    std::string WritePage(std::string_view fileName, std::string_view content);
    // Loads an address and waits until it has finished loading.
    bool Load(const std::string& uri);
    bool LoadHtml(std::string_view html) { return Load(WritePage("page.html", html)); }
    int loadsFinished() const { return loadsFinished_; }
    // Waits until the view has not been loading for `quiet` on end.
    bool WaitQuiet(Milliseconds quiet = std::chrono::milliseconds(500),
                   Milliseconds timeout = std::chrono::seconds(10));
    // Waits for a load to finish after `before` loads had, and for the view
    // to have stopped loading.
    bool WaitForLoadAfter(int before, Milliseconds timeout = std::chrono::seconds(10));

    // A real click of the left button on the middle of a control, through
    // the X server; returns once the button's routine has run.
    bool Press(std::string_view controlName);
    // How long the routine of the last Press ran: from the click's emission
    // to its end, without the time the click took to reach the window.
    Milliseconds lastRoutineTook() const { return lastRoutineTook_; }
    // A real click at a screen position; returns once the X server has it.
    bool ClickAt(int x, int y);
    // Screen position of a control's middle.
    bool ControlCenter(std::string_view controlName, int& x, int& y);
    // A real click on the middle of the page's element with this id.
    bool ClickElement(std::string_view id);
    // Real key presses through the X server (xdotool's names: "F5",
    // "alt+Left"), with the pointer over the page; returns once the server
    // has them.
    // Keys pressed with the pointer over `over` (the tool's page by default),
    // whose window the X server then gives them to.
    bool Keys(std::string_view keys, GtkWidget* over = nullptr);

    // Evaluates a script in the tests' own world; its result as text, or
    // "<error: ...>" when it threw or the page did not answer.
    std::string Eval(std::string_view script, Milliseconds timeout = std::chrono::seconds(5));
    // Which radio buttons of the page are ticked, in page order: "1001..".
    std::string RadioStates() {
        return Eval(
            "[...document.querySelectorAll('input[type=radio]')]"
            ".map(r => r.checked ? 1 : 0).join('')");
    }
    std::string Text(std::string_view id) {
        return Eval("(document.getElementById('" + std::string(id) +
                    "') || {textContent: '<none>'}).textContent");
    }

    // The page process of the web view (the one child of ours of that name).
    pid_t WebProcess();

  private:
    bool RunCommand(const std::vector<std::string>& argv);

    browser_host::webkit::WebKitPlatform* platform_ = nullptr;
    app::gtk::MainWindow* window_ = nullptr;
    std::string directory_;
    int loadsFinished_ = 0;
    int pageCounter_ = 0;
    Milliseconds lastRoutineTook_{0};
};

}  // namespace autolabel::tests::linux
