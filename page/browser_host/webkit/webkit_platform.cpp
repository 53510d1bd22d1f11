#include "page/browser_host/webkit/webkit_platform.h"

#include <webkit2/webkit2.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "page/browser_host/ascii_case.h"
#include "support/glib/glist_ptr.h"

namespace autolabel::browser_host::webkit {

namespace {

constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;
constexpr std::size_t kKeptAnswers = 8;
// Events that keep re-arming themselves must not hold the binding walk for ever.
constexpr int kMaxDispatchesPerCall = 10000;

}  // namespace

WindowHandle WebKitPlatform::HandleOf(GtkWidget* widget) {
    if (!widget || gtk_widget_in_destruction(widget)) return 0;
    if (auto it = handles_.find(widget); it != handles_.end()) return it->second;
    const WindowHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(widget, handle);
    widgets_.emplace(handle, widget);
    g_signal_connect(widget, "destroy", G_CALLBACK(OnWidgetDestroyed), this);
    if (WEBKIT_IS_WEB_VIEW(widget))
        g_signal_connect(widget, "web-process-terminated", G_CALLBACK(OnWebProcessTerminated),
                         this);
    return handle;
}

void WebKitPlatform::OnWidgetDestroyed(GtkWidget* widget, gpointer data) {
    auto* self = static_cast<WebKitPlatform*>(data);
    if (auto it = self->handles_.find(widget); it != self->handles_.end()) {
        self->widgets_.erase(it->second);
        self->handles_.erase(it);
    }
}

void WebKitPlatform::OnWebProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason,
                                            gpointer self) {
    static_cast<WebKitPlatform*>(self)->bridge_.DropPage(webkit_web_view_get_page_id(view));
}

GtkWidget* WebKitPlatform::WidgetOf(WindowHandle window) const {
    auto it = widgets_.find(window);
    return it == widgets_.end() ? nullptr : it->second;
}

Hresult WebKitPlatform::CoInitialize(void*) {
    ++coInitializeCount_;
    return kHresultOk;
}

void WebKitPlatform::CoUninitialize() { ++coUninitializeCount_; }

bool WebKitPlatform::IsWindow(WindowHandle window) { return WidgetOf(window) != nullptr; }

std::string WebKitPlatform::ClassNameOf(GtkWidget* widget) const {
    // The web view answers to the document window's class name.
    if (WEBKIT_IS_WEB_VIEW(widget)) return kDocumentWindowClass;
    return G_OBJECT_TYPE_NAME(widget);
}

std::string WebKitPlatform::WindowNameOf(GtkWidget* widget) const {
    if (GTK_IS_WINDOW(widget)) {
        const char* title = gtk_window_get_title(GTK_WINDOW(widget));
        return title ? title : "";
    }
    if (GTK_IS_BUTTON(widget)) {
        const char* label = gtk_button_get_label(GTK_BUTTON(widget));
        return label ? label : "";
    }
    if (GTK_IS_FRAME(widget)) {
        const char* label = gtk_frame_get_label(GTK_FRAME(widget));
        return label ? label : "";
    }
    return "";
}

WindowHandle WebKitPlatform::FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                           const char* className, const char* windowName) {
    support::glib::GListPtr children;
    if (parent == 0) {
        children.reset(gtk_window_list_toplevels());
    } else {
        GtkWidget* widget = WidgetOf(parent);
        if (!widget || !GTK_IS_CONTAINER(widget)) return 0;
        children.reset(gtk_container_get_children(GTK_CONTAINER(widget)));
    }
    // Walking the list asks nothing of the widgets that could destroy them.
    GList* start = children.get();
    if (childAfter != 0) {
        GtkWidget* after = WidgetOf(childAfter);
        GList* at = after ? g_list_find(children.get(), after) : nullptr;
        start = at ? at->next : nullptr;
    }
    WindowHandle found = 0;
    for (GList* item = start; item && !found; item = item->next) {
        auto* child = static_cast<GtkWidget*>(item->data);
        if (className && ClassNameOf(child) != className) continue;
        if (windowName && WindowNameOf(child) != windowName) continue;
        found = HandleOf(child);
    }
    return found;
}

int WebKitPlatform::GetClassNameA(WindowHandle window, char* buffer, int bufferSize) {
    GtkWidget* widget = WidgetOf(window);
    if (!widget || !buffer || bufferSize <= 0) return 0;
    const std::string name = ClassNameOf(widget);
    const int count = std::min(static_cast<int>(name.size()), bufferSize - 1);
    std::memcpy(buffer, name.data(), static_cast<std::size_t>(count));
    buffer[count] = '\0';
    return count;
}

std::uint32_t WebKitPlatform::RegisterWindowMessageA(const char* name) {
    if (!name || !*name) return 0;
    auto [it, added] = messages_.try_emplace(
        AsciiLower(name), kFirstRegisteredMessage + static_cast<std::uint32_t>(messages_.size()));
    return it->second;
}

Lresult WebKitPlatform::SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                            std::uintptr_t, std::intptr_t, std::uint32_t flags,
                                            std::uint32_t timeoutMs, std::uintptr_t* result) {
    GtkWidget* widget = WidgetOf(window);
    auto known = messages_.find("wm_html_getobject");
    // The web view is the only window here that answers anything.
    if (!widget || !WEBKIT_IS_WEB_VIEW(widget) || known == messages_.end() ||
        message != known->second)
        return 0;
    WebKitWebView* view = WEBKIT_WEB_VIEW(widget);
    if ((flags & kSendAbortIfHung) && !webkit_web_view_get_is_web_process_responsive(view))
        return 0;
    const std::uint64_t pageId = webkit_web_view_get_page_id(view);
    // A page process that could not connect before tries again now; its
    // introduction is awaited within the request's bound.
    if (!bridge_.ConnectionFor(pageId))
        webkit_web_view_send_message_to_page(
            view, webkit_user_message_new(protocol::kConnectRequest, nullptr), nullptr, nullptr,
            nullptr);
    DomRef document = bridge_.RequestDocument(pageId, std::chrono::milliseconds(timeoutMs));
    if (!document) return 0;
    const Lresult answer = nextAnswer_++;
    answers_.emplace_back(answer, std::move(document));
    while (answers_.size() > kKeptAnswers) answers_.pop_front();
    if (result) *result = static_cast<std::uintptr_t>(answer);
    return 1;
}

Hresult WebKitPlatform::ObjectFromLresult(Lresult lresult, const Guid& iid, std::uintptr_t,
                                          DomRef& object) {
    if (!(iid == kIidHtmlDocument)) return kHresultNoInterface;
    auto it = std::find_if(answers_.begin(), answers_.end(),
                           [&](const auto& answer) { return answer.first == lresult; });
    if (it == answers_.end()) return kHresultInvalidArg;
    object = std::move(it->second);  // an answer is good for one object
    answers_.erase(it);
    return kHresultOk;
}

void WebKitPlatform::DispatchWaitingMessages() {
    for (int i = 0; i < kMaxDispatchesPerCall && g_main_context_pending(nullptr); ++i)
        g_main_context_iteration(nullptr, FALSE);
}

}  // namespace autolabel::browser_host::webkit
