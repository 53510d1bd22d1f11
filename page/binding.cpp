// Binding to the browser's window and obtaining its HTML document.
#include "page/page_automation.h"

namespace autolabel::automation {

using browser_host::DomRef;
using browser_host::WindowHandle;

bool PageAutomation::BindWindow(WindowHandle window) {
    if (!platform_.IsWindow(window)) return false;
    boundWindow = window;
    AcquireDocument(boundWindow, pageDocument);
    return static_cast<bool>(pageDocument);
}

WindowHandle PageAutomation::FindDocumentWindow(WindowHandle parent) {
    WindowHandle child = platform_.FindWindowExA(parent, 0, nullptr, nullptr);
    while (child > 0) {
        if (browser_host::IsDocumentWindow(platform_, child)) return child;
        WindowHandle found = FindDocumentWindow(child);
        if (found != 0) return found;
        child = platform_.FindWindowExA(parent, child, nullptr, nullptr);
        // A click or tick waiting now runs its whole command here, binding
        // this same object; the walk keeps its place in locals only.
        platform_.DispatchWaitingMessages();
    }
    return 0;
}

bool PageAutomation::AcquireDocument(WindowHandle window, DomRef& target) {
    if (!browser_host::IsDocumentWindow(platform_, window)) {
        window = FindDocumentWindow(window);
        if (window == 0) return false;
    }
    return browser_host::RequestDocument(platform_, window, target);
}

}  // namespace autolabel::automation
