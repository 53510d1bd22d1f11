#include "app/gtk/main_frame_loads.h"

#include <utility>

namespace autolabel::app::gtk {

MainFrameLoads::MainFrameLoads(WebKitWebView* view) : view_(view) {
    g_object_add_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
    g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(OnLoadFailed), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(OnProcessTerminated), this);
}

MainFrameLoads::~MainFrameLoads() {
    if (!view_) return;
    g_signal_handlers_disconnect_by_data(view_, this);
    g_object_remove_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
}

void MainFrameLoads::ReloadAsked() {
    reloadAsked_ = true;
    watch_.Started();
}

// The load's start does not say what started it (the view still shows the
// address of the page that sent the form), so the navigation's decision,
// which comes just before, tells a form's post from a link.
gboolean MainFrameLoads::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                        WebKitPolicyDecisionType type, gpointer data) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
    auto* self = static_cast<MainFrameLoads*>(data);
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const WebKitNavigationType navigation = webkit_navigation_action_get_navigation_type(action);
    const bool form = navigation == WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED ||
                      navigation == WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED;
    self->nextKind_ = form ? NavigationWatch::Kind::FormSubmission : NavigationWatch::Kind::Other;
    // Held from the decision on: the post can reach the forum before the
    // engine reports its load's start. Within the bound only, until that
    // start: the decision may be a frame's, whose load is not reported.
    if (form) self->watch_.Started();
    return FALSE;  // the browser decides as usual
}

// A post answered by a redirect is one load: started, redirected,
// committed, finished.
void MainFrameLoads::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<MainFrameLoads*>(data);
    switch (event) {
        case WEBKIT_LOAD_STARTED:
            self->reloadAsked_ = false;
            self->watch_.Started(std::exchange(self->nextKind_, NavigationWatch::Kind::Other));
            break;
        case WEBKIT_LOAD_COMMITTED:
            self->watch_.Committed();
            break;
        case WEBKIT_LOAD_FINISHED:
            self->LoadEnded();
            break;
        case WEBKIT_LOAD_REDIRECTED:
            break;
    }
}

// Also a post stopped (Escape, stop_loading: cancelled), or answered with a
// file to save or something else the browser does not show (interrupted by
// policy): the page that sent it stays shown, and is worked on again.
gboolean MainFrameLoads::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*,
                                      gpointer data) {
    static_cast<MainFrameLoads*>(data)->LoadEnded();
    return FALSE;  // the browser shows its error page as usual
}

void MainFrameLoads::LoadEnded() {
    // Cancelled by a navigation already asked for (the tool's reload, a post
    // from a page whose load hung): that one takes the hold over, though the
    // engine reports its start only after this end.
    if (reloadAsked_ || (view_ && webkit_web_view_is_loading(view_))) {
        watch_.Started();
        return;
    }
    watch_.Ended();
}

// A page process that died takes its load with it, unreported; the tool's
// own page then loads in its place (PageReload), and 刷新 is never held.
void MainFrameLoads::OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason,
                                         gpointer data) {
    auto* self = static_cast<MainFrameLoads*>(data);
    self->reloadAsked_ = false;
    self->watch_.Ended();
}

}  // namespace autolabel::app::gtk
