#include "app/browser_keys.h"

#include <algorithm>

namespace autolabel::app {

namespace {

constexpr double kZoomStep = 1.1;
constexpr double kMinimumZoom = 0.3;
constexpr double kMaximumZoom = 5.0;

}  // namespace

BrowserAction BrowserActionFor(const KeyPress& press) {
    // Shift changes no browser key: "+" is Shift+"=" on most layouts, and
    // Ctrl+F5 and Ctrl+Shift+R, a browser's reload past its cache, are the
    // tool's reload as well.
    const bool none = !press.control && !press.alt;
    if (press.key == Key::F5 && !press.alt) return BrowserAction::Reload;
    if (press.alt && !press.control) {
        if (press.key == Key::Left) return BrowserAction::Back;
        if (press.key == Key::Right) return BrowserAction::Forward;
    }
    if (press.control && !press.alt) {
        switch (press.key) {
            case Key::R:
                return BrowserAction::Reload;
            case Key::Plus:
                return BrowserAction::ZoomIn;
            case Key::Minus:
                return BrowserAction::ZoomOut;
            case Key::Zero:
                return BrowserAction::ZoomReset;
            default:
                break;
        }
    }
    if (press.key == Key::Backspace && none && !press.focusIsEditable)
        return BrowserAction::Swallow;
    // Escape is the page's, or its dialog's, unless there is a load to stop.
    if (press.key == Key::Escape && none && press.loading && !press.dialogShown)
        return BrowserAction::Stop;
    return BrowserAction::PassOn;
}

double ZoomedIn(double level) { return std::min(level * kZoomStep, kMaximumZoom); }

double ZoomedOut(double level) { return std::max(level / kZoomStep, kMinimumZoom); }

}  // namespace autolabel::app
