// The browser's rules both windows follow: which key does what, and what a
// reload does with the page shown.
#include <gtest/gtest.h>

#include "app/browser_keys.h"
#include "app/reload_decision.h"

namespace autolabel::tests {
namespace {

using app::BrowserAction;
using app::BrowserActionFor;
using app::Key;
using app::KeyPress;

TEST(BrowserKeys, OnlyTheExpectedCombinationsAreTaken) {
    EXPECT_EQ(BrowserActionFor({Key::F5}), BrowserAction::Reload);
    EXPECT_EQ(BrowserActionFor({.key = Key::F5, .control = true}), BrowserAction::Reload);
    EXPECT_EQ(BrowserActionFor({.key = Key::F5, .alt = true}), BrowserAction::PassOn);
    EXPECT_EQ(BrowserActionFor({.key = Key::R, .control = true}), BrowserAction::Reload);
    EXPECT_EQ(BrowserActionFor({Key::R}), BrowserAction::PassOn);  // typing an r
    EXPECT_EQ(BrowserActionFor({.key = Key::R, .control = true, .alt = true}),
              BrowserAction::PassOn);
    EXPECT_EQ(BrowserActionFor({.key = Key::Left, .alt = true}), BrowserAction::Back);
    EXPECT_EQ(BrowserActionFor({.key = Key::Right, .alt = true}), BrowserAction::Forward);
    EXPECT_EQ(BrowserActionFor({Key::Left}), BrowserAction::PassOn);  // the caret's
    EXPECT_EQ(BrowserActionFor({.key = Key::Left, .control = true, .alt = true}),
              BrowserAction::PassOn);
    EXPECT_EQ(BrowserActionFor({.key = Key::Plus, .control = true}), BrowserAction::ZoomIn);
    EXPECT_EQ(BrowserActionFor({.key = Key::Minus, .control = true}), BrowserAction::ZoomOut);
    EXPECT_EQ(BrowserActionFor({.key = Key::Zero, .control = true}), BrowserAction::ZoomReset);
    EXPECT_EQ(BrowserActionFor({.key = Key::Zero, .alt = true}), BrowserAction::PassOn);
    EXPECT_EQ(BrowserActionFor({Key::Other}), BrowserAction::PassOn);

    // Backspace deletes where text is typed and goes back nowhere else.
    EXPECT_EQ(BrowserActionFor({Key::Backspace}), BrowserAction::Swallow);
    EXPECT_EQ(BrowserActionFor({.key = Key::Backspace, .focusIsEditable = true}),
              BrowserAction::PassOn);
    EXPECT_EQ(BrowserActionFor({.key = Key::Backspace, .control = true}), BrowserAction::PassOn);

    // Escape stops a load on its way; with none, or under a dialog, it is
    // the page's or the dialog's.
    EXPECT_EQ(BrowserActionFor({.key = Key::Escape, .loading = true}), BrowserAction::Stop);
    EXPECT_EQ(BrowserActionFor({Key::Escape}), BrowserAction::PassOn);
    EXPECT_EQ(BrowserActionFor({.key = Key::Escape, .loading = true, .dialogShown = true}),
              BrowserAction::PassOn);
    EXPECT_EQ(BrowserActionFor({.key = Key::Escape, .control = true, .loading = true}),
              BrowserAction::PassOn);

    // Zoom stays within bounds however often it is pressed.
    double level = 1.0;
    for (int i = 0; i < 100; ++i) level = app::ZoomedIn(level);
    EXPECT_LE(level, 5.0);
    for (int i = 0; i < 100; ++i) level = app::ZoomedOut(level);
    EXPECT_GE(level, 0.3);
}

TEST(ReloadDecision, AFormsAnswerIsAskedForAfreshAndAnyOtherPageReloaded) {
    using Kind = app::ReloadDecision::Kind;
    const std::string address = "http://forum.invalid/cuseraudit/browser";
    EXPECT_EQ(app::DecideReload({address, false, {}}),
              (app::ReloadDecision{Kind::ReloadCompletely, {}}));
    EXPECT_EQ(app::DecideReload({address, true, {}}), (app::ReloadDecision{Kind::GoTo, address}));
    // No address to ask at: nothing that could send the form again.
    EXPECT_EQ(app::DecideReload({"", true, {}}), (app::ReloadDecision{Kind::Nothing, {}}));
    // The tool's page for a lost one: the lost page comes back, however the
    // stand-in was shown.
    EXPECT_EQ(app::DecideReload({address, true, "http://forum.invalid/post/7"}),
              (app::ReloadDecision{Kind::GoTo, "http://forum.invalid/post/7"}));
    EXPECT_EQ(app::DecideReload({address, false, "http://forum.invalid/post/7"}),
              (app::ReloadDecision{Kind::GoTo, "http://forum.invalid/post/7"}));
}

}  // namespace
}  // namespace autolabel::tests
