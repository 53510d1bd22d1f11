// One web process's connection to the tool: synchronous, bounded requests
// over a Unix socket. Waiting never runs the GLib main loop: it spins
// briefly, then blocks in poll() until the reply or the bound, so no routine
// of the tool can run in the middle of a DOM call.
#pragma once

#include <glib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "page/browser_host/webkit/protocol.h"
#include "support/glib/unique_fd.h"
#include "support/glib/unique_source.h"

namespace autolabel::browser_host::webkit {

using Clock = std::chrono::steady_clock;

// What is left of the time to `deadline`, in whole milliseconds for poll().
int PollMs(Clock::time_point deadline);

// One web process's connection, introduced as serving one page.
//
// One bound per command: once a call has missed its bound, the later calls
// of the command (the document request included) fail at once, without being
// sent, until the page has answered again; the next command tries the page
// afresh.
class Connection {
  public:
    explicit Connection(support::glib::UniqueFd fd) : fd_(std::move(fd)) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool alive() const { return static_cast<bool>(fd_); }
    int fd() const { return fd_.Get(); }

    // Sends a request and waits for its reply until `deadline`. Replies to
    // earlier requests that come late are dropped by their sequence number.
    bool Exchange(protocol::Writer& request, std::uint32_t sequence, Clock::time_point deadline,
                  protocol::WireValue& reply);
    std::uint32_t NextSequence() { return ++sequence_; }

    // The document request waits at most `bound`, the other calls kCallBound.
    bool GetDocument(Clock::duration bound, protocol::WireValue& reply);
    bool Read(protocol::Handle handle, std::string_view name, protocol::WireValue& reply);
    bool Write(protocol::Handle handle, std::string_view name, const protocol::WireValue& value);
    bool Call(protocol::Handle handle, std::string_view name,
              std::span<const protocol::WireValue> arguments, protocol::WireValue& reply);
    // The element lookup walked in the page's process, one request.
    bool FindElement(protocol::Handle document, const protocol::ElementQuery& query,
                     protocol::ElementAnswer& answer);
    // Handles go back in batches, ahead of the next request.
    void QueueRelease(protocol::Handle handle);

    // A new command: the page is tried afresh.
    void BeginCommand() { missed_ = false; }
    // Whether a call has missed its bound and the page has not answered since.
    bool Unanswering();
    bool missedThisCommand() const { return missed_; }

    // Closes the connection from the main loop as soon as the peer hangs up.
    void WatchHangup();
    void Close();

  private:
    // As Exchange, for a reply that is not one value: `parse` reads the
    // payload of an Ok reply and says whether it was well formed.
    bool ExchangeParsed(protocol::Writer& request, std::uint32_t sequence,
                        Clock::time_point deadline,
                        const std::function<bool(protocol::Reader&)>& parse);
    enum class Sent { Yes, Full, Closed };
    Sent Send(std::span<const std::byte> datagram);
    void FlushReleases();
    // A DOM call of the current command: sent unless an earlier one missed
    // its bound and the page has not answered since.
    bool CallPage(protocol::Writer& request, std::uint32_t sequence, Clock::duration bound,
                  protocol::WireValue& reply);
    // As CallPage, for a reply that ExchangeParsed reads.
    bool CallPageParsed(protocol::Writer& request, std::uint32_t sequence, Clock::duration bound,
                        const std::function<bool(protocol::Reader&)>& parse);
    // Whether a call of this command may still be sent: no earlier one
    // missed its bound, or the page has answered since.
    bool MayCallPage();
    // Reads what came after a missed bound; a reply shows the page answers again.
    void TakeLateReplies();

    support::glib::UniqueFd fd_;
    support::glib::UniqueSource hangup_;
    std::uint32_t sequence_ = 0;
    bool missed_ = false;      // a call of this command missed its bound
    bool unanswered_ = false;  // and no reply has come since
    std::vector<protocol::Handle> releases_;
    std::vector<std::byte> buffer_ =
        std::vector<std::byte>(sizeof(protocol::Header) + protocol::kMaxPayload);
};

}  // namespace autolabel::browser_host::webkit
