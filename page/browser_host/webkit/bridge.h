// The tool's side of the DOM bridge: a private listening socket that the web
// process extensions connect to, and synchronous, bounded requests to them.
// Waiting never runs the GLib main loop: it spins briefly, then blocks in
// poll() until the reply or the bound, so no routine of the tool can run in
// the middle of a DOM call.
#pragma once

#include <glib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "page/browser_host/dom_ref.h"
#include "page/browser_host/webkit/protocol.h"
#include "page/browser_host/webkit/unique_fd.h"

namespace autolabel::browser_host::webkit {

using Clock = std::chrono::steady_clock;

// One web process's connection, introduced as serving one page.
class Connection {
  public:
    explicit Connection(UniqueFd fd) : fd_(std::move(fd)) {}

    bool alive() const { return static_cast<bool>(fd_); }
    int fd() const { return fd_.Get(); }

    // Sends a request and waits for its reply until `deadline`. Replies to
    // earlier requests that come late are dropped by their sequence number.
    bool Exchange(protocol::Writer& request, std::uint32_t sequence, Clock::time_point deadline,
                  protocol::WireValue& reply);
    std::uint32_t NextSequence() { return ++sequence_; }

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

    void Close() { fd_.Reset(); }

  private:
    // As Exchange, for a reply that is not one value: `parse` reads the
    // payload of an Ok reply and says whether it was well formed. The wait
    // spins for `spin` before it sleeps in poll().
    bool ExchangeParsed(protocol::Writer& request, std::uint32_t sequence,
                        Clock::time_point deadline, Clock::duration spin,
                        const std::function<bool(protocol::Reader&)>& parse);
    bool Send(std::span<const std::byte> datagram);
    void FlushReleases();
    Clock::time_point CallDeadline() const;

    UniqueFd fd_;
    std::uint32_t sequence_ = 0;
    bool stalled_ = false;  // the last request timed out: bound the next ones tighter
    std::vector<protocol::Handle> releases_;
    std::vector<std::byte> buffer_ =
        std::vector<std::byte>(sizeof(protocol::Header) + protocol::kMaxPayload);
};

class Bridge {
  public:
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
    // The connection serving a page, if one has introduced itself.
    std::shared_ptr<Connection> ConnectionFor(std::uint64_t pageId);

  private:
    void AcceptWaiting();
    void ReadIntroductions();

    std::string directory_;
    std::string path_;
    std::string token_;
    UniqueFd listener_;
    std::vector<UniqueFd> unintroduced_;
    std::map<std::uint64_t, std::shared_ptr<Connection>> pages_;
};

// The wire form of a value and back; objects of other connections do not cross.
bool ToWire(const Value& value, const Connection& connection, protocol::WireValue& out);
Value FromWire(protocol::WireValue&& wire, const std::shared_ptr<Connection>& connection);

}  // namespace autolabel::browser_host::webkit
