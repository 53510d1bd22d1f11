// The web process side of the DOM bridge. WebKit loads this module into every
// page process it starts; it connects to the tool's private socket, introduces
// itself with the tool's token and its page's id, and answers DOM requests on
// the process's main thread, the only thread that may touch JavaScript.
// Connecting never blocks the page: a full queue is tried again for a while,
// then left until the tool asks for the page again.
#include <fcntl.h>
#include <glib-unix.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <webkit2/webkit-web-extension.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "page/browser_host/webkit/protocol.h"
#include "support/glib/unique_fd.h"
#include "support/glib/unique_source.h"
#include "web_extension/dom_world.h"

namespace autolabel::web_extension {

using namespace support::glib;
namespace {

namespace p = protocol;
using namespace std::chrono_literals;

constexpr auto kStayAwake = 50us;
// While the tool's queue is full, connecting is tried this often, this long.
constexpr guint kConnectRetryMs = 20;
constexpr auto kConnectTimeout = 3s;

struct Extension {
    UniqueFd socket;
    UniqueSource socketWatch;
    UniqueSource retry;  // set while connecting
    std::chrono::steady_clock::time_point connectUntil;
    std::string path;
    std::string token;
    GObjectPtr<WebKitScriptWorld> world;
    guint64 pageId = 0;       // the one page this process serves; 0 until it exists
    bool introduced = false;  // on the current connection
    DomWorld dom;
    std::vector<std::byte> buffer = std::vector<std::byte>(sizeof(p::Header) + p::kMaxPayload);
};

Extension& State() {
    static Extension* extension = new Extension;  // lives as long as the process
    return *extension;
}

// The document stays: a later connection is served the same page.
void Disconnect() {
    Extension& e = State();
    e.socketWatch.Reset();
    e.socket.Reset();
    e.introduced = false;
}

void Send(std::span<const std::byte> datagram) {
    Extension& e = State();
    if (e.socket && ::send(e.socket.Get(), datagram.data(), datagram.size(), MSG_NOSIGNAL) < 0)
        Disconnect();
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
        // for the next one instead of going back to sleep in the main loop.
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
        Disconnect();  // destroys this source
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

// Introduces this process once it is connected and its page exists.
void Introduce() {
    Extension& e = State();
    if (!e.socket || e.introduced || e.pageId == 0) return;
    e.introduced = true;
    p::Writer w(p::Op::Hello, 0);
    w.Bytes(e.token);
    w.U64(e.pageId);
    if (auto datagram = w.Finish()) Send(*datagram);
}

enum class Attempt { Connected, TryAgain, Failed };

Attempt TryConnect() {
    Extension& e = State();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (e.path.size() >= sizeof address.sun_path) return Attempt::Failed;
    std::memcpy(address.sun_path, e.path.data(), e.path.size());
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) return Attempt::Failed;
    if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return errno == EAGAIN || errno == EINTR ? Attempt::TryAgain : Attempt::Failed;
    // Only a listener of our own user gets our page.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd.Get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != getuid())
        return Attempt::Failed;
    // Replies are sent whole: from here on the socket blocks.
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return Attempt::Failed;
    e.socket = std::move(fd);
    e.socketWatch =
        WatchFd(e.socket.Get(), static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                OnSocketReady, nullptr);
    Introduce();
    return Attempt::Connected;
}

gboolean OnConnectRetry(gpointer) {
    Extension& e = State();
    if (TryConnect() == Attempt::TryAgain && std::chrono::steady_clock::now() < e.connectUntil)
        return G_SOURCE_CONTINUE;
    e.retry.Reset();  // connected, or given up until the tool asks again
    return G_SOURCE_REMOVE;
}

void Connect() {
    Extension& e = State();
    if (e.socket || e.retry || e.path.empty()) return;
    if (TryConnect() != Attempt::TryAgain) return;
    e.connectUntil = std::chrono::steady_clock::now() + kConnectTimeout;
    e.retry = Every(kConnectRetryMs, OnConnectRetry, nullptr);
}

// The tool asks a page it cannot reach to connect again.
gboolean OnUserMessage(WebKitWebPage*, WebKitUserMessage* message, gpointer) {
    if (g_strcmp0(webkit_user_message_get_name(message), p::kConnectRequest) != 0) return FALSE;
    Connect();
    return TRUE;
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
    Extension& e = State();
    if (e.pageId != 0) return;  // one page per process
    e.pageId = webkit_web_page_get_id(page);
    g_signal_connect(page, "user-message-received", G_CALLBACK(OnUserMessage), nullptr);
    Introduce();
}

}  // namespace
}  // namespace autolabel::web_extension

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(
    WebKitWebExtension* extension, const GVariant* data) {
    using namespace autolabel::web_extension;
    if (!data || !g_variant_is_of_type(const_cast<GVariant*>(data), G_VARIANT_TYPE("(ss)"))) return;
    const char* path = nullptr;
    const char* token = nullptr;
    g_variant_get(const_cast<GVariant*>(data), "(&s&s)", &path, &token);
    Extension& e = State();
    e.token = token;
    e.path = path;
    Connect();

    // A world of our own, named at random so that no page can ask for it.
    g_autofree char* name = g_strdup_printf("autolabel-%08x%08x", g_random_int(), g_random_int());
    e.world = Adopt(webkit_script_world_new_with_name(name));
    g_signal_connect(e.world.get(), "window-object-cleared", G_CALLBACK(OnWindowObjectCleared),
                     nullptr);
    g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}
