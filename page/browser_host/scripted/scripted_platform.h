// The platform calls in memory: a window tree, a queue of waiting messages
// and a document request answered from ScriptedDocuments. Deterministic: no
// call waits for real time.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "page/browser_host/platform.h"
#include "page/browser_host/scripted/scripted_document.h"

namespace autolabel::browser_host::scripted {

// How a window answers the document request.
enum class DocumentAnswer {
    None,        // not a document window: the request is not handled
    Document,    // a reply from which ObjectFromLresult gives the document
    NoAnswer,    // times out after the send's time-out
    Hung,        // its thread is hung: the send gives up at once
    EmptyReply,  // answers, but the reply yields no document
};

class ScriptedPlatform : public Platform {
  public:
    // A new window, last in its parent's Z order (0: a top-level window).
    WindowHandle CreateWindow(std::string className, WindowHandle parent = 0);
    // Destroys the window and all its descendants; allowed at any time.
    void DestroyWindow(WindowHandle window);
    void SetDocument(WindowHandle window, std::shared_ptr<ScriptedDocument> document);
    void SetAnswer(WindowHandle window, DocumentAnswer answer);

    // Queues a message; it runs at the next DispatchWaitingMessages.
    void PostMessage(std::function<void()> handler);
    std::size_t waitingMessages() const { return queue_.size(); }

    // Observations.
    int coInitializeCalls = 0;
    int coUninitializeCalls = 0;
    int dispatchCalls = 0;     // DispatchWaitingMessages calls
    int documentRequests = 0;  // sends of the document request
    std::uint32_t lastSendFlags = 0;
    std::uint32_t lastSendTimeoutMs = 0;
    long simulatedWaitMs = 0;  // time the sends would have waited
    // Platform calls in order, e.g. "IsWindow(3)", "FindWindowExA(1,0)".
    std::vector<std::string> log;
    int CountLog(std::string_view prefix) const;

    // Platform
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
    struct Window {
        std::string className;
        WindowHandle parent = 0;
        std::vector<WindowHandle> children;  // Z order, topmost first
        bool alive = true;
        DocumentAnswer answer = DocumentAnswer::None;
        std::shared_ptr<ScriptedDocument> document;
    };
    Window* Find(WindowHandle window);
    const std::vector<WindowHandle>* ChildrenOf(WindowHandle parent);

    std::map<WindowHandle, Window> windows_;
    std::vector<WindowHandle> topLevel_;
    WindowHandle nextHandle_ = 0x100;
    std::map<std::string, std::uint32_t> registeredMessages_;
    std::map<Lresult, DomRef> pendingReplies_;  // each reply can be used once
    Lresult nextReply_ = 0x5000;
    std::deque<std::function<void()>> queue_;
    int apartments_ = 0;
};

}  // namespace autolabel::browser_host::scripted
