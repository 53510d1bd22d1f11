// The browser's keys, pressed on the real window through the X server.
#include "app/gtk/browser_keys.h"

#include <gtest/gtest.h>

#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {
namespace {

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
    // Escape too, while no load is on its way to be stopped.
    ASSERT_TRUE(h.Keys("Escape"));
    EXPECT_TRUE(h.WaitUntil(
        "the page's title to show Escape",
        [&] { return h.Eval("document.title") == "second key:x key:Escape"; },
        [&] { return h.Eval("document.title"); }));
}

// The rules themselves are the core's; the window hands them GTK's keys.
TEST(BrowserKeys, GtksKeysReachTheRulesWithoutTheLockModifiers) {
    using app::Key;
    using app::gtk::KeyPressOf;
    const auto locks = static_cast<GdkModifierType>(GDK_MOD2_MASK | GDK_LOCK_MASK);
    const app::KeyPress reload =
        KeyPressOf(GDK_KEY_r, static_cast<GdkModifierType>(GDK_CONTROL_MASK | locks));
    EXPECT_EQ(reload.key, Key::R);
    EXPECT_TRUE(reload.control);
    EXPECT_FALSE(reload.alt);
    EXPECT_EQ(KeyPressOf(GDK_KEY_F5, locks).key, Key::F5);
    EXPECT_EQ(KeyPressOf(GDK_KEY_KP_Left, GDK_MOD1_MASK).key, Key::Left);
    EXPECT_TRUE(KeyPressOf(GDK_KEY_KP_Left, GDK_MOD1_MASK).alt);
    EXPECT_EQ(
        KeyPressOf(GDK_KEY_plus, static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SHIFT_MASK))
            .key,
        Key::Plus);
    EXPECT_EQ(KeyPressOf(GDK_KEY_equal, GDK_CONTROL_MASK).key, Key::Plus);
    EXPECT_EQ(KeyPressOf(GDK_KEY_Escape, GDK_SHIFT_MASK).key, Key::Escape);
    // With the desktop's own modifier, no key is the browser's.
    EXPECT_EQ(
        KeyPressOf(GDK_KEY_r, static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SUPER_MASK)).key,
        Key::Other);
}

}  // namespace
}  // namespace autolabel::tests::linux
