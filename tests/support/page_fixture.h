// A page automation object over the scripted platform, with an embedded
// browser's window tree and a page in its document window.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "page/browser_host/scripted/scripted_platform.h"
#include "page/browser_host/value.h"
#include "page/page_automation.h"

namespace autolabel::testing {

using browser_host::DomRef;
using browser_host::Value;
using browser_host::WindowHandle;
using browser_host::scripted::DocumentAnswer;
using browser_host::scripted::ScriptedDocument;
using browser_host::scripted::ScriptedPlatform;

inline std::shared_ptr<ScriptedDocument> Page(std::string_view bodyHtml) {
    return ScriptedDocument::FromHtml("<html><body>" + std::string(bodyHtml) + "</body></html>");
}

struct BrowserPage {
    ScriptedPlatform platform;
    WindowHandle top = platform.CreateWindow("MainWindow");
    WindowHandle browser = platform.CreateWindow("Shell Embedding", top);
    WindowHandle view = platform.CreateWindow("Shell DocObject View", browser);
    WindowHandle documentWindow = platform.CreateWindow("Internet Explorer_Server", view);
    std::shared_ptr<ScriptedDocument> document;
    page::PageAutomation page{platform};

    explicit BrowserPage(std::string_view bodyHtml = "") { Show(Page(bodyHtml)); }

    void Show(std::shared_ptr<ScriptedDocument> next) {
        document = std::move(next);
        platform.SetDocument(documentWindow, document);
    }
    bool Bind() { return page.BindWindow(browser); }
};

}  // namespace autolabel::testing
