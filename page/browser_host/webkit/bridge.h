// The tool's side of the DOM bridge: a private listening socket that the web
// process extensions connect to, and synchronous, bounded requests to them.
// Waiting never runs the GLib main loop: it spins briefly, then blocks in
// poll() until the reply or the bound, so no routine of the tool can run in
// the middle of a DOM call. Between commands the main loop takes connections
// as they come, reads their introductions and drops the ones that end.
#pragma once

#include <glib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "page/browser_host/dom_ref.h"
#include "page/browser_host/webkit/protocol.h"
#include "support/glib/unique_fd.h"
#include "support/glib/unique_source.h"

namespace autolabel::browser_host::webkit {

using Clock = std::chrono::steady_clock;

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

// Connections that have not introduced themselves get this long to do so.
inline constexpr auto kIntroductionTime = std::chrono::milliseconds(2000);
// At most this many wait for their introduction; a new one pushes out the oldest.
inline constexpr std::size_t kMaxUnintroduced = 16;

class Bridge {
  public:
    // Removes the socket directories of earlier runs that were killed, then
    // makes its own and starts listening from the main loop.
    Bridge();
    ~Bridge();
    Bridge(const Bridge&) = delete;
    Bridge& operator=(const Bridge&) = delete;

    bool ready() const { return static_cast<bool>(listener_); }
    // What the extension needs: "(ss)", the socket's path and the token.
    GVariant* InitializationData() const;
    const std::string& directory() const { return directory_; }

    // A new reference to the current document of the page with this id, or
    // an empty one when no extension serving it answers within `bound`.
    DomRef RequestDocument(std::uint64_t pageId, Clock::duration bound);
    // The connection serving a page, if one has introduced itself; takes
    // what is waiting on the socket first, without waiting.
    std::shared_ptr<Connection> ConnectionFor(std::uint64_t pageId);
    // A command begins (a button, a key or a tick of the automatic mode):
    // every page is tried afresh.
    void BeginCommand();
    // Whether the page's process missed a call's bound and has not answered
    // since, in this command or an earlier one.
    bool Unanswering(std::uint64_t pageId);
    // The page's process has ended (WebKit says so): its connection goes.
    void DropPage(std::uint64_t pageId);

    // What the main loop has taken so far, without taking anything.
    bool Serves(std::uint64_t pageId) const;
    std::size_t unintroduced() const { return unintroduced_.size(); }

  private:
    struct Unintroduced {
        support::glib::UniqueFd fd;
        support::glib::UniqueSource watch;
        Clock::time_point deadline;
    };
    static gboolean OnListenerReady(gint fd, GIOCondition condition, gpointer self);
    static gboolean OnIntroductionReady(gint fd, GIOCondition condition, gpointer self);
    static gboolean OnSweep(gpointer self);
    void AcceptWaiting();
    // Reads the introductions that have arrived; those past their time go.
    void ReadIntroductions();
    // Reads one connection's first message: false while nothing has arrived.
    bool ReadIntroduction(Unintroduced& connection);
    // A page's connection goes: one that missed its bound in this command
    // leaves the page spent until the next command.
    void Forget(std::uint64_t pageId, const Connection& connection);

    std::string directory_;
    std::string path_;
    std::string token_;
    support::glib::UniqueFd listener_;
    support::glib::UniqueSource listenerWatch_;
    support::glib::UniqueSource sweep_;
    std::vector<Unintroduced> unintroduced_;
    std::map<std::uint64_t, std::shared_ptr<Connection>> pages_;
    // Pages this command has waited a whole bound for without an answer.
    std::set<std::uint64_t> spent_;
};

// The wire form of a value and back; objects of other connections do not cross.
bool ToWire(const Value& value, const Connection& connection, protocol::WireValue& out);
Value FromWire(protocol::WireValue&& wire, const std::shared_ptr<Connection>& connection);

}  // namespace autolabel::browser_host::webkit
