#include "app/gtk/new_windows.h"

#include <algorithm>

namespace autolabel::app::gtk {

namespace {

// A page that asks for no size gets a window of an ordinary browser's size.
constexpr int kDefaultWidth = 900;
constexpr int kDefaultHeight = 640;
constexpr int kMinimumSide = 200;

}  // namespace

NewWindows::~NewWindows() {
    // Destroying a window takes it out of the list.
    while (!windows_.empty()) gtk_widget_destroy(GTK_WIDGET(windows_.back()));
}

void NewWindows::Serve(WebKitWebView* view) {
    g_signal_connect(view, "create", G_CALLBACK(OnCreate), this);
}

GtkWidget* NewWindows::OnCreate(WebKitWebView* opener, WebKitNavigationAction*, gpointer data) {
    auto* self = static_cast<NewWindows*>(data);
    // Related: the same session, the same page process, so window.opener works.
    auto* view = WEBKIT_WEB_VIEW(webkit_web_view_new_with_related_view(opener));
    GtkWindow* window = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(view));
    self->windows_.push_back(window);
    g_signal_connect(window, "destroy", G_CALLBACK(OnWindowDestroyed), self);
    g_signal_connect(view, "ready-to-show", G_CALLBACK(OnReadyToShow), window);
    g_signal_connect(view, "notify::title", G_CALLBACK(OnTitle), window);
    // window.close() from the page closes its window.
    g_signal_connect_swapped(view, "close", G_CALLBACK(gtk_widget_destroy), window);
    self->Serve(view);
    return GTK_WIDGET(view);
}

void NewWindows::OnReadyToShow(WebKitWebView* view, gpointer data) {
    GtkWindow* window = GTK_WINDOW(data);
    GdkRectangle geometry{0, 0, 0, 0};
    webkit_window_properties_get_geometry(webkit_web_view_get_window_properties(view), &geometry);
    // The page's wish where it is sensible, an ordinary size otherwise.
    const int width = geometry.width >= kMinimumSide ? geometry.width : kDefaultWidth;
    const int height = geometry.height >= kMinimumSide ? geometry.height : kDefaultHeight;
    gtk_window_set_default_size(window, width, height);
    OnTitle(view, nullptr, window);
    gtk_widget_show_all(GTK_WIDGET(window));
}

void NewWindows::OnTitle(WebKitWebView* view, GParamSpec*, gpointer window) {
    const char* title = webkit_web_view_get_title(view);
    const char* uri = webkit_web_view_get_uri(view);
    gtk_window_set_title(GTK_WINDOW(window), title && *title ? title : (uri ? uri : ""));
}

void NewWindows::OnWindowDestroyed(GtkWidget* window, gpointer data) {
    auto& windows = static_cast<NewWindows*>(data)->windows_;
    windows.erase(std::remove(windows.begin(), windows.end(), GTK_WINDOW(window)), windows.end());
}

}  // namespace autolabel::app::gtk
