// MainWindow on GTK 3: a GtkFixed holding the controls of the window
// definition at their positions, the browser a container around a WebKit
// web view, the timer a GLib timeout.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "app/gtk/close_on_signal.h"
#include "app/gtk/main_frame_loads.h"
#include "app/gtk/new_windows.h"
#include "app/gtk/page_reload.h"
#include "app/window_services.h"
#include "page/browser_host/webkit/webkit_platform.h"
#include "support/glib/gobject_ptr.h"
#include "support/glib/unique_source.h"

namespace autolabel::app::gtk {

class MainWindow final : public ProgramWindow {
  public:
    explicit MainWindow(browser_host::webkit::WebKitPlatform& platform);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void CreateMainWindow(const WindowDefinition& definition,
                          const std::string& startAddress) override;
    int RunMessageLoop() override;

    browser_host::WindowHandle BrowserWindowHandle() override;
    void SetTimerPeriod(int milliseconds) override;
    void ReloadBrowser() override;
    bool IsPageReady() override;

    // What the window is made of, for whoever drives or inspects it.
    GtkWindow* window() const { return window_; }
    WebKitWebView* webView() const { return webView_; }
    GtkWidget* browser() const { return browser_; }
    // The widget of a control by its name in the definition, or null.
    GtkWidget* control(std::string_view name) const;
    int timerPeriod() const { return timerPeriod_; }
    // The windows the page has opened, oldest first.
    const std::vector<GtkWindow*>& newWindows() const { return newWindows_.windows(); }
    // Whether a dialog of the page holds the page's commands now.
    bool PageShowsDialog() const;
    const PageReload* pageReload() const { return reload_.get(); }

  private:
    GtkWidget* AddControl(GtkFixed* fixed, const ControlDefinition& control,
                          const std::string& startAddress);
    GtkWidget* MakeGroupBox(const ControlDefinition& control);
    GtkWidget* MakeBrowser(const std::string& startAddress);
    // Runs the routine of a button, a key or the timer as one command.
    void RunCommand(Routine routine);
    static void OnButtonClicked(GtkWidget* button, gpointer self);
    static gboolean OnGroupBoxReleased(GtkWidget* box, GdkEventButton* event, gpointer self);
    static gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer self);
    static gboolean OnTimer(gpointer self);
    static void OnDestroy(GtkWidget* widget, gpointer self);

    browser_host::webkit::WebKitPlatform& platform_;
    support::glib::GObjectPtr<WebKitWebContext> context_;
    GtkWindow* window_ = nullptr;  // owned by GTK's list of toplevels until destroyed
    GtkWidget* browser_ = nullptr;
    WebKitWebView* webView_ = nullptr;
    std::map<std::string, GtkWidget*, std::less<>> controls_;
    std::unique_ptr<PageReload> reload_;
    std::unique_ptr<MainFrameLoads> loads_;
    std::unique_ptr<CloseOnSignal> closeOnSignal_;
    NewWindows newWindows_;
    Routine timerRoutine_ = Routine::None;
    support::glib::UniqueSourceId timer_;
    int timerPeriod_ = 0;
};

}  // namespace autolabel::app::gtk
