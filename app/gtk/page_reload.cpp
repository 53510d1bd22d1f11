#include "app/gtk/page_reload.h"

#include <utility>

#include "app/gtk/crashed_page.h"
#include "app/reload_decision.h"

namespace autolabel::app::gtk {

namespace {

bool IsPost(const std::string& method) { return method != "GET" && method != "HEAD"; }

}  // namespace

PageReload::PageReload(WebKitWebView* view) : view_(view) {
    g_object_add_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
    g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(OnProcessTerminated), this);
}

PageReload::~PageReload() {
    if (!view_) return;
    g_signal_handlers_disconnect_by_data(view_, this);
    g_object_remove_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
}

gboolean PageReload::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                    WebKitPolicyDecisionType type, gpointer data) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* uri = webkit_uri_request_get_uri(request);
    const char* method = webkit_uri_request_get_http_method(request);
    if (uri) static_cast<PageReload*>(data)->methods_[uri] = method ? method : "GET";
    return FALSE;  // the browser decides as usual
}

void PageReload::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<PageReload*>(data);
    using Load = CrashedPageLoad;
    if (event == WEBKIT_LOAD_STARTED && self->crashedPageLoad_ == Load::Requested)
        self->crashedPageLoad_ = Load::Started;
    if (event == WEBKIT_LOAD_FINISHED && self->crashedPageLoad_ != Load::Requested) {
        // Also the end of a load of the tool's page that failed or was
        // cancelled without committing: the next commit is a real page.
        self->crashedPageLoad_ = Load::None;
        if (std::exchange(self->reloadWhenLoaded_, false)) self->Reload();
    }
    if (event != WEBKIT_LOAD_COMMITTED) return;
    const char* uri = webkit_web_view_get_uri(view);
    auto it = uri ? self->methods_.find(uri) : self->methods_.end();
    // A redirect's target is asked for with the method the redirect gave
    // it; an address never asked for here came by a redirect, as a GET.
    self->shownFromPost_ = it != self->methods_.end() && IsPost(it->second);
    self->methods_.clear();
    if (self->crashedPageLoad_ == Load::Requested || self->crashedPageLoad_ == Load::Started) {
        self->crashedPageLoad_ = Load::Committed;
        self->shownFromPost_ = false;
    } else {
        self->lostAddress_.clear();  // a real page is shown again
    }
}

void PageReload::OnProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                                     gpointer data) {
    // Ended by the tool itself (the view going away): nothing to show.
    if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
    auto* self = static_cast<PageReload*>(data);
    if (self->lostAddress_.empty()) {
        const char* uri = webkit_web_view_get_uri(view);
        self->lostAddress_ = uri && *uri ? uri : "about:blank";
    }
    self->crashedPageLoad_ = CrashedPageLoad::Requested;
    // Shown under the lost address, so the address stays what the user saw.
    webkit_web_view_load_alternate_html(view, CrashedPageHtml(self->lostAddress_).c_str(),
                                        self->lostAddress_.c_str(), nullptr);
}

void PageReload::Reload() {
    if (!view_) return;
    // A load asked for while the tool's own page is still loading may be
    // taken for that page's (the engine then shows the tool's page for it)
    // or cancel it after it began: either way the tool would no longer know
    // which page it shows. Wait for that load to end.
    if (crashedPageLoad_ == CrashedPageLoad::Requested ||
        crashedPageLoad_ == CrashedPageLoad::Started) {
        reloadWhenLoaded_ = true;
        return;
    }
    const char* uri = webkit_web_view_get_uri(view_);
    const ReloadDecision decision = DecideReload({uri ? uri : "", shownFromPost_, lostAddress_});
    switch (decision.kind) {
        case ReloadDecision::Kind::ReloadCompletely:
            webkit_web_view_reload_bypass_cache(view_);
            break;
        case ReloadDecision::Kind::GoTo:
            webkit_web_view_load_uri(view_, decision.address.c_str());
            break;
        case ReloadDecision::Kind::Nothing:
            break;
    }
}

}  // namespace autolabel::app::gtk
