// The tool's side of the DOM bridge: a private listening socket that the web
// process extensions connect to, and synchronous, bounded requests to them.
// Between commands the main loop takes connections as they come, reads
// their introductions and drops the ones that end; a command's document
// request waits for its page's process within one bound (connection.h).
#pragma once

#include <glib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "page/browser_host/dom_ref.h"
#include "page/browser_host/webkit/connection.h"
#include "support/glib/unique_fd.h"
#include "support/glib/unique_source.h"

namespace autolabel::browser_host::webkit {

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

}  // namespace autolabel::browser_host::webkit
