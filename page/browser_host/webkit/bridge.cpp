#include "page/browser_host/webkit/bridge.h"

#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "page/browser_host/value.h"
#include "page/browser_host/webkit/bridge_object.h"
#include "page/browser_host/webkit/socket_directory.h"

namespace autolabel::browser_host::webkit {

using namespace support::glib;

namespace p = protocol;
using namespace std::chrono_literals;

namespace {

std::string RandomToken() {
    unsigned char bytes[p::kTokenLength / 2];
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes))
        for (auto& b : bytes) b = static_cast<unsigned char>(g_random_int());
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += kHex[b >> 4];
        token += kHex[b & 15];
    }
    return token;
}

bool SameToken(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;  // no early exit: the comparison takes the same time
    for (std::size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

bool OwnUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

}  // namespace

Bridge::Bridge() : token_(RandomToken()) {
    RemoveLeftoverSocketDirectories();
    directory_ = MakeSocketDirectory();
    if (directory_.empty()) return;
    path_ = directory_ + "/" + std::string(kSocketName);

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) return;
    std::memcpy(address.sun_path, path_.c_str(), path_.size());
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    // A long queue: while a command runs, the main loop takes nothing.
    if (!fd || ::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd.Get(), SOMAXCONN) != 0)
        return;
    listener_ = std::move(fd);
    listenerWatch_ = WatchFd(listener_.Get(), G_IO_IN, OnListenerReady, this);
}

Bridge::~Bridge() {
    sweep_.Reset();
    unintroduced_.clear();
    for (auto& [page, connection] : pages_) connection->Close();
    listenerWatch_.Reset();
    listener_.Reset();
    RemoveSocketDirectory(directory_);
}

GVariant* Bridge::InitializationData() const {
    return g_variant_new("(ss)", path_.c_str(), token_.c_str());
}

gboolean Bridge::OnListenerReady(gint, GIOCondition, gpointer self) {
    auto* bridge = static_cast<Bridge*>(self);
    bridge->AcceptWaiting();
    bridge->ReadIntroductions();
    return G_SOURCE_CONTINUE;
}

gboolean Bridge::OnIntroductionReady(gint, GIOCondition, gpointer self) {
    static_cast<Bridge*>(self)->ReadIntroductions();
    return G_SOURCE_CONTINUE;  // a connection's watch goes with the connection
}

gboolean Bridge::OnSweep(gpointer self) {
    auto* bridge = static_cast<Bridge*>(self);
    bridge->ReadIntroductions();
    if (!bridge->unintroduced_.empty()) return G_SOURCE_CONTINUE;
    bridge->sweep_.Reset();
    return G_SOURCE_REMOVE;
}

void Bridge::AcceptWaiting() {
    if (!listener_) return;
    for (;;) {
        UniqueFd fd(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!fd) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            break;
        }
        if (!OwnUser(fd.Get())) continue;
        // The newest is the likeliest to be a page process that just started.
        if (unintroduced_.size() >= kMaxUnintroduced) unintroduced_.erase(unintroduced_.begin());
        Unintroduced& added = unintroduced_.emplace_back();
        added.watch = WatchFd(fd.Get(), static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                              OnIntroductionReady, this);
        added.fd = std::move(fd);
        added.deadline = Clock::now() + kIntroductionTime;
    }
    if (!unintroduced_.empty() && !sweep_) sweep_ = Every(250, OnSweep, this);
}

bool Bridge::ReadIntroduction(Unintroduced& connection) {
    std::byte buffer[sizeof(p::Header) + 256];
    const ssize_t n = ::recv(connection.fd.Get(), buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return false;
    // The first message must be a well-formed introduction with our token;
    // anything else closes the connection.
    if (n > 0 && static_cast<std::size_t>(n) <= sizeof buffer) {
        auto message = p::Parse({buffer, static_cast<std::size_t>(n)});
        if (message && message->header.op == static_cast<std::uint16_t>(p::Op::Hello)) {
            p::Reader r(message->payload);
            const std::string token = r.Bytes();
            const std::uint64_t pageId = r.U64();
            if (r.AtEnd() && SameToken(token, token_)) {
                auto& slot = pages_[pageId];
                if (slot) slot->Close();  // a new process now serves this page
                connection.watch.Reset();
                slot = std::make_shared<Connection>(std::move(connection.fd));
                slot->WatchHangup();
                spent_.erase(pageId);  // a new process: not the one that missed
            }
        }
    }
    return true;
}

void Bridge::ReadIntroductions() {
    const auto now = Clock::now();
    std::erase_if(unintroduced_, [&](Unintroduced& connection) {
        return ReadIntroduction(connection) || now >= connection.deadline;
    });
    std::erase_if(pages_, [this](const auto& entry) {
        if (entry.second->alive()) return false;
        Forget(entry.first, *entry.second);
        return true;
    });
}

void Bridge::Forget(std::uint64_t pageId, const Connection& connection) {
    if (connection.missedThisCommand()) spent_.insert(pageId);
}

std::shared_ptr<Connection> Bridge::ConnectionFor(std::uint64_t pageId) {
    AcceptWaiting();
    ReadIntroductions();
    auto it = pages_.find(pageId);
    return it == pages_.end() ? nullptr : it->second;
}

bool Bridge::Serves(std::uint64_t pageId) const {
    auto it = pages_.find(pageId);
    return it != pages_.end() && it->second->alive();
}

void Bridge::BeginCommand() {
    spent_.clear();
    for (auto& [page, connection] : pages_) connection->BeginCommand();
}

bool Bridge::Unanswering(std::uint64_t pageId) {
    auto it = pages_.find(pageId);
    return it != pages_.end() && it->second->Unanswering();
}

void Bridge::DropPage(std::uint64_t pageId) {
    auto it = pages_.find(pageId);
    if (it == pages_.end()) return;
    it->second->Close();
    Forget(pageId, *it->second);
    pages_.erase(it);
}

DomRef Bridge::RequestDocument(std::uint64_t pageId, Clock::duration bound) {
    const auto deadline = Clock::now() + bound;
    std::shared_ptr<Connection> connection;
    // This command has already spent a bound on the page: no second wait
    // for a process to introduce itself.
    if (spent_.contains(pageId) && !ConnectionFor(pageId)) return {};
    // A page's process that has just started may not have introduced itself
    // yet: wait for it, within the bound, without the main loop.
    while (!(connection = ConnectionFor(pageId)) && listener_ && Clock::now() < deadline) {
        std::vector<pollfd> fds{{listener_.Get(), POLLIN, 0}};
        for (const auto& waiting : unintroduced_) fds.push_back({waiting.fd.Get(), POLLIN, 0});
        ::poll(fds.data(), fds.size(), PollMs(deadline));
    }
    if (!connection) {
        spent_.insert(pageId);
        return {};
    }
    p::WireValue reply;
    if (!connection->GetDocument(deadline - Clock::now(), reply)) return {};
    return DomRef::Adopt(new BridgeObject(connection, reply.handle));
}

}  // namespace autolabel::browser_host::webkit
