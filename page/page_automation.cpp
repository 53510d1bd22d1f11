#include "page/page_automation.h"

namespace autolabel::automation {

PageAutomation::PageAutomation(browser_host::Platform& platform) : platform_(platform) {
    platform_.CoInitialize(nullptr);  // the result is of no use: nothing can be done without COM
}

PageAutomation::PageAutomation(const PageAutomation& other)
    : pageDocument(other.pageDocument), boundWindow(other.boundWindow), platform_(other.platform_) {
    platform_.CoInitialize(nullptr);
}

PageAutomation::~PageAutomation() {
    // The document goes while COM is still initialised on the thread.
    pageDocument.Reset();
    platform_.CoUninitialize();
}

}  // namespace autolabel::automation
