// The window as built: title, geometry, the controls in their kinds, captions,
// positions and sizes, the group boxes' font, and the window tree the binding
// walks.
#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include "app/commands.h"
#include "app/window_definition.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {
namespace {

int ChildProperty(GtkWidget* widget, const char* name) {
    GtkWidget* parent = gtk_widget_get_parent(widget);
    int value = -1;
    gtk_container_child_get(GTK_CONTAINER(parent), widget, name, &value, nullptr);
    return value;
}

// The widget the control's caption lives on (a frame may sit in an event box).
GtkWidget* Framed(GtkWidget* widget) {
    if (GTK_IS_EVENT_BOX(widget)) return gtk_bin_get_child(GTK_BIN(widget));
    return widget;
}

TEST(Window, TitleAndGeometry) {
    auto& h = Harness::Get();
    GtkWindow* window = h.window().Window();
    const auto& definition = app::MainWindowDefinition();
    EXPECT_STREQ(gtk_window_get_title(window), "青禾核心用户标注平台自动刷贴器");
    int x = 0, y = 0, width = 0, height = 0;
    gtk_window_get_position(window, &x, &y);
    gtk_window_get_size(window, &width, &height);
    EXPECT_EQ(x, definition.left);
    EXPECT_EQ(y, definition.top);
    EXPECT_EQ(width, definition.width);
    EXPECT_EQ(height, definition.height);
}

TEST(Window, EveryControlAsDefined) {
    auto& h = Harness::Get();
    int visible = 0;
    for (const auto& control : app::MainWindowDefinition().controls) {
        SCOPED_TRACE(std::string(control.name));
        GtkWidget* widget = h.window().Control(control.name);
        if (control.kind == app::ControlKind::Timer) {
            EXPECT_EQ(widget, nullptr);  // no visible form
            continue;
        }
        ASSERT_NE(widget, nullptr);
        ++visible;
        EXPECT_TRUE(gtk_widget_get_visible(widget));
        EXPECT_TRUE(gtk_widget_is_sensitive(widget));
        EXPECT_EQ(ChildProperty(widget, "x"), control.left);
        EXPECT_EQ(ChildProperty(widget, "y"), control.top);
        EXPECT_EQ(gtk_widget_get_allocated_width(widget), control.width);
        EXPECT_EQ(gtk_widget_get_allocated_height(widget), control.height);
        switch (control.kind) {
            case app::ControlKind::PushButton:
                ASSERT_TRUE(GTK_IS_BUTTON(widget));
                EXPECT_EQ(gtk_button_get_label(GTK_BUTTON(widget)), control.caption);
                break;
            case app::ControlKind::RadioGroupBox:
                ASSERT_TRUE(GTK_IS_FRAME(Framed(widget)));
                EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(Framed(widget))), control.caption);
                break;
            case app::ControlKind::WebBrowser:
                EXPECT_EQ(gtk_widget_get_parent(GTK_WIDGET(h.view())), widget);
                break;
            case app::ControlKind::Timer:
                break;
        }
    }
    EXPECT_EQ(visible, 9);
}

TEST(Window, GroupBoxesUseTheDefinedFontAndLieUnderTheButtons) {
    auto& h = Harness::Get();
    for (const char* name : {"单选分组框1", "单选分组框2"}) {
        SCOPED_TRACE(name);
        GtkWidget* frame = Framed(h.window().Control(name));
        GtkWidget* label = gtk_frame_get_label_widget(GTK_FRAME(frame));
        PangoFontDescription* font = nullptr;
        gtk_style_context_get(gtk_widget_get_style_context(label), GTK_STATE_FLAG_NORMAL, "font",
                              &font, nullptr);
        ASSERT_NE(font, nullptr);
        EXPECT_STREQ(pango_font_description_get_family(font), "MS Sans Serif,sans-serif");
        // A character height of 11 pixels, whether GTK keeps it in pixels or points.
        double pixels = double(pango_font_description_get_size(font)) / PANGO_SCALE;
        if (!pango_font_description_get_size_is_absolute(font)) pixels *= 96.0 / 72.0;
        EXPECT_DOUBLE_EQ(pixels, 11.0);
        EXPECT_EQ(pango_font_description_get_weight(font), PANGO_WEIGHT_NORMAL);
        EXPECT_EQ(pango_font_description_get_style(font), PANGO_STYLE_NORMAL);
        pango_font_description_free(font);
    }
    // Drawn first, so every button is drawn (and picked) above the frames.
    GtkWidget* fixed = gtk_widget_get_parent(h.window().Control("按钮1"));
    GList* children = gtk_container_get_children(GTK_CONTAINER(fixed));
    EXPECT_EQ(children->data, h.window().Control("单选分组框1"));
    EXPECT_EQ(children->next->data, h.window().Control("单选分组框2"));
    g_list_free(children);
}

TEST(Window, StartedOnTheGivenAddressWithTheTimerStopped) {
    auto& h = Harness::Get();
    EXPECT_FALSE(h.startAddress.empty());
    EXPECT_EQ(h.shownAtStart, h.startAddress);
    EXPECT_EQ(h.window().TimerPeriod(), 0);
    EXPECT_NE(app::browserWindow, 0);
    EXPECT_EQ(app::browserWindow, h.window().BrowserWindowHandle());
    EXPECT_EQ(h.platform().WidgetOf(app::browserWindow), h.window().Browser()->Widget());
}

TEST(WindowTree, BrowserControlHoldsTheDocumentWindow) {
    auto& h = Harness::Get();
    auto& platform = h.platform();
    const auto browser = h.window().BrowserWindowHandle();
    const auto view = platform.FindWindowExA(browser, 0, nullptr, nullptr);
    ASSERT_NE(view, 0);
    char name[50] = {};
    EXPECT_EQ(platform.GetClassNameA(view, name, sizeof name), 24);
    EXPECT_STREQ(name, "Internet Explorer_Server");
    EXPECT_EQ(platform.FindWindowExA(browser, view, nullptr, nullptr), 0);
    // The class name is cut to the buffer, with its terminating zero.
    char small[9] = {};
    EXPECT_EQ(platform.GetClassNameA(view, small, sizeof small), 8);
    EXPECT_STREQ(small, "Internet");
    EXPECT_EQ(platform.GetClassNameA(browser, name, sizeof name),
              static_cast<int>(strlen("GtkBox")));
    EXPECT_STREQ(name, "GtkBox");
}

TEST(WindowTree, ChildrenInOrderAndFilteredByClass) {
    auto& h = Harness::Get();
    auto& platform = h.platform();
    const auto top = platform.HandleOf(GTK_WIDGET(h.window().Window()));
    const auto fixed = platform.FindWindowExA(top, 0, nullptr, nullptr);
    ASSERT_NE(fixed, 0);
    std::vector<GtkWidget*> seen;
    for (auto child = platform.FindWindowExA(fixed, 0, nullptr, nullptr); child > 0;
         child = platform.FindWindowExA(fixed, child, nullptr, nullptr))
        seen.push_back(platform.WidgetOf(child));
    GList* children = gtk_container_get_children(GTK_CONTAINER(platform.WidgetOf(fixed)));
    std::vector<GtkWidget*> expected;
    for (GList* c = children; c; c = c->next) expected.push_back(GTK_WIDGET(c->data));
    g_list_free(children);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(seen.size(), 10u);  // the nine controls with a window, and the state line
    const auto button = platform.FindWindowExA(fixed, 0, "GtkButton", nullptr);
    EXPECT_EQ(platform.WidgetOf(button), h.window().Control("按钮6"));  // first button added
    EXPECT_EQ(platform.WidgetOf(platform.FindWindowExA(fixed, 0, nullptr, "刷新")),
              h.window().Control("按钮5"));
}

TEST(WindowTree, DestroyedWidgetIsNoWindow) {
    auto& platform = Harness::Get().platform();
    GtkWidget* button = gtk_button_new();
    g_object_ref_sink(button);
    const auto handle = platform.HandleOf(button);
    EXPECT_TRUE(platform.IsWindow(handle));
    gtk_widget_destroy(button);
    EXPECT_FALSE(platform.IsWindow(handle));
    char name[50];
    EXPECT_EQ(platform.GetClassNameA(handle, name, sizeof name), 0);
    g_object_unref(button);
    EXPECT_FALSE(platform.IsWindow(0));
    EXPECT_FALSE(platform.IsWindow(-5));
}

TEST(WindowTree, RegisteredMessagesAreStablePerName) {
    auto& platform = Harness::Get().platform();
    const auto message = platform.RegisterWindowMessageA("WM_HTML_GETOBJECT");
    EXPECT_GE(message, 0xC000u);
    EXPECT_EQ(platform.RegisterWindowMessageA("WM_HTML_GETOBJECT"), message);
    EXPECT_EQ(platform.RegisterWindowMessageA("wm_html_getobject"), message);
    EXPECT_NE(platform.RegisterWindowMessageA("another message"), message);
}

TEST(WindowTree, DocumentRequestAnsweredOnlyByTheWebView) {
    auto& h = Harness::Get();
    auto& platform = h.platform();
    ASSERT_TRUE(h.LoadHtml("<body><input type=radio id=a></body>"));
    const auto message = platform.RegisterWindowMessageA("WM_HTML_GETOBJECT");
    const auto browser = h.window().BrowserWindowHandle();
    const auto view = platform.FindWindowExA(browser, 0, nullptr, nullptr);
    std::uintptr_t reply = 0;
    EXPECT_EQ(platform.SendMessageTimeoutA(browser, message, 0, 0, 2, 1000, &reply), 0);
    EXPECT_EQ(reply, 0u);
    EXPECT_EQ(platform.SendMessageTimeoutA(view, message + 1, 0, 0, 2, 1000, &reply), 0);
    ASSERT_NE(platform.SendMessageTimeoutA(view, message, 0, 0, 2, 1000, &reply), 0);
    browser_host::DomRef document;
    EXPECT_EQ(platform.ObjectFromLresult(static_cast<browser_host::Lresult>(reply),
                                         browser_host::Guid{}, 0, document),
              browser_host::kHresultNoInterface);
    ASSERT_EQ(platform.ObjectFromLresult(static_cast<browser_host::Lresult>(reply),
                                         browser_host::kIidHtmlDocument, 0, document),
              browser_host::kHresultOk);
    ASSERT_TRUE(document);
    // An answer gives its document once.
    browser_host::DomRef again;
    EXPECT_NE(platform.ObjectFromLresult(static_cast<browser_host::Lresult>(reply),
                                         browser_host::kIidHtmlDocument, 0, again),
              browser_host::kHresultOk);
    EXPECT_FALSE(again);
}

}  // namespace
}  // namespace autolabel::tests::linux
