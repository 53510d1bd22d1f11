#include "page/browser_host/webkit/bridge.h"

#include <glib/gstdio.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "page/browser_host/value.h"
#include "page/browser_host/webkit/bridge_object.h"

namespace autolabel::browser_host::webkit {

namespace p = protocol;
using namespace std::chrono_literals;

namespace {

// A DOM call waits at most this long for the page's process, and a process
// that already missed one answer gets this much less until it answers again.
constexpr auto kCallBound = 1000ms;
constexpr auto kStalledBound = 100ms;
// Replies usually come within tens of microseconds: spin that long before
// sleeping in poll(), which costs a wake-up.
constexpr auto kSpin = 100us;
// A lookup walks the page before it answers, for tens of microseconds to a
// millisecond: a sleep through it costs a wake-up on each side (the page's
// process has meanwhile gone back to its main loop, and the write that follows
// must wake it), 100-200 us each on an idle or a busy machine.
constexpr auto kLookupSpin = 1ms;

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

bool Connection::Send(std::span<const std::byte> datagram) {
    if (!fd_) return false;
    for (;;) {
        if (::send(fd_.Get(), datagram.data(), datagram.size(), MSG_NOSIGNAL) >= 0) return true;
        if (errno == EINTR) continue;
        fd_.Reset();  // the page's process is gone
        return false;
    }
}

void Connection::FlushReleases() {
    while (!releases_.empty() && fd_) {
        const std::size_t count = std::min(releases_.size(), p::kMaxReleaseBatch);
        p::Writer w(p::Op::Release, 0);
        w.U32(static_cast<std::uint32_t>(count));
        for (std::size_t i = 0; i < count; ++i) w.U64(releases_[i]);
        if (auto datagram = w.Finish()) Send(*datagram);
        releases_.erase(releases_.begin(), releases_.begin() + static_cast<std::ptrdiff_t>(count));
    }
}

void Connection::QueueRelease(p::Handle handle) {
    if (!fd_) return;
    releases_.push_back(handle);
    if (releases_.size() >= p::kMaxReleaseBatch) FlushReleases();
}

Clock::time_point Connection::CallDeadline() const {
    return Clock::now() + (stalled_ ? kStalledBound : kCallBound);
}

bool Connection::Exchange(p::Writer& request, std::uint32_t sequence, Clock::time_point deadline,
                          p::WireValue& reply) {
    reply = p::WireValue{};
    return ExchangeParsed(request, sequence, deadline, kSpin, [&reply](p::Reader& r) {
        reply = r.Value();
        if (r.AtEnd()) return true;
        reply = p::WireValue{};
        return false;
    });
}

bool Connection::ExchangeParsed(p::Writer& request, std::uint32_t sequence,
                                Clock::time_point deadline, Clock::duration spin,
                                const std::function<bool(p::Reader&)>& parse) {
    FlushReleases();
    auto datagram = request.Finish();
    if (!datagram || !Send(*datagram)) return false;

    const auto spinUntil = std::min(Clock::now() + spin, deadline);
    for (;;) {
        const ssize_t n =
            ::recv(fd_.Get(), buffer_.data(), buffer_.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (n == 0) {
            fd_.Reset();
            return false;
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                fd_.Reset();
                return false;
            }
            if (Clock::now() < spinUntil) continue;
            pollfd pfd{fd_.Get(), POLLIN, 0};
            const int ready = ::poll(&pfd, 1, PollMs(deadline));
            if (ready == 0) {
                stalled_ = true;
                return false;
            }
            if (ready < 0 && errno != EINTR) return false;
            if (ready > 0 && !(pfd.revents & POLLIN)) {  // hung up with nothing to read
                fd_.Reset();
                return false;
            }
            continue;
        }
        if (static_cast<std::size_t>(n) > buffer_.size()) continue;  // oversized: dropped
        auto message = p::Parse({buffer_.data(), static_cast<std::size_t>(n)});
        if (!message || message->header.op != static_cast<std::uint16_t>(p::Op::Reply) ||
            message->header.sequence != sequence)
            continue;  // malformed, or a late answer to an earlier request
        stalled_ = false;
        if (message->header.status != static_cast<std::uint16_t>(p::Status::Ok)) return false;
        p::Reader r(message->payload);
        return parse(r);
    }
}

bool Connection::GetDocument(Clock::duration bound, p::WireValue& reply) {
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::GetDocument, sequence);
    // Like a window that is not responding, a page that missed its last
    // answer gets only a short wait.
    if (stalled_) bound = std::min<Clock::duration>(bound, kStalledBound);
    return Exchange(w, sequence, Clock::now() + bound, reply) &&
           reply.kind == p::WireValue::Kind::Object;
}

bool Connection::Read(p::Handle handle, std::string_view name, p::WireValue& reply) {
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::Read, sequence);
    w.U64(handle);
    w.Bytes(name);
    return Exchange(w, sequence, CallDeadline(), reply);
}

bool Connection::Write(p::Handle handle, std::string_view name, const p::WireValue& value) {
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::Write, sequence);
    w.U64(handle);
    w.Bytes(name);
    w.Value(value);
    p::WireValue ignored;
    return Exchange(w, sequence, CallDeadline(), ignored);
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
    return Exchange(w, sequence, CallDeadline(), reply);
}

bool Connection::FindElement(p::Handle document, const p::ElementQuery& query,
                             p::ElementAnswer& answer) {
    const std::uint32_t sequence = NextSequence();
    p::Writer w(p::Op::FindElement, sequence);
    p::WriteQuery(w, document, query);
    return ExchangeParsed(w, sequence, CallDeadline(), kLookupSpin,
                          [&answer](p::Reader& r) { return p::ReadAnswer(r, answer); });
}

// ---- Bridge ----

Bridge::Bridge() : token_(RandomToken()) {
    g_autoptr(GError) error = nullptr;
    // g_dir_make_tmp creates the directory with mode 0700.
    g_autofree char* directory = g_dir_make_tmp("autolabel-XXXXXX", &error);
    if (!directory) return;
    directory_ = directory;
    path_ = directory_ + "/bridge";

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) return;
    std::memcpy(address.sun_path, path_.c_str(), path_.size());
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd || ::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd.Get(), 8) != 0)
        return;
    listener_ = std::move(fd);
}

Bridge::~Bridge() {
    listener_.Reset();
    if (!path_.empty()) g_unlink(path_.c_str());
    if (!directory_.empty()) g_rmdir(directory_.c_str());
}

GVariant* Bridge::InitializationData() const {
    return g_variant_new("(ss)", path_.c_str(), token_.c_str());
}

void Bridge::AcceptWaiting() {
    if (!listener_) return;
    for (;;) {
        UniqueFd fd(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!fd) {
            if (errno == EINTR) continue;
            return;
        }
        if (OwnUser(fd.Get())) unintroduced_.push_back(std::move(fd));
    }
}

void Bridge::ReadIntroductions() {
    std::byte buffer[sizeof(p::Header) + 256];
    for (auto it = unintroduced_.begin(); it != unintroduced_.end();) {
        const ssize_t n = ::recv(it->Get(), buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            ++it;
            continue;
        }
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
                    slot = std::make_shared<Connection>(std::move(*it));
                }
            }
        }
        it = unintroduced_.erase(it);
    }
    std::erase_if(pages_, [](const auto& entry) { return !entry.second->alive(); });
}

std::shared_ptr<Connection> Bridge::ConnectionFor(std::uint64_t pageId) {
    AcceptWaiting();
    ReadIntroductions();
    auto it = pages_.find(pageId);
    return it == pages_.end() ? nullptr : it->second;
}

DomRef Bridge::RequestDocument(std::uint64_t pageId, Clock::duration bound) {
    const auto deadline = Clock::now() + bound;
    std::shared_ptr<Connection> connection;
    // A page's process that has just started may not have introduced itself
    // yet: wait for it, within the bound.
    while (!(connection = ConnectionFor(pageId)) && listener_ && Clock::now() < deadline) {
        std::vector<pollfd> fds{{listener_.Get(), POLLIN, 0}};
        for (const auto& fd : unintroduced_) fds.push_back({fd.Get(), POLLIN, 0});
        ::poll(fds.data(), fds.size(), PollMs(deadline));
    }
    if (!connection) return {};
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
