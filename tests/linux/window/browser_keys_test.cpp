// The browser's keys, pressed on the real window through the X server.
#include "app/gtk/browser_keys.h"

#include <gtest/gtest.h>

#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {
namespace {

using namespace app::gtk;

// Counts its loads in the session, so a reload shows as a second load.
std::string CountingPage(std::string_view name) {
    return "<!DOCTYPE html><title>" + std::string(name) +
           "</title><body><p id=loads></p><script>"
           "const n = Number(sessionStorage.getItem(location.pathname) || 0) + 1;"
           "sessionStorage.setItem(location.pathname, n);"
           "document.getElementById('loads').textContent = n;"
           "addEventListener('keydown', (e) => {"
           "  if (!['Control', 'Alt', 'Shift'].includes(e.key)) document.title += ' key:' + e.key;"
           "});</script>";
}

TEST(BrowserKeys, F5ReloadsAndAltLeftGoesBackUnseenByThePage) {
    Harness& h = Harness::Get();
    const std::string first = h.WritePage("first.html", CountingPage("first"));
    const std::string second = h.WritePage("second.html", CountingPage("second"));
    ASSERT_TRUE(h.Load(first));
    ASSERT_TRUE(h.Load(second));
    ASSERT_EQ(h.Text("loads"), "1");

    const auto waitForLoads = [&](const std::string& count) {
        return h.WaitUntil(
            "the page's load " + count,
            [&] { return !webkit_web_view_is_loading(h.view()) && h.Text("loads") == count; },
            [&] { return "load " + h.Text("loads") + ", " + h.DescribeView(); });
    };
    ASSERT_TRUE(h.Keys("F5"));
    ASSERT_TRUE(waitForLoads("2"));
    ASSERT_TRUE(h.Keys("ctrl+r"));
    ASSERT_TRUE(waitForLoads("3"));
    EXPECT_EQ(h.Eval("document.title"), "second") << "the page saw the browser's keys";

    ASSERT_TRUE(h.Keys("alt+Left"));
    ASSERT_TRUE(h.PumpUntil([&] {
        const char* uri = webkit_web_view_get_uri(h.view());
        return uri && first == uri && !webkit_web_view_is_loading(h.view());
    }));
    ASSERT_TRUE(h.Keys("alt+Right"));
    ASSERT_TRUE(h.PumpUntil([&] {
        const char* uri = webkit_web_view_get_uri(h.view());
        return uri && second == uri && !webkit_web_view_is_loading(h.view());
    }));

    // The server has the keys when Keys returns; the window takes them after.
    const auto zoom = [&] { return std::to_string(webkit_web_view_get_zoom_level(h.view())); };
    ASSERT_TRUE(h.Keys("ctrl+plus"));
    EXPECT_TRUE(h.WaitUntil(
        "zoom above 1", [&] { return webkit_web_view_get_zoom_level(h.view()) > 1.0; }, zoom));
    ASSERT_TRUE(h.Keys("ctrl+0"));
    EXPECT_TRUE(h.WaitUntil(
        "zoom 1", [&] { return webkit_web_view_get_zoom_level(h.view()) == 1.0; }, zoom));
    ASSERT_TRUE(h.Keys("ctrl+minus"));
    EXPECT_TRUE(h.WaitUntil(
        "zoom below 1", [&] { return webkit_web_view_get_zoom_level(h.view()) < 1.0; }, zoom));
    ASSERT_TRUE(h.Keys("ctrl+0"));
    ASSERT_TRUE(h.WaitUntil(
        "zoom 1", [&] { return webkit_web_view_get_zoom_level(h.view()) == 1.0; }, zoom));

    // Other keys still reach the page.
    ASSERT_TRUE(h.ClickElement("loads"));
    ASSERT_TRUE(h.Keys("x"));
    EXPECT_TRUE(h.WaitUntil(
        "the page's title to show the key",
        [&] { return h.Eval("document.title") == "second key:x"; },
        [&] { return h.Eval("document.title"); }));
}

TEST(BrowserKeys, OnlyTheExpectedCombinationsAreTaken) {
    const auto none = static_cast<GdkModifierType>(0);
    EXPECT_EQ(BrowserKeyOf(GDK_KEY_F5, none), BrowserKey::Reload);
    // Num Lock and Caps Lock on change nothing.
    EXPECT_EQ(BrowserKeyOf(GDK_KEY_r, static_cast<GdkModifierType>(GDK_CONTROL_MASK |
                                                                   GDK_MOD2_MASK | GDK_LOCK_MASK)),
              BrowserKey::Reload);
    EXPECT_EQ(
        BrowserKeyOf(GDK_KEY_plus, static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SHIFT_MASK)),
        BrowserKey::ZoomIn);
    EXPECT_EQ(BrowserKeyOf(GDK_KEY_r, none), BrowserKey::None);
    EXPECT_EQ(BrowserKeyOf(GDK_KEY_F5, GDK_CONTROL_MASK), BrowserKey::None);
    EXPECT_EQ(BrowserKeyOf(GDK_KEY_Left, none), BrowserKey::None);
    EXPECT_EQ(
        BrowserKeyOf(GDK_KEY_Left, static_cast<GdkModifierType>(GDK_MOD1_MASK | GDK_CONTROL_MASK)),
        BrowserKey::None);
    EXPECT_EQ(BrowserKeyOf(GDK_KEY_0, GDK_MOD1_MASK), BrowserKey::None);
    // Zoom stays within bounds however often it is pressed.
    double level = 1.0;
    for (int i = 0; i < 100; ++i) level = app::gtk::ZoomedIn(level);
    EXPECT_LE(level, 5.0);
    for (int i = 0; i < 100; ++i) level = app::gtk::ZoomedOut(level);
    EXPECT_GE(level, 0.3);
}

}  // namespace
}  // namespace autolabel::tests::linux
