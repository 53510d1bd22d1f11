#include "app/gtk/main_frame_loads.h"

namespace autolabel::app::gtk {

MainFrameLoads::MainFrameLoads(WebKitWebView* view) : view_(view) {
    g_object_add_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
    g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(OnLoadFailed), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(OnProcessTerminated), this);
}

MainFrameLoads::~MainFrameLoads() {
    if (!view_) return;
    g_signal_handlers_disconnect_by_data(view_, this);
    g_object_remove_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
}

// A post answered by a redirect is one load: started, redirected,
// committed, finished.
void MainFrameLoads::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<MainFrameLoads*>(data);
    if (event == WEBKIT_LOAD_STARTED) self->watch_.Started();
    if (event == WEBKIT_LOAD_FINISHED) self->LoadEnded();
}

gboolean MainFrameLoads::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*,
                                      gpointer data) {
    static_cast<MainFrameLoads*>(data)->LoadEnded();
    return FALSE;  // the browser shows its error page as usual
}

void MainFrameLoads::LoadEnded() {
    watch_.Ended();
    // Cancelled by a navigation already asked for (a reload, a post from a
    // page whose load hung): that one is on its way now, with a bound of
    // its own, though the engine reports its start only after this end.
    if (view_ && webkit_web_view_is_loading(view_)) watch_.Started();
}

// A page process that died takes its load with it, unreported; the tool's
// own page then loads in its place (PageReload), and 刷新 is never held.
void MainFrameLoads::OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason,
                                         gpointer data) {
    static_cast<MainFrameLoads*>(data)->watch_.Ended();
}

}  // namespace autolabel::app::gtk
