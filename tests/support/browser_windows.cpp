#include "tests/support/browser_windows.h"

#include "page/browser_host/document_window.h"

namespace autolabel::tests {

BrowserWindows CreateBrowserWindows(browser_host::scripted::ScriptedPlatform& platform,
                                    BrowserLayout layout) {
    BrowserWindows windows;
    windows.top = platform.CreateWindow("MainWindow");
    windows.control = platform.CreateWindow("Shell Embedding", windows.top);
    if (layout == BrowserLayout::ScrollBarFirst)
        platform.CreateWindow("ScrollBar", windows.control);
    windows.view = platform.CreateWindow("Shell DocObject View", windows.control);
    windows.documentWindow =
        platform.CreateWindow(browser_host::kDocumentWindowClass, windows.view);
    return windows;
}

}  // namespace autolabel::tests
