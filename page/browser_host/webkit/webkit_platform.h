// The platform calls of the page automation object over GTK widgets: widgets
// get window handles from a table, the web view is the document window, and
// the document request goes through the DOM bridge to the page's process.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <unordered_map>

#include "page/browser_host/document_window.h"
#include "page/browser_host/platform.h"
#include "page/browser_host/webkit/bridge.h"

namespace autolabel::browser_host::webkit {

class WebKitPlatform final : public Platform {
  public:
    WebKitPlatform() = default;

    // The handle of a widget, given on first use; a destroyed widget's handle
    // names no window from then on and is never given again.
    WindowHandle HandleOf(GtkWidget* widget);
    GtkWidget* WidgetOf(WindowHandle window) const;

    Bridge& bridge() { return bridge_; }
    int coInitializeCount() const { return coInitializeCount_; }
    int coUninitializeCount() const { return coUninitializeCount_; }

    Hresult CoInitialize(void* reserved) override;
    void CoUninitialize() override;
    bool IsWindow(WindowHandle window) override;
    WindowHandle FindWindowExA(WindowHandle parent, WindowHandle childAfter, const char* className,
                               const char* windowName) override;
    int GetClassNameA(WindowHandle window, char* buffer, int bufferSize) override;
    std::uint32_t RegisterWindowMessageA(const char* name) override;
    Lresult SendMessageTimeoutA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam, std::uint32_t flags, std::uint32_t timeoutMs,
                                std::uintptr_t* result) override;
    Hresult ObjectFromLresult(Lresult lresult, const Guid& iid, std::uintptr_t wParam,
                              DomRef& object) override;
    void DispatchWaitingMessages() override;

  private:
    static void OnWidgetDestroyed(GtkWidget* widget, gpointer self);
    // The bridge drops the page's connection as soon as WebKit reports the end.
    static void OnWebProcessTerminated(WebKitWebView* view,
                                       WebKitWebProcessTerminationReason reason, gpointer self);
    std::string ClassNameOf(GtkWidget* widget) const;
    std::string WindowNameOf(GtkWidget* widget) const;

    Bridge bridge_;
    std::unordered_map<WindowHandle, GtkWidget*> widgets_;
    std::unordered_map<GtkWidget*, WindowHandle> handles_;
    WindowHandle nextHandle_ = 0x10;
    std::map<std::string, std::uint32_t> messages_;  // keyed by the lower-case name
    // Documents answered to a request and not yet taken by ObjectFromLresult;
    // an answer nobody takes is dropped after a few newer ones.
    std::deque<std::pair<Lresult, DomRef>> answers_;
    Lresult nextAnswer_ = 1;
    int coInitializeCount_ = 0;
    int coUninitializeCount_ = 0;
};

}  // namespace autolabel::browser_host::webkit
