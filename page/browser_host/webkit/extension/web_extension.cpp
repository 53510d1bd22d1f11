// The web process side of the DOM bridge. WebKit loads this module into every
// page process it starts; it connects to the tool's private socket, introduces
// itself with the tool's token and its page's id, and answers DOM requests on
// the process's main thread, the only thread that may touch JavaScript.
#include <glib-unix.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <webkit2/webkit-web-extension.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "page/browser_host/webkit/extension/dom_world.h"
#include "page/browser_host/webkit/protocol.h"
#include "page/browser_host/webkit/unique_fd.h"

namespace autolabel::browser_host::webkit {
namespace {

namespace p = protocol;
using namespace std::chrono_literals;

// How long the page's process waits, awake, for the tool's next request
// before it goes back to its main loop. A pass is a burst of requests one at
// a time (a lookup, a write, the next lookup); going back to sleep between
// them costs a wake-up on each request, and lets the page draw the last
// write in the middle of the pass.
constexpr auto kStayAwake = 500us;

struct Extension {
    UniqueFd socket;
    std::string token;
    GObjectPtr<WebKitScriptWorld> world;
    guint64 pageId = 0;
    bool introduced = false;
    DomWorld dom;
    std::vector<std::byte> buffer = std::vector<std::byte>(sizeof(p::Header) + p::kMaxPayload);
};

Extension& State() {
    static Extension* extension = new Extension;  // lives as long as the process
    return *extension;
}

void Send(std::span<const std::byte> datagram) {
    Extension& e = State();
    if (e.socket && ::send(e.socket.Get(), datagram.data(), datagram.size(), MSG_NOSIGNAL) < 0)
        e.socket.Reset();
}

void Reply(std::uint32_t sequence, bool ok, const p::WireValue& value) {
    p::Writer w(p::Op::Reply, sequence, ok ? p::Status::Ok : p::Status::Failed);
    w.Value(ok ? value : p::WireValue{});
    if (auto datagram = w.Finish()) Send(*datagram);
}

void Handle(const p::Message& message) {
    DomWorld& dom = State().dom;
    p::Reader r(message.payload);
    p::WireValue result;
    bool ok = false;
    switch (static_cast<p::Op>(message.header.op)) {
        case p::Op::Release: {
            const std::uint32_t count = r.U32();
            for (std::uint32_t i = 0; i < count && i < p::kMaxReleaseBatch && r.ok(); ++i) {
                const p::Handle handle = r.U64();
                if (r.ok()) dom.Release(handle);
            }
            return;  // no reply
        }
        case p::Op::GetDocument:
            ok = r.AtEnd() && dom.Document(result);
            break;
        case p::Op::Read: {
            const p::Handle handle = r.U64();
            const std::string name = r.Bytes();
            ok = r.AtEnd() && dom.Read(handle, name, result);
            break;
        }
        case p::Op::Write: {
            const p::Handle handle = r.U64();
            const std::string name = r.Bytes();
            const p::WireValue value = r.Value();
            ok = r.AtEnd() && dom.Write(handle, name, value);
            break;
        }
        case p::Op::Call: {
            const p::Handle handle = r.U64();
            const std::string name = r.Bytes();
            const std::uint32_t count = r.U32();
            std::vector<p::WireValue> arguments;
            for (std::uint32_t i = 0; i < count && i < p::kMaxArguments && r.ok(); ++i)
                arguments.push_back(r.Value());
            ok =
                count <= p::kMaxArguments && r.AtEnd() && dom.Call(handle, name, arguments, result);
            break;
        }
        case p::Op::FindElement: {
            p::Handle document = 0;
            p::ElementQuery query;
            p::ElementAnswer answer;
            if (!p::ReadQuery(r, document, query) || !dom.FindElement(document, query, answer))
                break;
            p::Writer w(p::Op::Reply, message.header.sequence);
            p::WriteAnswer(w, answer);
            if (auto datagram = w.Finish()) Send(*datagram);
            return;
        }
        default:
            return;  // not a request: ignore
    }
    Reply(message.header.sequence, ok, result);
}

gboolean OnSocketReady(gint fd, GIOCondition condition, gpointer) {
    Extension& e = State();
    if (condition & G_IO_IN) {
        // The tool's calls come in bursts, one at a time: stay awake a little
        // for the next one instead of going back to the main loop.
        auto idleSince = std::chrono::steady_clock::now();
        for (;;) {
            const ssize_t n =
                ::recv(fd, e.buffer.data(), e.buffer.size(), MSG_DONTWAIT | MSG_TRUNC);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                if (std::chrono::steady_clock::now() - idleSince < kStayAwake) continue;
                break;
            }
            if (n <= 0) {
                condition = G_IO_HUP;
                break;
            }
            if (static_cast<std::size_t>(n) > e.buffer.size()) continue;  // oversized: dropped
            if (auto message = p::Parse({e.buffer.data(), static_cast<std::size_t>(n)}))
                Handle(*message);
            if (!e.socket) break;
            idleSince = std::chrono::steady_clock::now();
        }
    }
    if ((condition & (G_IO_HUP | G_IO_ERR)) || !e.socket) {
        e.socket.Reset();
        e.dom.Clear();
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

bool Connect(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (!fd || ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return false;
    // Only a listener of our own user gets our page.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd.Get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != getuid())
        return false;
    State().socket = std::move(fd);
    g_unix_fd_add(State().socket.Get(), static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                  OnSocketReady, nullptr);
    return true;
}

void Introduce(guint64 pageId) {
    Extension& e = State();
    if (e.introduced) return;  // one page per connection
    e.introduced = true;
    e.pageId = pageId;
    p::Writer w(p::Op::Hello, 0);
    w.Bytes(e.token);
    w.U64(pageId);
    if (auto datagram = w.Finish()) Send(*datagram);
}

void OnWindowObjectCleared(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame,
                           gpointer) {
    Extension& e = State();
    if (!webkit_frame_is_main_frame(frame) || webkit_web_page_get_id(page) != e.pageId) return;
    GObjectPtr<JSCContext> context =
        Adopt(webkit_frame_get_js_context_for_script_world(frame, world));
    e.dom.NewDocument(context.get());
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
    Introduce(webkit_web_page_get_id(page));
}

}  // namespace
}  // namespace autolabel::browser_host::webkit

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(
    WebKitWebExtension* extension, const GVariant* data) {
    using namespace autolabel::browser_host::webkit;
    if (!data || !g_variant_is_of_type(const_cast<GVariant*>(data), G_VARIANT_TYPE("(ss)"))) return;
    const char* path = nullptr;
    const char* token = nullptr;
    g_variant_get(const_cast<GVariant*>(data), "(&s&s)", &path, &token);
    Extension& e = State();
    e.token = token;
    if (!Connect(path)) return;

    // A world of our own, named at random so that no page can ask for it.
    g_autofree char* name = g_strdup_printf("autolabel-%08x%08x", g_random_int(), g_random_int());
    e.world = Adopt(webkit_script_world_new_with_name(name));
    g_signal_connect(e.world.get(), "window-object-cleared", G_CALLBACK(OnWindowObjectCleared),
                     nullptr);
    g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}
