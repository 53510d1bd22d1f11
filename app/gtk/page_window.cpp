#include "app/gtk/page_window.h"

namespace autolabel::app::gtk {

PageWindow::PageWindow(WebBrowser& opener, PageWindowOwner& owner)
    : owner_(owner), browser_(static_cast<app::Browser::Delegate&>(*this), opener) {
    window_.Reset(GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL)));
    gtk_container_add(GTK_CONTAINER(window_.Get()), browser_.Widget());
    destroyed_ = {window_.Get(), "destroy", G_CALLBACK(OnDestroy), this};
    // Before the window's own handler, which passes keys on to the view.
    keyPressed_ = {window_.Get(), "key-press-event", G_CALLBACK(OnKeyPress), this};
}

PageWindow::~PageWindow() {
    destroyed_.Disconnect();
    if (GtkWindow* window = window_.Get()) gtk_widget_destroy(GTK_WIDGET(window));
}

app::Browser* PageWindow::OpenNewWindow(app::Browser& opener) {
    return owner_.OpenNewWindow(opener);
}

// window.close() from the page closes its window.
void PageWindow::CloseWindow(app::Browser&) {
    if (GtkWindow* window = window_.Get()) gtk_widget_destroy(GTK_WIDGET(window));
}

// F5 and Ctrl+R: the same reload as the main window's, which never sends a
// form again; the tool's commands are not run for a page's window.
void PageWindow::ReloadRequested(app::Browser& browser) { browser.Reload(); }

// The window holds the view alone, which shows its own pointer.
void PageWindow::ReadinessChanged(app::Browser&, bool) {}

void PageWindow::WindowSizeRequested(app::Browser&, int width, int height) {
    const PageWindowSize size = PageWindowSizeFor(width, height);
    gtk_window_set_default_size(window_.Get(), size.width, size.height);
    gtk_widget_show_all(GTK_WIDGET(window_.Get()));
}

void PageWindow::TitleChanged(app::Browser&, const std::string& title) {
    if (window_) gtk_window_set_title(window_.Get(), title.c_str());
}

gboolean PageWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    return static_cast<PageWindow*>(data)->browser_.HandleKey(*event);
}

void PageWindow::OnDestroy(GtkWidget*, gpointer data) {
    auto* self = static_cast<PageWindow*>(data);
    self->window_.Reset();
    // Last: the owner may destroy this object here.
    self->owner_.PageWindowClosed(*self);
}

}  // namespace autolabel::app::gtk
