// A loopback forum for the end-to-end tests, behaving as a real one does:
// it answers pages and posts (with a page, or with a redirect), sets
// cookies, can answer slowly, and can go away and come back on the same
// port. It records every request it gets. Runs on the thread's main loop.
#pragma once

#include <libsoup/soup.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/glib/gobject_ptr.h"

namespace autolabel::tests::linux {

class ForumServer {
  public:
    struct Request {
        std::string method;
        std::string path;
        std::string body;           // the form data of a post
        std::string cookie;         // the Cookie header, "" when none
        std::string cacheControl;   // the Cache-Control header, "" when none
        std::string authorization;  // the Authorization header, "" when none
    };

    ForumServer();  // listening on 127.0.0.1, on a port of its own
    ~ForumServer();
    ForumServer(const ForumServer&) = delete;
    ForumServer& operator=(const ForumServer&) = delete;

    std::string Address(std::string_view path) const;

    // `path` answers any method with `html`.
    void Page(std::string path, std::string html);
    // `path` answers any method with a 303 redirect to `target`.
    void Redirect(std::string path, std::string target);
    // `path` answers any method with `content` as a file to save
    // (Content-Disposition: attachment), not as a page.
    void Attachment(std::string path, std::string content);
    // `path` also sets this cookie ("name=value; attributes").
    void SetCookie(const std::string& path, std::string cookie);
    // `path` asks for a user name and password (HTTP basic authentication)
    // until a request brings some.
    void RequireLogin(const std::string& path);
    // Every answer waits this long first.
    void AnswerAfter(std::chrono::milliseconds delay) { delay_ = delay; }
    // `path` waits this long instead, whatever the other answers wait.
    void AnswerAfter(const std::string& path, std::chrono::milliseconds delay) {
        routes_[path].delay = delay;
    }
    // `path` is never answered: the request stays open (a hanging resource).
    void NeverAnswer(const std::string& path) { routes_[path].never = true; }
    // Stops listening, and starts again on the same port.
    void GoAway();
    bool ComeBack();

    const std::vector<Request>& requests() const { return requests_; }
    std::vector<Request> RequestsFor(std::string_view method, std::string_view path) const;

  private:
    struct PausedAnswer;
    struct Route {
        std::string html;
        std::string redirect;
        std::optional<std::string> attachment;
        std::vector<std::string> cookies;
        bool login = false;
        std::optional<std::chrono::milliseconds> delay;
        bool never = false;
    };
    static void OnRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                          gpointer self);
    void Answer(SoupServerMessage* message, const std::string& path);
    static gboolean OnDelayOver(gpointer paused);

    support::glib::GObjectPtr<SoupServer> server_;
    guint16 port_ = 0;
    std::map<std::string, Route, std::less<>> routes_;
    std::vector<Request> requests_;
    std::chrono::milliseconds delay_{0};
    std::vector<std::unique_ptr<PausedAnswer>> paused_;
};

// A page script that asks the forum for `path` with a synchronous request,
// then keeps the page's process busy for `milliseconds`: once the forum has
// the request, the page's process runs nothing else until the loop ends.
inline std::string BusyScript(std::string_view path, int milliseconds) {
    return "{ const r = new XMLHttpRequest(); r.open('GET', '" + std::string(path) +
           "', false); r.send(); const end = Date.now() + " + std::to_string(milliseconds) +
           "; while (Date.now() < end); }";
}

}  // namespace autolabel::tests::linux
