#include "app/gtk/main_window.h"

#include <glib/gstdio.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "app/commands.h"

namespace autolabel::app::gtk {

namespace webkit = browser_host::webkit;

namespace {

// The web process extension's module lives alone in this directory: WebKit
// loads every module it finds there.
std::string ExtensionDirectory() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto beside = exe.parent_path() / "web-extension";
        if (std::filesystem::is_directory(beside, error)) return beside.string();
    }
    return AUTOLABEL_WEB_EXTENSION_DIR;
}

void OnInitializeWebExtensions(WebKitWebContext* context, gpointer data) {
    auto& bridge = static_cast<webkit::WebKitPlatform*>(data)->bridge();
    webkit_web_context_set_web_extensions_directory(context, ExtensionDirectory().c_str());
    webkit_web_context_set_web_extensions_initialization_user_data(context,
                                                                   bridge.InitializationData());
    // The socket must be reachable when WebKit's sandbox is on.
    if (!bridge.directory().empty())
        webkit_web_context_add_path_to_sandbox(context, bridge.directory().c_str(), FALSE);
}

void RunBoundRoutine(GtkWidget*, gpointer routine) {
    RunRoutine(static_cast<Routine>(GPOINTER_TO_INT(routine)));
}

gboolean RunBoundRoutineOnRelease(GtkWidget* widget, GdkEventButton* event, gpointer routine) {
    if (event->button == GDK_BUTTON_PRIMARY) RunBoundRoutine(widget, routine);
    return FALSE;
}

// The group boxes' font: the defined face when the system has it, else the
// nearest sans face, at the defined character height.
void ApplyFont(GtkWidget* label, const FontDefinition& font) {
    g_autofree char* css = g_strdup_printf(
        "label { font-family: \"%.*s\", sans-serif; font-size: %dpx; font-weight: %d;"
        " font-style: %s; text-decoration-line: %s%s; }",
        static_cast<int>(font.face.size()), font.face.data(),
        font.height < 0 ? -font.height : font.height, font.weight,
        font.italic ? "italic" : "normal", font.underline ? "underline " : "",
        font.strikeOut ? "line-through" : (font.underline ? "" : "none"));
    g_autoptr(GtkCssProvider) provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css, -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(label),
                                   GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

// A button keeps its defined width: narrow padding lets the longest caption
// fit, and a caption that still does not fit is cut rather than widening it.
void FitCaption(GtkWidget* button) {
    static GtkCssProvider* provider = [] {
        GtkCssProvider* p = gtk_css_provider_new();
        gtk_css_provider_load_from_data(p, "button { padding-left: 2px; padding-right: 2px; }", -1,
                                        nullptr);
        return p;
    }();
    gtk_style_context_add_provider(gtk_widget_get_style_context(button),
                                   GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    if (GtkWidget* label = gtk_bin_get_child(GTK_BIN(button)); GTK_IS_LABEL(label))
        gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
}

}  // namespace

MainWindow::MainWindow(webkit::WebKitPlatform& platform) : platform_(platform) {}

MainWindow::~MainWindow() {
    if (timer_) g_source_remove(timer_);
    if (window_) gtk_widget_destroy(GTK_WIDGET(window_));
}

GtkWidget* MainWindow::control(std::string_view name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::CreateMainWindow(const WindowDefinition& definition,
                                  const std::string& startAddress) {
    window_ = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_window_set_title(window_, std::string(definition.title).c_str());
    gtk_window_set_default_size(window_, definition.width, definition.height);
    gtk_window_move(window_, definition.left, definition.top);
    gtk_window_set_resizable(window_, FALSE);  // the layout does not follow a new size
    g_signal_connect(window_, "destroy", G_CALLBACK(OnDestroy), this);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, definition.width, definition.height);
    gtk_container_add(GTK_CONTAINER(window_), fixed);
    // GtkFixed draws its children in the order they were added: the frames go
    // first so that the buttons stand above them and take the clicks.
    for (const ControlDefinition& control : definition.controls)
        if (control.kind == ControlKind::RadioGroupBox)
            AddControl(GTK_FIXED(fixed), control, startAddress);
    for (const ControlDefinition& control : definition.controls)
        if (control.kind != ControlKind::RadioGroupBox)
            AddControl(GTK_FIXED(fixed), control, startAddress);

    gtk_widget_show_all(GTK_WIDGET(window_));
    if (definition.event == ControlEvent::Created) RunRoutine(definition.routine);
}

GtkWidget* MainWindow::AddControl(GtkFixed* fixed, const ControlDefinition& control,
                                  const std::string& startAddress) {
    GtkWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::PushButton: {
            widget = gtk_button_new_with_label(std::string(control.caption).c_str());
            FitCaption(widget);
            if (control.event == ControlEvent::Click)
                g_signal_connect(widget, "clicked", G_CALLBACK(RunBoundRoutine),
                                 GINT_TO_POINTER(static_cast<int>(control.routine)));
            break;
        }
        case ControlKind::RadioGroupBox:
            widget = MakeGroupBox(control);
            break;
        case ControlKind::WebBrowser:
            widget = MakeBrowser(startAddress);
            break;
        case ControlKind::Timer:
            // No visible form; it ticks into the bound routine once given a period.
            timerRoutine_ = control.event == ControlEvent::Tick ? control.routine : Routine::None;
            return nullptr;
    }
    gtk_widget_set_size_request(widget, control.width, control.height);
    gtk_widget_set_name(widget, std::string(control.name).c_str());
    gtk_fixed_put(fixed, widget, control.left, control.top);
    controls_.emplace(std::string(control.name), widget);
    return widget;
}

GtkWidget* MainWindow::MakeGroupBox(const ControlDefinition& control) {
    GtkWidget* frame = gtk_frame_new(std::string(control.caption).c_str());
    if (control.font) ApplyFont(gtk_frame_get_label_widget(GTK_FRAME(frame)), *control.font);
    if (control.event != ControlEvent::Click) return frame;
    // A frame has no input window of its own; an invisible event box under
    // it takes clicks on the frame, while the buttons above keep theirs.
    GtkWidget* box = gtk_event_box_new();
    gtk_event_box_set_visible_window(GTK_EVENT_BOX(box), FALSE);
    gtk_container_add(GTK_CONTAINER(box), frame);
    g_signal_connect(box, "button-release-event", G_CALLBACK(RunBoundRoutineOnRelease),
                     GINT_TO_POINTER(static_cast<int>(control.routine)));
    return box;
}

GtkWidget* MainWindow::MakeBrowser(const std::string& startAddress) {
    context_ = webkit::Adopt(webkit_web_context_new());
    g_signal_connect(context_.get(), "initialize-web-extensions",
                     G_CALLBACK(OnInitializeWebExtensions), &platform_);
    webView_ = WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(context_.get()));
    g_signal_connect(webView_, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                         static_cast<MainWindow*>(self)->webView_ = nullptr;
                     }),
                     this);
    // The browser control is a container; its child, the web view, is the
    // document window.
    browser_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_hexpand(GTK_WIDGET(webView_), TRUE);
    gtk_widget_set_vexpand(GTK_WIDGET(webView_), TRUE);
    gtk_container_add(GTK_CONTAINER(browser_), GTK_WIDGET(webView_));
    g_signal_connect(browser_, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                         static_cast<MainWindow*>(self)->browser_ = nullptr;
                     }),
                     this);
    webkit_web_view_load_uri(webView_, startAddress.c_str());
    return browser_;
}

int MainWindow::RunMessageLoop() {
    if (window_) gtk_main();
    return 0;
}

void MainWindow::OnDestroy(GtkWidget*, gpointer data) {
    auto* self = static_cast<MainWindow*>(data);
    self->SetTimerPeriod(kTimerStoppedPeriodMs);
    self->window_ = nullptr;
    if (gtk_main_level() > 0) gtk_main_quit();
}

browser_host::WindowHandle MainWindow::BrowserWindowHandle() {
    return browser_ ? platform_.HandleOf(browser_) : 0;
}

void MainWindow::SetTimerPeriod(int milliseconds) {
    // A new period starts a new interval, also while the timer runs.
    if (timer_) g_source_remove(timer_);
    timer_ = 0;
    timerPeriod_ = milliseconds > 0 ? milliseconds : 0;
    if (timerPeriod_ > 0) timer_ = g_timeout_add(static_cast<guint>(timerPeriod_), OnTimer, this);
}

gboolean MainWindow::OnTimer(gpointer data) {
    auto* self = static_cast<MainWindow*>(data);
    const guint running = g_source_get_id(g_main_current_source());
    RunRoutine(self->timerRoutine_);
    // The routine may have set a new period (or none): this source then ends.
    return running == self->timer_ ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void MainWindow::ReloadBrowser() {
    if (webView_) webkit_web_view_reload(webView_);
}

}  // namespace autolabel::app::gtk
