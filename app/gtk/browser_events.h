// The web view's signals, each taken once and handed on to one handler in
// plain terms, so that what follows an event is written in one place, in
// one order, and never depends on the order handlers were connected in.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <vector>

#include "support/glib/signal_connection.h"

namespace autolabel::app::gtk {

class BrowserEventHandler {
  public:
    // The main frame is about to navigate (the navigation's decision, which
    // comes before its load's start and says what started it).
    virtual void OnNavigationDecided(WebKitNavigationAction* action) = 0;
    virtual void OnLoadChanged(WebKitLoadEvent event) = 0;
    // A load failed, was stopped, or its answer is not a page to show.
    virtual void OnLoadFailed() = 0;
    virtual void OnProcessTerminated(WebKitWebProcessTerminationReason reason) = 0;
    // The page asks for a new window: its view, or null to refuse it.
    virtual GtkWidget* OnCreate(WebKitNavigationAction* action) = 0;
    // The page closed its own window (window.close()).
    virtual void OnClose() = 0;
    // The page shows a dialog or an authentication request (the view's own
    // handler puts it in the view after this one).
    virtual void OnDialog() = 0;
    // The page's window may be shown, at the size its page asked for.
    virtual void OnReadyToShow() = 0;
    virtual void OnTitleChanged() = 0;

  protected:
    ~BrowserEventHandler() = default;
};

class BrowserEvents {
  public:
    BrowserEvents(WebKitWebView* view, BrowserEventHandler& handler);
    BrowserEvents(const BrowserEvents&) = delete;
    BrowserEvents& operator=(const BrowserEvents&) = delete;

  private:
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer handler);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer handler);
    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*,
                                 gpointer handler);
    static void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                    gpointer handler);
    static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer handler);
    static void OnClose(WebKitWebView*, gpointer handler);
    static gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer handler);
    static gboolean OnAuthenticate(WebKitWebView*, WebKitAuthenticationRequest*, gpointer handler);
    static void OnReadyToShow(WebKitWebView*, gpointer handler);
    static void OnTitle(WebKitWebView*, GParamSpec*, gpointer handler);

    std::vector<support::glib::SignalConnection> connections_;
};

}  // namespace autolabel::app::gtk
