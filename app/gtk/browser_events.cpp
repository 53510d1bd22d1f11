#include "app/gtk/browser_events.h"

namespace autolabel::app::gtk {

namespace {

BrowserEventHandler& HandlerOf(gpointer data) { return *static_cast<BrowserEventHandler*>(data); }

}  // namespace

BrowserEvents::BrowserEvents(WebKitWebView* view, BrowserEventHandler& handler) {
    const auto connect = [&](const char* signal, GCallback callback) {
        connections_.emplace_back(view, signal, callback, &handler);
    };
    connect("decide-policy", G_CALLBACK(OnDecidePolicy));
    connect("load-changed", G_CALLBACK(OnLoadChanged));
    connect("load-failed", G_CALLBACK(OnLoadFailed));
    connect("web-process-terminated", G_CALLBACK(OnProcessTerminated));
    connect("create", G_CALLBACK(OnCreate));
    connect("close", G_CALLBACK(OnClose));
    connect("script-dialog", G_CALLBACK(OnScriptDialog));
    connect("authenticate", G_CALLBACK(OnAuthenticate));
    connect("ready-to-show", G_CALLBACK(OnReadyToShow));
    connect("notify::title", G_CALLBACK(OnTitle));
}

// Only the main frame's navigations; a new window's decision is the new
// view's, and a response's is not a navigation.
gboolean BrowserEvents::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                       WebKitPolicyDecisionType type, gpointer handler) {
    if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION)
        HandlerOf(handler).OnNavigationDecided(
            webkit_navigation_policy_decision_get_navigation_action(
                WEBKIT_NAVIGATION_POLICY_DECISION(decision)));
    return FALSE;  // the browser decides as usual
}

void BrowserEvents::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer handler) {
    HandlerOf(handler).OnLoadChanged(event);
}

gboolean BrowserEvents::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*,
                                     gpointer handler) {
    HandlerOf(handler).OnLoadFailed();
    return FALSE;  // the browser shows its error page as usual
}

void BrowserEvents::OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                        gpointer handler) {
    HandlerOf(handler).OnProcessTerminated(reason);
}

GtkWidget* BrowserEvents::OnCreate(WebKitWebView*, WebKitNavigationAction* action,
                                   gpointer handler) {
    return HandlerOf(handler).OnCreate(action);
}

void BrowserEvents::OnClose(WebKitWebView*, gpointer handler) { HandlerOf(handler).OnClose(); }

gboolean BrowserEvents::OnScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer handler) {
    HandlerOf(handler).OnDialog();
    return FALSE;  // the view shows the dialog
}

gboolean BrowserEvents::OnAuthenticate(WebKitWebView*, WebKitAuthenticationRequest*,
                                       gpointer handler) {
    HandlerOf(handler).OnDialog();
    return FALSE;  // the view asks the user
}

void BrowserEvents::OnReadyToShow(WebKitWebView*, gpointer handler) {
    HandlerOf(handler).OnReadyToShow();
}

void BrowserEvents::OnTitle(WebKitWebView*, GParamSpec*, gpointer handler) {
    HandlerOf(handler).OnTitleChanged();
}

}  // namespace autolabel::app::gtk
