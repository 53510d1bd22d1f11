// How the browser reloads the page it shows. A page that answered a form
// post is asked for afresh at its address, without the form data, as when
// a user presses Enter in the address bar: a plain reload would post the
// labels again. A page whose process died is replaced by the tool's own
// page, and the reload brings the lost page back.
#pragma once

#include <webkit2/webkit2.h>

#include <map>
#include <string>

namespace autolabel::app::gtk {

class PageReload {
  public:
    explicit PageReload(WebKitWebView* view);
    ~PageReload();
    PageReload(const PageReload&) = delete;
    PageReload& operator=(const PageReload&) = delete;

    void Reload();
    // Whether the page shown now is the answer to a post.
    bool shownFromPost() const { return shownFromPost_; }
    bool showsCrashedPage() const { return !lostAddress_.empty(); }

  private:
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer self);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                    gpointer self);

    WebKitWebView* view_;  // a weak pointer: null once the view is gone
    // The method of each main-frame request asked for since the last commit,
    // by address: the one that commits tells how the page came.
    std::map<std::string, std::string> methods_;
    bool shownFromPost_ = false;
    bool crashedPageLoading_ = false;
    std::string lostAddress_;  // the page the tool's own page stands in for
};

}  // namespace autolabel::app::gtk
