#include "app/window_definition.h"

#include <array>

#include "forum_host.h"

namespace autolabel::app {

namespace {

constexpr FontDefinition kGroupBoxFont{"MS Sans Serif", -11, 400, false, false, false, 1};

constexpr std::string_view kForumHost = AUTOLABEL_FORUM_HOST;
constexpr std::string_view kStartAddress = "http://" AUTOLABEL_FORUM_HOST "/cuseraudit/browser";

// In the order of the window definition; the browser's caption is its start address.
constexpr std::array<ControlDefinition, 10> kControls{{
    {"按钮6", ControlKind::PushButton, "全选并提交", 680, 552, 88, 40, ControlEvent::Click,
     Routine::SelectAllAndSubmit, nullptr},
    {"按钮5", ControlKind::PushButton, "刷新", 816, 552, 88, 40, ControlEvent::Click,
     Routine::RefreshPage, nullptr},
    {"超文本浏览框1", ControlKind::WebBrowser, kStartAddress, 0, 0, 1024, 512, ControlEvent::None,
     Routine::None, nullptr},
    {"时钟1", ControlKind::Timer, "", 0, 0, 0, 0, ControlEvent::Tick, Routine::OnTimerTick,
     nullptr},
    {"按钮4", ControlKind::PushButton, "开启自动", 48, 552, 88, 40, ControlEvent::Click,
     Routine::AutoOn, nullptr},
    {"按钮3", ControlKind::PushButton, "关闭自动", 168, 552, 88, 40, ControlEvent::Click,
     Routine::AutoOff, nullptr},
    {"按钮2", ControlKind::PushButton, "提交", 528, 552, 88, 40, ControlEvent::Click,
     Routine::Submit, nullptr},
    {"按钮1", ControlKind::PushButton, "全选", 384, 552, 88, 40, ControlEvent::Click,
     Routine::SelectAll, nullptr},
    {"单选分组框1", ControlKind::RadioGroupBox, "自动区", 24, 528, 256, 80, ControlEvent::Click,
     Routine::DoNothing, &kGroupBoxFont},
    {"单选分组框2", ControlKind::RadioGroupBox, "手动区", 360, 528, 568, 80, ControlEvent::None,
     Routine::None, &kGroupBoxFont},
}};

constexpr WindowDefinition kMainWindow{
    "青禾核心用户标注平台自动刷贴器", 50,       50, 1026, 646, ControlEvent::Created,
    Routine::OnWindowCreated,         kControls};

}  // namespace

std::string_view ForumHost() { return kForumHost; }

std::string_view DefaultStartAddress() { return kStartAddress; }

const WindowDefinition& MainWindowDefinition() { return kMainWindow; }

const FontDefinition& GroupBoxFont() { return kGroupBoxFont; }

const ControlDefinition* FindControl(std::string_view name) {
    for (const ControlDefinition& control : kControls) {
        if (control.name == name) return &control;
    }
    return nullptr;
}

}  // namespace autolabel::app
