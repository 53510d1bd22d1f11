// A page automation object over the scripted platform, with an embedded
// browser's window tree and a page in its document window.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "page/browser_host/scripted/scripted_platform.h"
#include "page/browser_host/value.h"
#include "page/page_automation.h"
#include "tests/support/browser_windows.h"

namespace autolabel::tests {

using DomRef = browser_host::DomRef;
using Value = browser_host::Value;
using WindowHandle = browser_host::WindowHandle;
using DocumentAnswer = browser_host::scripted::DocumentAnswer;
using ScriptedDocument = browser_host::scripted::ScriptedDocument;
using ScriptedPlatform = browser_host::scripted::ScriptedPlatform;

inline std::shared_ptr<ScriptedDocument> Page(std::string_view bodyHtml) {
    return ScriptedDocument::FromHtml("<html><body>" + std::string(bodyHtml) + "</body></html>");
}

// A page served at an address (a bare page is at about:blank).
inline std::shared_ptr<ScriptedDocument> PageAt(std::string url, std::string_view bodyHtml) {
    auto document = Page(bodyHtml);
    document->SetUrl(std::move(url));
    return document;
}

struct BrowserPage {
    ScriptedPlatform platform;
    BrowserWindows windows = CreateBrowserWindows(platform);
    WindowHandle top = windows.top;
    WindowHandle browser = windows.control;
    WindowHandle documentWindow = windows.documentWindow;
    std::shared_ptr<ScriptedDocument> document;
    automation::PageAutomation page{platform};

    explicit BrowserPage(std::string_view bodyHtml = "") { Show(Page(bodyHtml)); }

    void Show(std::shared_ptr<ScriptedDocument> next) {
        document = std::move(next);
        platform.SetDocument(documentWindow, document);
    }
    bool Bind() { return page.BindWindow(browser); }
};

}  // namespace autolabel::tests
