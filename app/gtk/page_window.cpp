#include "app/gtk/page_window.h"

namespace autolabel::app::gtk {

namespace {

// A page that asks for no size gets a window of an ordinary browser's size.
constexpr int kDefaultWidth = 900;
constexpr int kDefaultHeight = 640;
constexpr int kMinimumSide = 200;

}  // namespace

std::unique_ptr<PageWindow> PageWindow::Create(
    WebBrowser& opener, std::function<WebBrowser*(WebBrowser& opener)> openNewWindow,
    ClosedHandler onClosed) {
    std::unique_ptr<PageWindow> page(new PageWindow);
    page->openNewWindow_ = std::move(openNewWindow);
    page->onClosed_ = std::move(onClosed);
    WebBrowser::Delegate& delegate = *page;
    page->browser_ = std::make_unique<WebBrowser>(delegate, opener);
    page->window_ = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_container_add(GTK_CONTAINER(page->window_), page->browser_->Widget());
    g_signal_connect(page->window_, "destroy", G_CALLBACK(OnDestroy), page.get());
    // Before the window's own handler, which passes keys on to the view.
    g_signal_connect(page->window_, "key-press-event", G_CALLBACK(OnKeyPress), page.get());
    WebKitWebView* view = page->browser_->View();
    g_signal_connect(view, "ready-to-show", G_CALLBACK(OnReadyToShow), page.get());
    g_signal_connect(view, "notify::title", G_CALLBACK(OnTitle), page.get());
    return page;
}

PageWindow::~PageWindow() {
    if (WebKitWebView* view = browser_ ? browser_->View() : nullptr)
        g_signal_handlers_disconnect_by_data(view, this);
    if (window_) {
        g_signal_handlers_disconnect_by_data(window_, this);
        gtk_widget_destroy(GTK_WIDGET(window_));
    }
}

WebBrowser* PageWindow::OpenNewWindow(WebBrowser& opener) {
    return openNewWindow_ ? openNewWindow_(opener) : nullptr;
}

// window.close() from the page closes its window.
void PageWindow::CloseWindow(WebBrowser&) {
    if (window_) gtk_widget_destroy(GTK_WIDGET(window_));
}

// F5 and Ctrl+R: the same reload as the main window's, which never sends a
// form again; the tool's commands are not run for a page's window.
void PageWindow::ReloadRequested(WebBrowser& browser) { browser.Reload(); }

// The window holds the view alone, which shows its own pointer.
void PageWindow::ReadinessChanged(WebBrowser&, bool) {}

void PageWindow::OnReadyToShow(WebKitWebView* view, gpointer data) {
    auto* self = static_cast<PageWindow*>(data);
    GdkRectangle geometry{0, 0, 0, 0};
    webkit_window_properties_get_geometry(webkit_web_view_get_window_properties(view), &geometry);
    // The page's wish where it is sensible, an ordinary size otherwise.
    const int width = geometry.width >= kMinimumSide ? geometry.width : kDefaultWidth;
    const int height = geometry.height >= kMinimumSide ? geometry.height : kDefaultHeight;
    gtk_window_set_default_size(self->window_, width, height);
    OnTitle(view, nullptr, self);
    gtk_widget_show_all(GTK_WIDGET(self->window_));
}

void PageWindow::OnTitle(WebKitWebView* view, GParamSpec*, gpointer data) {
    auto* self = static_cast<PageWindow*>(data);
    const char* title = webkit_web_view_get_title(view);
    const char* uri = webkit_web_view_get_uri(view);
    gtk_window_set_title(self->window_, title && *title ? title : (uri ? uri : ""));
}

gboolean PageWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    return static_cast<PageWindow*>(data)->browser_->HandleKey(*event);
}

void PageWindow::OnDestroy(GtkWidget*, gpointer data) {
    auto* self = static_cast<PageWindow*>(data);
    self->window_ = nullptr;
    // Last: the owner may destroy this object here.
    if (self->onClosed_) self->onClosed_(*self);
}

}  // namespace autolabel::app::gtk
