#include "tests/linux/support/forum_server.h"

#include <gio/gio.h>

namespace autolabel::tests::linux {

namespace {

std::string Header(SoupMessageHeaders* headers, const char* name) {
    const char* value = soup_message_headers_get_one(headers, name);
    return value ? value : "";
}

}  // namespace

struct ForumServer::PausedAnswer {
    ForumServer* server;
    support::glib::GObjectPtr<SoupServerMessage> message;
    std::string path;
    guint source = 0;
    ~PausedAnswer() {
        if (source) g_source_remove(source);
    }
};

ForumServer::ForumServer()
    : server_(support::glib::Adopt(soup_server_new("server-header", "forum", nullptr))) {
    soup_server_add_handler(server_.get(), nullptr, OnRequest, this, nullptr);
    ComeBack();
}

ForumServer::~ForumServer() {
    paused_.clear();
    soup_server_disconnect(server_.get());
}

std::string ForumServer::Address(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void ForumServer::Page(std::string path, std::string html) {
    routes_[std::move(path)].html = std::move(html);
}

void ForumServer::Redirect(std::string path, std::string target) {
    routes_[std::move(path)].redirect = std::move(target);
}

void ForumServer::Attachment(std::string path, std::string content) {
    routes_[std::move(path)].attachment = std::move(content);
}

void ForumServer::SetCookie(const std::string& path, std::string cookie) {
    routes_[path].cookies.push_back(std::move(cookie));
}

void ForumServer::RequireLogin(const std::string& path) { routes_[path].login = true; }

void ForumServer::GoAway() { soup_server_disconnect(server_.get()); }

bool ForumServer::ComeBack() {
    g_autoptr(GError) error = nullptr;
    // Port 0 the first time: the system picks one, kept for coming back.
    g_autoptr(GInetAddress) loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    g_autoptr(GSocketAddress) address = g_inet_socket_address_new(loopback, port_);
    if (!soup_server_listen(server_.get(), address, static_cast<SoupServerListenOptions>(0),
                            &error))
        return false;
    GSList* uris = soup_server_get_uris(server_.get());
    if (uris) port_ = static_cast<guint16>(g_uri_get_port(static_cast<GUri*>(uris->data)));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    return true;
}

std::vector<ForumServer::Request> ForumServer::RequestsFor(std::string_view method,
                                                           std::string_view path) const {
    std::vector<Request> found;
    for (const Request& request : requests_)
        if (request.method == method && request.path == path) found.push_back(request);
    return found;
}

void ForumServer::OnRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                            gpointer data) {
    auto* self = static_cast<ForumServer*>(data);
    SoupMessageHeaders* headers = soup_server_message_get_request_headers(message);
    SoupMessageBody* body = soup_server_message_get_request_body(message);
    self->requests_.push_back(Request{
        soup_server_message_get_method(message), path,
        body && body->data ? std::string(body->data, static_cast<std::size_t>(body->length)) : "",
        Header(headers, "Cookie"), Header(headers, "Cache-Control"),
        Header(headers, "Authorization")});
    auto route = self->routes_.find(std::string_view(path));
    const bool never = route != self->routes_.end() && route->second.never;
    const auto delay =
        route != self->routes_.end() && route->second.delay ? *route->second.delay : self->delay_;
    if (!never && delay.count() == 0) return self->Answer(message, path);
    // A slow forum: the answer comes later, the loop runs meanwhile.
    soup_server_message_pause(message);
    auto paused =
        std::unique_ptr<PausedAnswer>(new PausedAnswer{self, support::glib::Share(message), path});
    if (!never)
        paused->source =
            g_timeout_add(static_cast<guint>(delay.count()), OnDelayOver, paused.get());
    self->paused_.push_back(std::move(paused));
}

gboolean ForumServer::OnDelayOver(gpointer data) {
    auto* paused = static_cast<PausedAnswer*>(data);
    paused->source = 0;
    ForumServer* self = paused->server;
    self->Answer(paused->message.get(), paused->path);
    soup_server_message_unpause(paused->message.get());
    std::erase_if(self->paused_, [&](const auto& p) { return p.get() == paused; });
    return G_SOURCE_REMOVE;
}

void ForumServer::Answer(SoupServerMessage* message, const std::string& path) {
    auto route = routes_.find(path);
    if (route == routes_.end()) {
        soup_server_message_set_status(message, SOUP_STATUS_NOT_FOUND, nullptr);
        return;
    }
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    for (const std::string& cookie : route->second.cookies)
        soup_message_headers_append(headers, "Set-Cookie", cookie.c_str());
    if (route->second.login && requests_.back().authorization.empty()) {
        soup_message_headers_append(headers, "WWW-Authenticate", "Basic realm=\"forum\"");
        soup_server_message_set_status(message, SOUP_STATUS_UNAUTHORIZED, nullptr);
        return;
    }
    // Pages of a forum are never taken from a cache.
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    if (!route->second.redirect.empty()) {
        soup_server_message_set_redirect(message, SOUP_STATUS_SEE_OTHER,
                                         route->second.redirect.c_str());
        return;
    }
    soup_server_message_set_status(message, SOUP_STATUS_OK, nullptr);
    if (const auto& file = route->second.attachment) {
        soup_message_headers_append(headers, "Content-Disposition",
                                    "attachment; filename=\"labels.csv\"");
        soup_server_message_set_response(message, "text/csv", SOUP_MEMORY_COPY, file->data(),
                                         file->size());
        return;
    }
    soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY,
                                     route->second.html.data(), route->second.html.size());
}

}  // namespace autolabel::tests::linux
