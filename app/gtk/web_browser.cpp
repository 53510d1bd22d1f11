#include "app/gtk/web_browser.h"

#include <utility>

#include "app/gtk/browser_keys.h"
#include "app/gtk/crashed_page.h"
#include "app/gtk/page_dialog.h"

namespace autolabel::app::gtk {

WebBrowser::WebBrowser(Delegate& delegate, WebKitWebView* view,
                       browser_host::webkit::Bridge& bridge)
    : app::Browser(delegate), view_(view), bridge_(bridge) {
    events_.emplace(view, static_cast<BrowserEventHandler&>(*this));
    // The control is a container; its child, the web view, is the document window.
    container_.Reset(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0));
    gtk_widget_set_hexpand(GTK_WIDGET(view), TRUE);
    gtk_widget_set_vexpand(GTK_WIDGET(view), TRUE);
    gtk_container_add(GTK_CONTAINER(container_.Get()), GTK_WIDGET(view));
}

WebBrowser::WebBrowser(Delegate& delegate, WebKitWebContext* context,
                       browser_host::webkit::Bridge& bridge)
    : WebBrowser(delegate, WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(context)), bridge) {
    // Every script's window reaches "create", which opens only those of the
    // user's gestures and the tool's presses. Related views share the settings.
    webkit_settings_set_javascript_can_open_windows_automatically(
        webkit_web_view_get_settings(View()), TRUE);
}

WebBrowser::WebBrowser(Delegate& delegate, WebBrowser& opener)
    // Related: the same session, the same page process, so window.opener works.
    : WebBrowser(delegate, WEBKIT_WEB_VIEW(webkit_web_view_new_with_related_view(opener.View())),
                 opener.bridge_) {}

WebBrowser::~WebBrowser() {
    ForgetReadiness();
    readinessCheck_.Reset();
    readinessRecheck_.Reset();
    events_.reset();
}

void WebBrowser::Load(const std::string& address) {
    if (View()) webkit_web_view_load_uri(View(), address.c_str());
}

bool WebBrowser::ShowsDialog() { return PageShowsDialog(View()); }

bool WebBrowser::HandleKey(const GdkEventKey& event) {
    if (!View()) return false;
    return app::Browser::HandleKey(
        KeyPressOf(event.keyval, static_cast<GdkModifierType>(event.state)));
}

ShownPage WebBrowser::PageShown() {
    return reload_.Shown(View() ? webkit_web_view_get_uri(View()) : nullptr);
}

bool WebBrowser::BeginReload() {
    WebKitWebView* view = View();
    if (!view) return false;
    // A page process that let a call miss its bound and has not answered
    // since would not take the reload either: a new process loads the page.
    if (bridge_.Unanswering(webkit_web_view_get_page_id(view)))
        webkit_web_view_terminate_web_process(view);
    return !reload_.PutsOffReload();
}

bool WebBrowser::ReloadFromServer() {
    webkit_web_view_reload_bypass_cache(View());
    return true;
}

bool WebBrowser::NavigateTo(const std::string& address) {
    webkit_web_view_load_uri(View(), address.c_str());
    return true;
}

void WebBrowser::ReloadStarted(ReloadDecision::Kind) { loads_.ReloadAsked(); }

void WebBrowser::GoBack() {
    historyNext_ = true;
    webkit_web_view_go_back(View());
}

void WebBrowser::GoForward() {
    historyNext_ = true;
    webkit_web_view_go_forward(View());
}

void WebBrowser::StopLoading() { webkit_web_view_stop_loading(View()); }

double WebBrowser::ZoomLevel() { return webkit_web_view_get_zoom_level(View()); }

void WebBrowser::SetZoomLevel(double level) { webkit_web_view_set_zoom_level(View(), level); }

bool WebBrowser::IsLoading() { return View() && webkit_web_view_is_loading(View()); }

void WebBrowser::SetReadinessRecheck(bool on) {
    readinessRecheck_ = on ? support::glib::Every(kReadinessRecheckMs, OnReadinessCheck, this)
                           : support::glib::UniqueSource();
}

void WebBrowser::CheckReadinessSoon() {
    GSource* idle = g_idle_source_new();
    g_source_set_callback(
        idle,
        [](gpointer data) -> gboolean {
            auto* self = static_cast<WebBrowser*>(data);
            // This source ends here (destroyed while it runs, as GLib allows).
            self->readinessCheck_.Reset();
            self->CheckReadiness();
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
    readinessCheck_ = support::glib::Attach(idle);
}

gboolean WebBrowser::OnReadinessCheck(gpointer data) {
    static_cast<WebBrowser*>(data)->CheckReadiness();
    return G_SOURCE_CONTINUE;  // until CheckReadiness stops it
}

void WebBrowser::OnNavigationDecided(WebKitNavigationAction* action) {
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    reload_.NavigationDecided(webkit_uri_request_get_uri(request),
                              webkit_uri_request_get_http_method(request));
    const WebKitNavigationType type = webkit_navigation_action_get_navigation_type(action);
    historyNext_ = type == WEBKIT_NAVIGATION_TYPE_BACK_FORWARD;
    loads_.NavigationDecided(type == WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED ||
                             type == WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED);
    CheckReadinessSoon();
}

void WebBrowser::OnLoadChanged(WebKitLoadEvent event) {
    WebKitWebView* view = View();
    const bool reloadNow = reload_.LoadChanged(event, webkit_web_view_get_uri(view));
    loads_.LoadChanged(event, webkit_web_view_is_loading(view));
    // The press led the page on: its window, if any, was asked for by now.
    if (event == WEBKIT_LOAD_STARTED) toolPress_ = false;
    if (event == WEBKIT_LOAD_COMMITTED) DocumentCommitted(std::exchange(historyNext_, false));
    // The tool's own page has loaded in place of a lost one: the reload
    // asked for meanwhile brings the lost one back.
    if (reloadNow) Reload();
    CheckReadinessSoon();
}

void WebBrowser::OnLoadFailed() {
    loads_.LoadFailed(View() && webkit_web_view_is_loading(View()));
    CheckReadinessSoon();
}

void WebBrowser::OnProcessTerminated(WebKitWebProcessTerminationReason reason) {
    WebKitWebView* view = View();
    const std::string lost = reload_.ProcessTerminated(reason, webkit_web_view_get_uri(view));
    // Shown under the lost address, so the address stays what the user saw.
    if (!lost.empty())
        webkit_web_view_load_alternate_html(view, CrashedPageHtml(lost).c_str(), lost.c_str(),
                                            nullptr);
    loads_.ProcessTerminated();
    CheckReadinessSoon();
}

GtkWidget* WebBrowser::OnCreate(WebKitNavigationAction* action) {
    const bool asked = webkit_navigation_action_is_user_gesture(action) || toolPress_;
    toolPress_ = false;
    if (!asked) return nullptr;  // a page's script alone: no window, as a browser blocks it
    // Every browser of this shell is a WebBrowser.
    auto* opened = static_cast<WebBrowser*>(Owner().OpenNewWindow(*this));
    return opened && opened->View() ? GTK_WIDGET(opened->View()) : nullptr;
}

void WebBrowser::OnClose() { Owner().CloseWindow(*this); }

void WebBrowser::OnDialog() {
    FocusPageDialogSoon(View());
    CheckReadinessSoon();
}

// A page's window is shown from here, at the size its page asked for.
void WebBrowser::OnReadyToShow() {
    GdkRectangle geometry{0, 0, 0, 0};
    webkit_window_properties_get_geometry(webkit_web_view_get_window_properties(View()), &geometry);
    OnTitleChanged();
    Owner().WindowSizeRequested(*this, geometry.width, geometry.height);
}

void WebBrowser::OnTitleChanged() {
    const char* title = webkit_web_view_get_title(View());
    const char* uri = webkit_web_view_get_uri(View());
    Owner().TitleChanged(*this, PageWindowTitle(title ? title : "", uri ? uri : ""));
}

}  // namespace autolabel::app::gtk
