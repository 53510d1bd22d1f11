// Pages the browser opens in a window of their own (a link with a target
// of a new window, window.open from a click): plain browser windows in the
// same session and page process, titled with their page, which the user
// closes without touching the tool. They are top-level windows of their
// own, never below the browser control, so binding never finds them.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <vector>

namespace autolabel::app::gtk {

class NewWindows {
  public:
    NewWindows() = default;
    ~NewWindows();  // closes the windows still open
    NewWindows(const NewWindows&) = delete;
    NewWindows& operator=(const NewWindows&) = delete;

    // Lets `view` (and the views opened from it) open new windows.
    void Serve(WebKitWebView* view);
    // The windows open now, oldest first.
    const std::vector<GtkWindow*>& windows() const { return windows_; }

  private:
    static GtkWidget* OnCreate(WebKitWebView* opener, WebKitNavigationAction*, gpointer self);
    static void OnReadyToShow(WebKitWebView* view, gpointer window);
    static void OnTitle(WebKitWebView* view, GParamSpec*, gpointer window);
    static void OnWindowDestroyed(GtkWidget* window, gpointer self);

    std::vector<GtkWindow*> windows_;  // owned by GTK until destroyed
};

}  // namespace autolabel::app::gtk
