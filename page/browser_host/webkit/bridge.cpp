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

using support::glib::Every;
using support::glib::UniqueFd;
using support::glib::WatchFd;

namespace p = protocol;
using namespace std::chrono_literals;

namespace {

// A DOM call waits at most this long for the page's process.
constexpr auto kCallBound = 1000ms;
// Replies usually come within tens of microseconds: spin that long before
// sleeping in poll(), which costs a wake-up.
constexpr auto kSpin = 100us;

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

int PollMs(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

bool OwnUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

}  // namespace

// ---- Connection ----

void Connection::Close() {
    hangup_.Reset();  // first: no watch may outlive its descriptor
    fd_.Reset();
}

void Connection::WatchHangup() {
    if (!fd_) return;
    // Hang-ups only: replies stay where the next call reads them.
    hangup_ = WatchFd(
        fd_.Get(), static_cast<GIOCondition>(G_IO_HUP | G_IO_ERR),
        [](gint, GIOCondition, gpointer self) -> gboolean {
            static_cast<Connection*>(self)->Close();
            return G_SOURCE_REMOVE;
        },
        this);
}

Connection::Sent Connection::Send(std::span<const std::byte> datagram) {
    if (!fd_) return Sent::Closed;
    for (;;) {
        // Never blocks: a page that has stopped reading must not hold the tool.
        if (::send(fd_.Get(), datagram.data(), datagram.size(), MSG_NOSIGNAL | MSG_DONTWAIT) >= 0)
            return Sent::Yes;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return Sent::Full;
        Close();  // the page's process is gone
        return Sent::Closed;
    }
}

void Connection::FlushReleases() {
    while (!releases_.empty() && fd_) {
        const std::size_t count = std::min(releases_.size(), p::kMaxReleaseBatch);
        p::Writer w(p::Op::Release, 0);
        w.U32(static_cast<std::uint32_t>(count));
        for (std::size_t i = 0; i < count; ++i) w.U64(releases_[i]);
        if (auto datagram = w.Finish(); datagram && Send(*datagram) == Sent::Full)
            return;  // kept for a later request
        releases_.erase(releases_.begin(), releases_.begin() + static_cast<std::ptrdiff_t>(count));
    }
}

void Connection::QueueRelease(p::Handle handle) {
    if (!fd_) return;
    releases_.push_back(handle);
    if (releases_.size() >= p::kMaxReleaseBatch) FlushReleases();
}

bool Connection::Exchange(p::Writer& request, std::uint32_t sequence, Clock::time_point deadline,
                          p::WireValue& reply) {
    reply = p::WireValue{};
    return ExchangeParsed(request, sequence, deadline, [&reply](p::Reader& r) {
        reply = r.Value();
        if (r.AtEnd()) return true;
        reply = p::WireValue{};
        return false;
    });
}

bool Connection::ExchangeParsed(p::Writer& request, std::uint32_t sequence,
                                Clock::time_point deadline,
                                const std::function<bool(p::Reader&)>& parse) {
    FlushReleases();
    auto datagram = request.Finish();
    if (!datagram) return false;
    if (const Sent sent = Send(*datagram); sent != Sent::Yes) {
        if (sent == Sent::Full) missed_ = unanswered_ = true;  // the page is not reading
        return false;
    }

    const auto spinUntil = Clock::now() + kSpin;
    for (;;) {
        const ssize_t n =
            ::recv(fd_.Get(), buffer_.data(), buffer_.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (n == 0) {
            Close();
            return false;
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                Close();
                return false;
            }
            if (Clock::now() < spinUntil) continue;
            pollfd pfd{fd_.Get(), POLLIN, 0};
            const int ready = ::poll(&pfd, 1, PollMs(deadline));
            if (ready == 0) {
                missed_ = unanswered_ = true;
                return false;
            }
            if (ready < 0 && errno != EINTR) return false;
            if (ready > 0 && !(pfd.revents & POLLIN)) {  // hung up with nothing to read
                Close();
                return false;
            }
            continue;
        }
        if (static_cast<std::size_t>(n) > buffer_.size()) continue;  // oversized: dropped
        auto message = p::Parse({buffer_.data(), static_cast<std::size_t>(n)});
        if (!message || message->header.op != static_cast<std::uint16_t>(p::Op::Reply) ||
            message->header.sequence != sequence)
            continue;  // malformed, or a late answer to an earlier request
        missed_ = unanswered_ = false;
        if (message->header.status != static_cast<std::uint16_t>(p::Status::Ok)) return false;
        p::Reader r(message->payload);
        return parse(r);
    }
}

void Connection::TakeLateReplies() {
    while (fd_ && unanswered_) {
        const ssize_t n =
            ::recv(fd_.Get(), buffer_.data(), buffer_.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n <= 0) {
            Close();
            break;
        }
        // Any well-formed reply, late as it is, shows the page at work again.
        if (static_cast<std::size_t>(n) <= buffer_.size())
            if (auto message = p::Parse({buffer_.data(), static_cast<std::size_t>(n)});
                message && message->header.op == static_cast<std::uint16_t>(p::Op::Reply))
                missed_ = unanswered_ = false;
    }
}

bool Connection::Unanswering() {
    TakeLateReplies();
    return fd_ && unanswered_;
}

bool Connection::MayCallPage() {
    if (missed_) TakeLateReplies();
    return !missed_ && fd_;  // else this command has had its bound
}

bool Connection::CallPage(p::Writer& request, std::uint32_t sequence, Clock::duration bound,
                          p::WireValue& reply) {
    reply = p::WireValue{};
    return MayCallPage() && Exchange(request, sequence, Clock::now() + bound, reply);
}

bool Connection::CallPageParsed(p::Writer& request, std::uint32_t sequence, Clock::duration bound,
                                const std::function<bool(p::Reader&)>& parse) {
    return MayCallPage() && ExchangeParsed(request, sequence, Clock::now() + bound, parse);
}

bool Connection::GetDocument(Clock::duration bound, p::WireValue& reply) {
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::GetDocument, sequence);
    return CallPage(w, sequence, bound, reply) && reply.kind == p::WireValue::Kind::Object;
}

bool Connection::Read(p::Handle handle, std::string_view name, p::WireValue& reply) {
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::Read, sequence);
    w.U64(handle);
    w.Bytes(name);
    return CallPage(w, sequence, kCallBound, reply);
}

bool Connection::Write(p::Handle handle, std::string_view name, const p::WireValue& value) {
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::Write, sequence);
    w.U64(handle);
    w.Bytes(name);
    w.Value(value);
    p::WireValue ignored;
    return CallPage(w, sequence, kCallBound, ignored);
}

bool Connection::Call(p::Handle handle, std::string_view name,
                      std::span<const p::WireValue> arguments, p::WireValue& reply) {
    if (arguments.size() > p::kMaxArguments) return false;
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::Call, sequence);
    w.U64(handle);
    w.Bytes(name);
    w.U32(static_cast<std::uint32_t>(arguments.size()));
    for (const auto& argument : arguments) w.Value(argument);
    return CallPage(w, sequence, kCallBound, reply);
}

bool Connection::FindElement(p::Handle document, const p::ElementQuery& query,
                             p::ElementAnswer& answer) {
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::FindElement, sequence);
    p::WriteQuery(w, document, query);
    return CallPageParsed(w, sequence, kCallBound,
                          [&answer](p::Reader& r) { return p::ReadAnswer(r, answer); });
}

// ---- Bridge ----

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

// ---- Values ----

bool ToWire(const Value& value, const Connection& connection, p::WireValue& out) {
    out = p::WireValue{};
    switch (value.kind()) {
        case Value::Kind::Empty:
            return true;
        case Value::Kind::Boolean:
            out.kind = p::WireValue::Kind::Boolean;
            out.boolean = value.ToBoolean();
            return true;
        case Value::Kind::Int32:
            out.kind = p::WireValue::Kind::Int32;
            out.int32 = value.ToInt32();
            return true;
        case Value::Kind::Double:
            out.kind = p::WireValue::Kind::Double;
            out.number = value.ToNumber();
            return true;
        case Value::Kind::Text:
            out = p::WireValue::Text(value.ToText());
            return true;
        case Value::Kind::Object: {
            const DomRef object = value.ToObject();
            const auto* bridged = dynamic_cast<const BridgeObject*>(object.Get());
            if (!bridged || bridged->connection() != &connection) return false;
            out = p::WireValue::Object(bridged->handle());
            return true;
        }
    }
    return false;
}

Value FromWire(p::WireValue&& wire, const std::shared_ptr<Connection>& connection) {
    switch (wire.kind) {
        case p::WireValue::Kind::Empty:
            return Value();
        case p::WireValue::Kind::Boolean:
            return Value::Boolean(wire.boolean);
        case p::WireValue::Kind::Int32:
            return Value::Int32(wire.int32);
        case p::WireValue::Kind::Double:
            return Value::Double(wire.number);
        case p::WireValue::Kind::Text:
            return Value::Text(std::move(wire.text));
        case p::WireValue::Kind::Object:
            return Value::Object(DomRef::Adopt(new BridgeObject(connection, wire.handle)));
    }
    return Value();
}

}  // namespace autolabel::browser_host::webkit
