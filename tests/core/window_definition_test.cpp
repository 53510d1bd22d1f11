#include "app/window_definition.h"

#include <gtest/gtest.h>

#include <string>

namespace autolabel::tests {
namespace {

TEST(WindowDefinition, ButtonsSitInARowInsideTheirFramesBelowTheBrowser) {
    const app::ControlDefinition* browser = app::FindControl("超文本浏览框1");
    const app::ControlDefinition* autoArea = app::FindControl("单选分组框1");
    const app::ControlDefinition* manualArea = app::FindControl("单选分组框2");
    ASSERT_TRUE(browser && autoArea && manualArea);
    EXPECT_EQ(app::MainWindowDefinition().controls.size(), 10u);
    auto inside = [](const app::ControlDefinition* c, const app::ControlDefinition* frame) {
        return c->left >= frame->left && c->left + c->width <= frame->left + frame->width &&
               c->top >= frame->top && c->top + c->height <= frame->top + frame->height;
    };
    int lastLeft = -1;
    for (const char* name : {"按钮4", "按钮3"}) {
        const app::ControlDefinition* button = app::FindControl(name);
        EXPECT_TRUE(inside(button, autoArea)) << name;
        EXPECT_GT(button->left, lastLeft);
        lastLeft = button->left;
    }
    lastLeft = -1;
    for (const char* name : {"按钮1", "按钮2", "按钮6", "按钮5"}) {
        const app::ControlDefinition* button = app::FindControl(name);
        EXPECT_TRUE(inside(button, manualArea)) << name;
        EXPECT_GT(button->left, lastLeft);
        EXPECT_GE(button->top, browser->top + browser->height);
        lastLeft = button->left;
    }
    EXPECT_EQ(browser->caption, app::DefaultStartAddress());
    EXPECT_EQ(browser->caption, "http://" + std::string(app::ForumHost()) + "/cuseraudit/browser");
    EXPECT_EQ(autoArea->font, &app::GroupBoxFont());
    EXPECT_EQ(app::FindControl("按钮1")->font, nullptr);
}

}  // namespace
}  // namespace autolabel::tests
