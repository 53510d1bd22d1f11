// MainWindow on GTK 3: a GtkFixed holding the controls of the window
// definition at their positions, the browser a WebBrowser, the timer a GLib
// timeout, and the windows the page opens.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/gtk/close_on_signal.h"
#include "app/gtk/page_window.h"
#include "app/gtk/state_bubble.h"
#include "app/gtk/web_browser.h"
#include "app/window_services.h"
#include "page/browser_host/webkit/webkit_platform.h"
#include "support/glib/gobject_ptr.h"
#include "support/glib/unique_source.h"

namespace autolabel::app::gtk {

class MainWindow final : public ProgramWindow,
                         private app::Browser::Delegate,
                         private PageWindowOwner {
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
    PageHold PageHoldNow() override;
    ShownDocument Document() override;
    void PagePressed() override;

    // What the window is made of, for whoever drives or inspects it.
    GtkWindow* Window() const { return window_; }
    // Null before the window is created.
    WebBrowser* Browser() const { return browser_.get(); }
    // The widget of a control by its name in the definition, or null.
    GtkWidget* Control(std::string_view name) const;
    int TimerPeriod() const { return timerPeriod_; }
    // What the state line over the browser shows now; "" while hidden.
    std::string StateText() const { return state_ ? state_->Text() : ""; }
    // The windows the page has opened, oldest first.
    std::vector<PageWindow*> PageWindows() const;

  private:
    GtkWidget* AddControl(GtkFixed* fixed, const ControlDefinition& control,
                          const std::string& startAddress);
    GtkWidget* MakeGroupBox(const ControlDefinition& control);
    GtkWidget* MakeBrowser(const std::string& startAddress);
    app::Browser* OpenNewWindow(app::Browser& opener) override;
    void CloseWindow(app::Browser& browser) override;
    void ReloadRequested(app::Browser& browser) override;
    void ReadinessChanged(app::Browser& browser, bool ready) override;
    void PageWindowClosed(PageWindow& closed) override;
    // Runs the routine of a button, a key or the timer as one command.
    void RunCommand(Routine routine);
    static void OnButtonClicked(GtkWidget* button, gpointer self);
    static gboolean OnGroupBoxReleased(GtkWidget* box, GdkEventButton* event, gpointer self);
    static gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer self);
    static gboolean OnTimer(gpointer self);
    // The state line follows the run and the page as they change.
    static gboolean OnStateRefresh(gpointer self);
    void RefreshState();
    static void OnDestroy(GtkWidget* widget, gpointer self);

    browser_host::webkit::WebKitPlatform& platform_;
    support::glib::GObjectPtr<WebKitWebContext> context_;
    GtkWindow* window_ = nullptr;  // owned by GTK's list of toplevels until destroyed
    std::unique_ptr<WebBrowser> browser_;
    std::map<std::string, GtkWidget*, std::less<>> controls_;
    std::unique_ptr<CloseOnSignal> closeOnSignal_;
    std::vector<std::unique_ptr<PageWindow>> pageWindows_;
    Routine timerRoutine_ = Routine::None;
    support::glib::UniqueSourceId timer_;
    std::unique_ptr<StateBubble> state_;
    support::glib::UniqueSourceId stateRefresh_;
    int timerPeriod_ = 0;
};

}  // namespace autolabel::app::gtk
