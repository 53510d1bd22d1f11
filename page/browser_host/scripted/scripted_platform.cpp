#include "page/browser_host/scripted/scripted_platform.h"

#include <algorithm>
#include <cstring>

#include "page/browser_host/document_window.h"

namespace autolabel::browser_host::scripted {

namespace {

constexpr Hresult kHresultFalse = 1;  // S_FALSE: already initialised on this thread
constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;

}  // namespace

WindowHandle ScriptedPlatform::CreateWindow(std::string className, WindowHandle parent) {
    WindowHandle handle = nextHandle_++;
    Window window;
    window.className = std::move(className);
    window.parent = parent;
    windows_[handle] = std::move(window);
    if (Window* up = Find(parent)) {
        up->children.push_back(handle);
    } else {
        topLevel_.push_back(handle);
    }
    return handle;
}

void ScriptedPlatform::DestroyWindow(WindowHandle handle) {
    Window* window = Find(handle);
    if (!window) return;
    window->alive = false;
    window->document.reset();
    std::vector<WindowHandle> children = window->children;
    for (WindowHandle child : children) DestroyWindow(child);
    // Unlink, as the system does: a destroyed window is nobody's child.
    std::vector<WindowHandle>& siblings =
        window->parent && Find(window->parent) ? Find(window->parent)->children : topLevel_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
}

void ScriptedPlatform::SetDocument(WindowHandle handle,
                                   std::shared_ptr<ScriptedDocument> document) {
    if (Window* window = Find(handle)) {
        window->document = std::move(document);
        window->answer = DocumentAnswer::Document;
    }
}

void ScriptedPlatform::SetAnswer(WindowHandle handle, DocumentAnswer answer) {
    if (Window* window = Find(handle)) window->answer = answer;
}

void ScriptedPlatform::PostMessage(std::function<void()> handler) {
    queue_.push_back(std::move(handler));
}

int ScriptedPlatform::CountLog(std::string_view prefix) const {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& entry) {
        return entry.starts_with(prefix);
    }));
}

Hresult ScriptedPlatform::CoInitialize(void*) {
    ++coInitializeCalls;
    log.push_back("CoInitialize");
    return apartments_++ == 0 ? kHresultOk : kHresultFalse;
}

void ScriptedPlatform::CoUninitialize() {
    ++coUninitializeCalls;
    log.push_back("CoUninitialize");
    if (apartments_ > 0) --apartments_;
}

bool ScriptedPlatform::IsWindow(WindowHandle handle) {
    log.push_back("IsWindow(" + std::to_string(handle) + ")");
    return Find(handle) != nullptr;
}

WindowHandle ScriptedPlatform::FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                             const char* className, const char* windowName) {
    log.push_back("FindWindowExA(" + std::to_string(parent) + "," + std::to_string(childAfter) +
                  ")");
    const std::vector<WindowHandle>* children = ChildrenOf(parent);
    if (!children || windowName) return 0;  // no window of the double has a title
    auto start = children->begin();
    if (childAfter != 0) {
        start = std::find(children->begin(), children->end(), childAfter);
        if (start == children->end()) return 0;  // not (or no longer) a child of parent
        ++start;
    }
    for (auto it = start; it != children->end(); ++it) {
        if (!className || windows_[*it].className == className) return *it;
    }
    return 0;
}

int ScriptedPlatform::GetClassNameA(WindowHandle handle, char* buffer, int bufferSize) {
    log.push_back("GetClassNameA(" + std::to_string(handle) + "," + std::to_string(bufferSize) +
                  ")");
    Window* window = Find(handle);
    if (!window || !buffer || bufferSize <= 0) return 0;
    int copied = std::min<int>(static_cast<int>(window->className.size()), bufferSize - 1);
    std::memcpy(buffer, window->className.data(), static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
    return copied;
}

std::uint32_t ScriptedPlatform::RegisterWindowMessageA(const char* name) {
    log.push_back(std::string("RegisterWindowMessageA(") + (name ? name : "") + ")");
    if (!name || !*name) return 0;
    auto [it, added] = registeredMessages_.try_emplace(
        name, kFirstRegisteredMessage + static_cast<std::uint32_t>(registeredMessages_.size()));
    return it->second;
}

Lresult ScriptedPlatform::SendMessageTimeoutA(WindowHandle handle, std::uint32_t message,
                                              std::uintptr_t, std::intptr_t, std::uint32_t flags,
                                              std::uint32_t timeoutMs, std::uintptr_t* result) {
    log.push_back("SendMessageTimeoutA(" + std::to_string(handle) + ")");
    lastSendFlags = flags;
    lastSendTimeoutMs = timeoutMs;
    Window* window = Find(handle);
    if (!window) return 0;
    auto request = registeredMessages_.find(kDocumentRequestMessage);
    bool isRequest = request != registeredMessages_.end() && request->second == message;
    if (isRequest) ++documentRequests;
    DocumentAnswer answer = isRequest ? window->answer : DocumentAnswer::None;
    switch (answer) {
        case DocumentAnswer::Document: {
            if (!window->document) break;
            Lresult reply = nextReply_++;
            pendingReplies_[reply] = window->document->NewReference();
            if (result) *result = static_cast<std::uintptr_t>(reply);
            return 1;
        }
        case DocumentAnswer::EmptyReply:
            if (result) *result = 0;
            return 1;
        case DocumentAnswer::NoAnswer:
            simulatedWaitMs += timeoutMs;
            return 0;
        case DocumentAnswer::Hung:
            // An abort-if-hung send returns at once; a plain one would wait.
            if (!(flags & kSendAbortIfHung)) simulatedWaitMs += timeoutMs;
            return 0;
        case DocumentAnswer::None:
            break;
    }
    if (result) *result = 0;
    return 1;
}

Hresult ScriptedPlatform::ObjectFromLresult(Lresult lresult, const Guid& iid, std::uintptr_t,
                                            DomRef& object) {
    log.push_back("ObjectFromLresult");
    if (iid != kIidHtmlDocument) return kHresultNoInterface;
    auto reply = pendingReplies_.find(lresult);
    if (reply == pendingReplies_.end()) return kHresultInvalidArg;
    object = std::move(reply->second);
    pendingReplies_.erase(reply);
    return kHresultOk;
}

void ScriptedPlatform::DispatchWaitingMessages() {
    ++dispatchCalls;
    log.push_back("DispatchWaitingMessages");
    // Only what is waiting now; what these handlers post waits for the next call.
    std::size_t waiting = queue_.size();
    for (std::size_t i = 0; i < waiting && !queue_.empty(); ++i) {
        std::function<void()> handler = std::move(queue_.front());
        queue_.pop_front();
        handler();
    }
}

ScriptedPlatform::Window* ScriptedPlatform::Find(WindowHandle handle) {
    auto it = windows_.find(handle);
    return it != windows_.end() && it->second.alive ? &it->second : nullptr;
}

const std::vector<WindowHandle>* ScriptedPlatform::ChildrenOf(WindowHandle parent) {
    if (parent == 0) return &topLevel_;
    Window* window = Find(parent);
    return window ? &window->children : nullptr;
}

}  // namespace autolabel::browser_host::scripted
