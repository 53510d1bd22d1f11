// MainWindow as data: both real windows (GTK, Win32) build from this, and the
// tests read it. Nothing here is changed at run time.
#pragma once

#include <span>
#include <string_view>

namespace autolabel::app {

enum class ControlKind { PushButton, WebBrowser, Timer, RadioGroupBox };

// The routines an event can run (see commands.h).
enum class Routine {
    None,
    DoNothing,
    OnWindowCreated,
    SelectAll,
    Submit,
    SelectAllAndSubmit,
    RefreshPage,
    AutoOn,
    AutoOff,
    OnTimerTick,
};

enum class ControlEvent { None, Created, Click, Tick };

struct FontDefinition {
    std::string_view face;
    int height;  // negative: character height in pixels
    int weight;
    bool italic;
    bool underline;
    bool strikeOut;
    int charset;
};

struct ControlDefinition {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;  // for the browser: its start address
    int left;
    int top;
    int width;
    int height;
    ControlEvent event;
    Routine routine;
    const FontDefinition* font;  // null: the platform's default font
};

struct WindowDefinition {
    std::string_view title;
    int left;
    int top;
    int width;
    int height;
    ControlEvent event;
    Routine routine;
    std::span<const ControlDefinition> controls;  // in definition order
};

inline constexpr int kAutoPeriodMs = 3000;
inline constexpr int kTimerStoppedPeriodMs = 0;

// The forum's web host, a build setting: a name or address, with a port
// where needed. Without one the program is built for the placeholder
// forum.invalid, which never resolves (see NamesAForum in program.h).
std::string_view ForumHost();
// The moderation page on that host.
std::string_view DefaultStartAddress();

const WindowDefinition& MainWindowDefinition();
const FontDefinition& GroupBoxFont();
// The control of a given name, or null.
const ControlDefinition* FindControl(std::string_view name);

}  // namespace autolabel::app
