#include "app/gtk/state_bubble.h"

namespace autolabel::app::gtk {

namespace {

constexpr int kMargin = 4;
// How near the pointer may come before the bubble steps aside.
constexpr int kPointerReach = 24;

// Light text on a dark ground, readable over any page.
void StyleBubble(GtkWidget* label) {
    static GtkCssProvider* provider = [] {
        GtkCssProvider* p = gtk_css_provider_new();
        gtk_css_provider_load_from_data(p,
                                        "label { background-color: #202824; color: #f4f7f4;"
                                        " font-size: 12px; padding: 3px 8px; }",
                                        -1, nullptr);
        return p;
    }();
    gtk_style_context_add_provider(gtk_widget_get_style_context(label),
                                   GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

}  // namespace

StateBubble::StateBubble(GtkFixed* fixed, GtkWidget* browser, GdkRectangle browserArea)
    : fixed_(fixed), area_(browserArea) {
    GtkWidget* label = gtk_label_new("");
    label_.Reset(label);
    // A window of its own, so it is drawn above the view's.
    GtkWidget* box = gtk_event_box_new();
    gtk_event_box_set_visible_window(GTK_EVENT_BOX(box), TRUE);
    gtk_container_add(GTK_CONTAINER(box), label);
    gtk_widget_set_name(box, "状态");
    StyleBubble(label);
    box_.Reset(box);
    gtk_fixed_put(fixed, box, area_.x + kMargin, area_.y + area_.height - kMargin);
    gtk_widget_set_no_show_all(box, TRUE);  // shown only when there is something to say
    gtk_widget_show(label);
    gtk_widget_add_events(browser, GDK_POINTER_MOTION_MASK);
    pointerMoved_ = {browser, "motion-notify-event", G_CALLBACK(OnPointerMoved), this};
    gtk_widget_add_events(browser, GDK_ENTER_NOTIFY_MASK);
    pointerCameIn_ = {browser, "enter-notify-event", G_CALLBACK(OnPointerCameIn), this};
    // The pointer may come onto the bubble itself, past the view.
    gtk_widget_add_events(box, GDK_ENTER_NOTIFY_MASK);
    pointerEntered_ = {box, "enter-notify-event", G_CALLBACK(OnPointerEntered), this};
}

void StateBubble::Show(const std::string& text) {
    GtkWidget* box = box_.Get();
    if (!box || !label_) return;
    if (text.empty()) {
        gtk_widget_hide(box);
        return;
    }
    if (text != gtk_label_get_text(GTK_LABEL(label_.Get())))
        gtk_label_set_text(GTK_LABEL(label_.Get()), text.c_str());
    Place();
    gtk_widget_show(box);
}

std::string StateBubble::Text() const {
    GtkWidget* box = box_.Get();
    if (!box || !label_ || !gtk_widget_get_visible(box)) return "";
    return gtk_label_get_text(GTK_LABEL(label_.Get()));
}

void StateBubble::Place() {
    GtkWidget* box = box_.Get();
    if (!box || !fixed_) return;
    int width = 0, height = 0;
    gtk_widget_get_preferred_width(box, nullptr, &width);
    gtk_widget_get_preferred_height(box, nullptr, &height);
    const int x = atRight_ ? area_.x + area_.width - width - kMargin : area_.x + kMargin;
    gtk_fixed_move(fixed_.Get(), box, x, area_.y + area_.height - height - kMargin);
}

// The pointer over the browser, in the view's coordinates: near the bubble,
// it steps to the other bottom corner.
void StateBubble::PointerAt(GtkWidget* browser, double viewX, double viewY) {
    GtkWidget* box = box_.Get();
    if (!box || !gtk_widget_get_visible(box)) return;
    GtkAllocation bubble{};
    gtk_widget_get_allocation(box, &bubble);
    GtkAllocation view{};
    gtk_widget_get_allocation(browser, &view);
    // Both allocations are in the GtkFixed's coordinates (no windows between).
    const int x = view.x + static_cast<int>(viewX), y = view.y + static_cast<int>(viewY);
    if (x >= bubble.x - kPointerReach && x < bubble.x + bubble.width + kPointerReach &&
        y >= bubble.y - kPointerReach)
        StepAside();
}

gboolean StateBubble::OnPointerMoved(GtkWidget* browser, GdkEventMotion* event, gpointer self) {
    static_cast<StateBubble*>(self)->PointerAt(browser, event->x, event->y);
    return FALSE;  // the page has the pointer as usual
}

// A pointer that comes into the view from outside it reports no motion first.
gboolean StateBubble::OnPointerCameIn(GtkWidget* browser, GdkEventCrossing* event, gpointer self) {
    static_cast<StateBubble*>(self)->PointerAt(browser, event->x, event->y);
    return FALSE;
}

gboolean StateBubble::OnPointerEntered(GtkWidget*, GdkEventCrossing*, gpointer self) {
    static_cast<StateBubble*>(self)->StepAside();
    return FALSE;
}

void StateBubble::StepAside() {
    atRight_ = !atRight_;
    Place();
}

}  // namespace autolabel::app::gtk
