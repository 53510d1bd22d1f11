#include "app/gtk/web_browser.h"

#include "app/browser_keys.h"
#include "app/gtk/browser_keys.h"
#include "app/gtk/page_dialog.h"

namespace autolabel::app::gtk {

WebBrowser::WebBrowser(Delegate& delegate) : delegate_(delegate) {}

WebBrowser::WebBrowser(Delegate& delegate, WebKitWebContext* context) : WebBrowser(delegate) {
    Serve(WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(context)));
    // Every script's window reaches "create", which opens only those of the
    // user's gestures and the tool's presses. Related views share the settings.
    webkit_settings_set_javascript_can_open_windows_automatically(
        webkit_web_view_get_settings(view_), TRUE);
}

WebBrowser::WebBrowser(Delegate& delegate, WebBrowser& opener) : WebBrowser(delegate) {
    // Related: the same session, the same page process, so window.opener works.
    Serve(WEBKIT_WEB_VIEW(webkit_web_view_new_with_related_view(opener.View())));
}

void WebBrowser::Serve(WebKitWebView* view) {
    view_ = view;
    g_object_add_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
    reload_ = std::make_unique<PageReload>(view_);
    loads_ = std::make_unique<MainFrameLoads>(view_);
    FocusPageDialogs(view_);
    g_signal_connect(view_, "create", G_CALLBACK(OnCreate), this);
    g_signal_connect(view_, "close", G_CALLBACK(OnClose), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
    // After MainFrameLoads' handlers and the view's own (a dialog is put in
    // the view by the default handler): the check runs from the main loop.
    for (const char* signal : {"decide-policy", "load-changed", "load-failed",
                               "web-process-terminated", "script-dialog", "authenticate"})
        g_signal_connect_swapped(view_, signal, G_CALLBACK(CheckReadinessSoon), this);
    // The control is a container; its child, the web view, is the document window.
    container_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    g_object_add_weak_pointer(G_OBJECT(container_), reinterpret_cast<gpointer*>(&container_));
    gtk_widget_set_hexpand(GTK_WIDGET(view_), TRUE);
    gtk_widget_set_vexpand(GTK_WIDGET(view_), TRUE);
    gtk_container_add(GTK_CONTAINER(container_), GTK_WIDGET(view_));
}

WebBrowser::~WebBrowser() {
    readinessCheck_.Reset();
    // The parts first: they watch the view.
    loads_.reset();
    reload_.reset();
    if (view_) {
        g_signal_handlers_disconnect_by_data(view_, this);
        g_object_remove_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
    }
    if (container_)
        g_object_remove_weak_pointer(G_OBJECT(container_),
                                     reinterpret_cast<gpointer*>(&container_));
}

void WebBrowser::Load(const std::string& address) {
    if (view_) webkit_web_view_load_uri(view_, address.c_str());
}

void WebBrowser::Reload() {
    reload_->Reload();
    loads_->ReloadAsked();
    CheckReadinessSoon(this);
}

bool WebBrowser::ShowsDialog() const { return PageShowsDialog(view_); }

// Not ready while the next page is on its way: the old document is still
// shown, and working on it would post a batch already sent (MainFrameLoads
// says for how long). Nor while the page shows a dialog: a modal dialog on Windows keeps
// its owner window from taking input; here it is drawn inside the view, and
// a command run under it would find no document and reload, cancelling what
// the dialog holds (a submission with its labels).
bool WebBrowser::IsPageReady() const { return !ShowsDialog() && !loads_->OnItsWay(); }

// The readiness is checked after every signal that may change it, and again
// every kReadinessRecheckMs while the page is not ready: a dialog's end and
// the end of a load's bound come with no signal.
namespace {
constexpr guint kReadinessRecheckMs = 250;
}  // namespace

gboolean WebBrowser::CheckReadinessSoon(gpointer data) {
    auto* self = static_cast<WebBrowser*>(data);
    // In place of a recheck still to come, which may be a while.
    GSource* idle = g_idle_source_new();
    g_source_set_callback(idle, OnReadinessCheck, self, nullptr);
    self->readinessCheck_ = support::glib::Attach(idle);
    return FALSE;  // the signal goes on as usual
}

gboolean WebBrowser::OnReadinessCheck(gpointer data) {
    auto* self = static_cast<WebBrowser*>(data);
    // This source ends here (destroyed while it runs, as GLib allows);
    // CheckReadiness may set the next one.
    self->readinessCheck_.Reset();
    self->CheckReadiness();
    return G_SOURCE_REMOVE;
}

void WebBrowser::CheckReadiness() {
    const bool ready = IsPageReady();
    if (!ready && !readinessCheck_)
        readinessCheck_ = support::glib::Every(kReadinessRecheckMs, OnReadinessCheck, this);
    if (ready == ready_) return;
    ready_ = ready;
    delegate_.ReadinessChanged(*this, ready);
}

bool WebBrowser::HandleKey(const GdkEventKey& event) {
    if (!view_) return false;
    KeyPress press = KeyPressOf(event.keyval, static_cast<GdkModifierType>(event.state));
    press.loading = webkit_web_view_is_loading(view_);
    press.dialogShown = ShowsDialog();
    const BrowserAction action = BrowserActionFor(press);
    switch (action) {
        case BrowserAction::PassOn:
            return false;
        case BrowserAction::Reload:
            delegate_.ReloadRequested(*this);
            break;
        case BrowserAction::Back:
            webkit_web_view_go_back(view_);
            break;
        case BrowserAction::Forward:
            webkit_web_view_go_forward(view_);
            break;
        case BrowserAction::ZoomIn:
            webkit_web_view_set_zoom_level(view_, ZoomedIn(webkit_web_view_get_zoom_level(view_)));
            break;
        case BrowserAction::ZoomOut:
            webkit_web_view_set_zoom_level(view_, ZoomedOut(webkit_web_view_get_zoom_level(view_)));
            break;
        case BrowserAction::ZoomReset:
            webkit_web_view_set_zoom_level(view_, 1.0);
            break;
        case BrowserAction::Stop:
            // The page that sent the post stays, and is worked on again.
            webkit_web_view_stop_loading(view_);
            break;
        case BrowserAction::Swallow:
            break;
    }
    return true;
}

GtkWidget* WebBrowser::OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer data) {
    auto* self = static_cast<WebBrowser*>(data);
    const bool asked = webkit_navigation_action_is_user_gesture(action) || self->toolPress_;
    self->toolPress_ = false;
    if (!asked) return nullptr;  // a page's script alone: no window, as a browser blocks it
    WebBrowser* opened = self->delegate_.OpenNewWindow(*self);
    return opened && opened->View() ? GTK_WIDGET(opened->View()) : nullptr;
}

void WebBrowser::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    // The press led the page on: its window, if any, was asked for by now.
    if (event == WEBKIT_LOAD_STARTED) static_cast<WebBrowser*>(data)->toolPress_ = false;
}

void WebBrowser::OnClose(WebKitWebView*, gpointer data) {
    auto* self = static_cast<WebBrowser*>(data);
    self->delegate_.CloseWindow(*self);
}

}  // namespace autolabel::app::gtk
