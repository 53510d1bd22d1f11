// The page automation object: binds to the embedded browser's window, holds
// its HTML document and offers the page operations the commands use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "page/browser_host/document_window.h"
#include "page/browser_host/dom_ref.h"
#include "page/browser_host/platform.h"

namespace autolabel::automation {

class PageAutomation {
  public:
    // Initialises COM on the calling thread (result ignored); no document, no window.
    explicit PageAutomation(browser_host::Platform& platform);
    // Shares the document and the bound window; initialises COM as creation
    // does, so that destroying the copy keeps COM in balance.
    PageAutomation(const PageAutomation& other);
    PageAutomation& operator=(const PageAutomation&) = delete;
    // Releases the held document, then uninitialises COM.
    virtual ~PageAutomation();

    // Binding and document acquisition.
    virtual bool BindWindow(browser_host::WindowHandle window);
    virtual browser_host::WindowHandle FindDocumentWindow(browser_host::WindowHandle parent);
    virtual bool AcquireDocument(browser_host::WindowHandle window, browser_host::DomRef& target);

    // Element lookup over the input (and, when asked, button) elements of the body.
    virtual browser_host::DomRef FindElement(std::string_view typeList, std::string_view identifier,
                                             std::int32_t skipCount, std::int32_t& ordinal);

    virtual bool FireElementEvent(const browser_host::DomRef& element, std::string_view eventName);
    virtual browser_host::DomRef FindRadio(std::string_view identifier, std::int32_t skipCount);
    virtual bool SelectRadio(std::string_view identifier, std::int32_t skipCount,
                             bool fireMouseDown);

    virtual browser_host::DomRef FindButton(std::string_view identifier, std::int32_t skipCount);
    virtual bool ClickButton(std::string_view identifier, std::int32_t skipCount);

    // The HTML document of the last acquisition; empty at creation.
    browser_host::DomRef pageDocument;
    // The handle given to the last BindWindow that named an existing window.
    browser_host::WindowHandle boundWindow = 0;

  protected:
    browser_host::Platform& platform() const { return platform_; }

  private:
    browser_host::Platform& platform_;
};

}  // namespace autolabel::automation
