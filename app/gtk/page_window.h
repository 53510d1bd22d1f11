// A window of the tool's own for a page that opens a new window (a link
// with a target of a new window, window.open from a click): a plain
// top-level window with a WebBrowser related to the opener's (the same
// session and page process), sized and titled by the shared rule
// (app/browser.h), which the user closes without touching the tool. It is
// never below the browser control, so binding never finds it, and the
// tool's commands work on the main page only.
#pragma once

#include <gtk/gtk.h>

#include <memory>

#include "app/gtk/web_browser.h"
#include "support/glib/signal_connection.h"

namespace autolabel::app::gtk {

class PageWindow;

// What a page's window asks of whoever keeps it.
class PageWindowOwner {
  public:
    // The page of a page's window asks for a window in turn.
    virtual app::Browser* OpenNewWindow(app::Browser& opener) = 0;
    // The window is gone; the owner may destroy the PageWindow here.
    virtual void PageWindowClosed(PageWindow& closed) = 0;

  protected:
    ~PageWindowOwner() = default;
};

class PageWindow final : private app::Browser::Delegate {
  public:
    PageWindow(WebBrowser& opener, PageWindowOwner& owner);
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;
    ~PageWindow();

    // Null once the window is gone.
    GtkWindow* Handle() const noexcept { return window_.Get(); }
    WebBrowser& Browser() noexcept { return browser_; }

  private:
    app::Browser* OpenNewWindow(app::Browser& opener) override;
    void CloseWindow(app::Browser& browser) override;
    void ReloadRequested(app::Browser& browser) override;
    void ReadinessChanged(app::Browser& browser, bool ready) override;
    // The page's window is shown at the size its page asks for, once.
    void WindowSizeRequested(app::Browser& browser, int width, int height) override;
    void TitleChanged(app::Browser& browser, const std::string& title) override;
    static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
    static void OnDestroy(GtkWidget*, gpointer self);

    PageWindowOwner& owner_;
    WebBrowser browser_;
    support::glib::WeakPointer<GtkWindow> window_;  // GTK's list of toplevels owns it
    support::glib::SignalConnection destroyed_, keyPressed_;
};

}  // namespace autolabel::app::gtk
