// The window tree of an embedded browser in the scripted platform, as the
// system's HTML control builds it: a main window, the browser control, its
// view and the document window below the view.
#pragma once

#include "page/browser_host/scripted/scripted_platform.h"

namespace autolabel::tests {

struct BrowserWindows {
    browser_host::WindowHandle top = 0;
    browser_host::WindowHandle control = 0;
    browser_host::WindowHandle view = 0;
    browser_host::WindowHandle documentWindow = 0;
};

enum class BrowserLayout {
    // control -> view -> document window: a chain the binding walks without
    // dispatching any message.
    SingleChildren,
    // A scroll bar before the view below the control, so that the binding
    // walk moves on to a next sibling and lets waiting messages run.
    ScrollBarFirst,
};

BrowserWindows CreateBrowserWindows(browser_host::scripted::ScriptedPlatform& platform,
                                    BrowserLayout layout = BrowserLayout::SingleChildren);

}  // namespace autolabel::tests
