#include "app/gtk/main_window.h"

#include "app/commands.h"
#include "app/gtk/browser_session.h"
#include "app/labeling_run.h"

namespace autolabel::app::gtk {

namespace webkit = browser_host::webkit;

namespace {

constexpr const char* kRoutineKey = "autolabel-routine";
// Often enough for a countdown in whole seconds.
constexpr guint kStateRefreshMs = 500;

void BindRoutine(GtkWidget* widget, Routine routine) {
    g_object_set_data(G_OBJECT(widget), kRoutineKey, GINT_TO_POINTER(static_cast<int>(routine)));
}

Routine BoundRoutine(GtkWidget* widget) {
    return static_cast<Routine>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kRoutineKey)));
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
    timer_.Reset();
    stateRefresh_.Reset();
    state_.reset();
    pageWindows_.clear();
    if (window_) gtk_widget_destroy(GTK_WIDGET(window_));
    browser_.reset();
}

GtkWidget* MainWindow::Control(std::string_view name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::CreateMainWindow(const WindowDefinition& definition,
                                  const std::string& startAddress) {
    window_ = GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_window_set_title(window_, std::string(definition.title).c_str());
    gtk_window_set_default_size(window_, definition.width, definition.height);
    gtk_window_move(window_, definition.left, definition.top);
    // The layout does not follow a new size: the window keeps the defined
    // one, given as its least and greatest size. (Made not resizable, GTK
    // would give it its contents' natural size, and the web view's natural
    // height follows its page: 968 after a page process was replaced.)
    GdkGeometry defined{};
    defined.min_width = defined.max_width = definition.width;
    defined.min_height = defined.max_height = definition.height;
    gtk_window_set_geometry_hints(
        window_, nullptr, &defined,
        static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
    g_signal_connect(window_, "destroy", G_CALLBACK(OnDestroy), this);
    // Before the page is asked for, so a signal during the load closes too.
    closeOnSignal_ = std::make_unique<CloseOnSignal>(window_);
    // Connected before the window's own handler, which passes keys on to
    // the view: the browser's keys never reach the page.
    g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);

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

    if (const ControlDefinition* browser = FindControl("超文本浏览框1"); browser && browser_)
        state_ = std::make_unique<StateBubble>(
            GTK_FIXED(fixed), GTK_WIDGET(browser_->View()),
            GdkRectangle{browser->left, browser->top, browser->width, browser->height});
    gtk_widget_show_all(GTK_WIDGET(window_));
    stateRefresh_.Reset(g_timeout_add(kStateRefreshMs, OnStateRefresh, this));
    if (definition.event == ControlEvent::Created) RunRoutine(definition.routine);
}

GtkWidget* MainWindow::AddControl(GtkFixed* fixed, const ControlDefinition& control,
                                  const std::string& startAddress) {
    GtkWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::PushButton: {
            widget = gtk_button_new_with_label(std::string(control.caption).c_str());
            FitCaption(widget);
            if (control.event == ControlEvent::Click) {
                BindRoutine(widget, control.routine);
                g_signal_connect(widget, "clicked", G_CALLBACK(OnButtonClicked), this);
            }
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
    BindRoutine(box, control.routine);
    g_signal_connect(box, "button-release-event", G_CALLBACK(OnGroupBoxReleased), this);
    return box;
}

GtkWidget* MainWindow::MakeBrowser(const std::string& startAddress) {
    context_ = NewBrowserContext(platform_);
    browser_ = std::make_unique<WebBrowser>(static_cast<app::Browser::Delegate&>(*this),
                                            context_.get(), platform_.bridge());
    browser_->Load(startAddress);
    return browser_->Widget();
}

// Every browser of this shell is a WebBrowser.
app::Browser* MainWindow::OpenNewWindow(app::Browser& opener) {
    PageWindowOwner& owner = *this;
    auto page = std::make_unique<PageWindow>(static_cast<WebBrowser&>(opener), owner);
    WebBrowser* browser = &page->Browser();
    pageWindows_.push_back(std::move(page));
    return browser;
}

void MainWindow::PageWindowClosed(PageWindow& closed) {
    std::erase_if(pageWindows_, [&](const auto& page) { return page.get() == &closed; });
}

// The tool's window stays open whatever its page asks.
void MainWindow::CloseWindow(app::Browser&) {}

// F5 and Ctrl+R run the same reload as 刷新.
void MainWindow::ReloadRequested(app::Browser&) { RunCommand(Routine::RefreshPage); }

// While the page holds the commands (a sent form waits for its answer, a
// dialog is open), the window shows the busy pointer over its buttons and
// frames; the page shows its own.
void MainWindow::ReadinessChanged(app::Browser&, bool ready) {
    RefreshState();
    GdkWindow* shown = window_ ? gtk_widget_get_window(GTK_WIDGET(window_)) : nullptr;
    if (!shown) return;
    GdkDisplay* display = gdk_window_get_display(shown);
    support::glib::GObjectPtr<GdkCursor> busy;
    if (!ready) {
        busy = support::glib::Adopt(gdk_cursor_new_from_name(display, "progress"));
        if (!busy) busy = support::glib::Adopt(gdk_cursor_new_for_display(display, GDK_WATCH));
    }
    gdk_window_set_cursor(shown, busy.get());
}

std::vector<PageWindow*> MainWindow::PageWindows() const {
    std::vector<PageWindow*> windows;
    for (const auto& page : pageWindows_) windows.push_back(page.get());
    return windows;
}

PageHold MainWindow::PageHoldNow() { return browser_ ? browser_->Hold() : PageHold::None; }

ShownDocument MainWindow::Document() { return browser_ ? browser_->Shown() : ShownDocument{}; }

void MainWindow::PagePressed() {
    if (browser_) browser_->Pressed();
}

void MainWindow::RunCommand(Routine routine) {
    // One bound per command: a page that missed one in an earlier command
    // is tried afresh.
    platform_.bridge().BeginCommand();
    if (browser_) browser_->ExpectToolPress();
    RunRoutine(routine);
    RefreshState();
}

void MainWindow::RefreshState() {
    if (state_) state_->Show(labeling.StateLine(PageHoldNow()));
}

gboolean MainWindow::OnStateRefresh(gpointer self) {
    static_cast<MainWindow*>(self)->RefreshState();
    return G_SOURCE_CONTINUE;
}

void MainWindow::OnButtonClicked(GtkWidget* button, gpointer self) {
    static_cast<MainWindow*>(self)->RunCommand(BoundRoutine(button));
}

gboolean MainWindow::OnGroupBoxReleased(GtkWidget* box, GdkEventButton* event, gpointer self) {
    if (event->button == GDK_BUTTON_PRIMARY)
        static_cast<MainWindow*>(self)->RunCommand(BoundRoutine(box));
    return FALSE;
}

gboolean MainWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<MainWindow*>(data);
    return self->browser_ && self->browser_->HandleKey(*event);
}

int MainWindow::RunMessageLoop() {
    if (window_) gtk_main();
    return 0;
}

void MainWindow::OnDestroy(GtkWidget*, gpointer data) {
    auto* self = static_cast<MainWindow*>(data);
    self->SetTimerPeriod(kTimerStoppedPeriodMs);
    self->stateRefresh_.Reset();
    self->closeOnSignal_.reset();
    self->window_ = nullptr;
    if (gtk_main_level() > 0) gtk_main_quit();
}

browser_host::WindowHandle MainWindow::BrowserWindowHandle() {
    GtkWidget* widget = browser_ ? browser_->Widget() : nullptr;
    return widget ? platform_.HandleOf(widget) : 0;
}

void MainWindow::SetTimerPeriod(int milliseconds) {
    // A new period starts a new interval, also while the timer runs.
    timer_.Reset();
    timerPeriod_ = milliseconds > 0 ? milliseconds : 0;
    if (timerPeriod_ > 0)
        timer_.Reset(g_timeout_add(static_cast<guint>(timerPeriod_), OnTimer, this));
}

gboolean MainWindow::OnTimer(gpointer data) {
    auto* self = static_cast<MainWindow*>(data);
    const guint running = g_source_get_id(g_main_current_source());
    // A tick while the page is not ready does nothing; the mode goes on.
    self->RunCommand(self->timerRoutine_);
    // The routine may have set a new period (or none): this source then ends.
    return running == self->timer_.Get() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void MainWindow::ReloadBrowser() {
    // Also the reload SelectAll asks for: the browser's, never under the
    // page's dialog, in a new process where the page's no longer answers.
    if (browser_) browser_->Reload();
}

}  // namespace autolabel::app::gtk
