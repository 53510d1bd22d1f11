#include "app/gtk/page_reload.h"

#include <utility>

namespace autolabel::app::gtk {

namespace {

bool IsPost(const std::string& method) { return method != "GET" && method != "HEAD"; }

}  // namespace

void PageReload::NavigationDecided(const char* uri, const char* method) {
    if (uri) methods_[uri] = method ? method : "GET";
}

bool PageReload::LoadChanged(WebKitLoadEvent event, const char* shownUri) {
    using Load = CrashedPageLoad;
    if (event == WEBKIT_LOAD_STARTED && crashedPageLoad_ == Load::Requested)
        crashedPageLoad_ = Load::Started;
    if (event == WEBKIT_LOAD_FINISHED && crashedPageLoad_ != Load::Requested) {
        // Also the end of a load of the tool's page that failed or was
        // cancelled without committing: the next commit is a real page.
        crashedPageLoad_ = Load::None;
        return std::exchange(reloadWhenLoaded_, false);
    }
    if (event != WEBKIT_LOAD_COMMITTED) return false;
    auto it = shownUri ? methods_.find(shownUri) : methods_.end();
    // A redirect's target is asked for with the method the redirect gave
    // it; an address never asked for here came by a redirect, as a GET.
    shownFromPost_ = it != methods_.end() && IsPost(it->second);
    methods_.clear();
    if (crashedPageLoad_ == Load::Requested || crashedPageLoad_ == Load::Started) {
        crashedPageLoad_ = Load::Committed;
        shownFromPost_ = false;
    } else {
        lostAddress_.clear();  // a real page is shown again
    }
    return false;
}

std::string PageReload::ProcessTerminated(WebKitWebProcessTerminationReason reason,
                                          const char* shownUri) {
    // Ended by the tool itself (the view going away, or a process that no
    // longer answered, replaced by the reload that follows): nothing to show.
    if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return {};
    if (lostAddress_.empty()) lostAddress_ = shownUri && *shownUri ? shownUri : "about:blank";
    crashedPageLoad_ = CrashedPageLoad::Requested;
    return lostAddress_;
}

bool PageReload::PutsOffReload() {
    if (crashedPageLoad_ != CrashedPageLoad::Requested &&
        crashedPageLoad_ != CrashedPageLoad::Started)
        return false;
    reloadWhenLoaded_ = true;
    return true;
}

}  // namespace autolabel::app::gtk
