#include "page/browser_host/webkit/connection.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace autolabel::browser_host::webkit {

using namespace support::glib;

namespace p = protocol;
using namespace std::chrono_literals;

namespace {

// A DOM call waits at most this long for the page's process.
constexpr auto kCallBound = 1000ms;
// Replies usually come within tens of microseconds: spin that long before
// sleeping in poll(), which costs a wake-up.
constexpr auto kSpin = 100us;

}  // namespace

int PollMs(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

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

}  // namespace autolabel::browser_host::webkit
