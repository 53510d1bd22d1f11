// How the page the control shows came to be there, for the reload that
// never sends a form again (app/reload_decision.h): whether it is the
// answer to a post. The control says so with its top-level navigation's
// post data, and the page is the answer once the navigation has arrived.
#pragma once

namespace autolabel::app::win32 {

class PageReload {
  public:
    // The refresh level of a reload from the server: REFRESH_COMPLETELY,
    // the documented plain reload (0, 1 and 3 are the documented levels).
    static constexpr int kReloadLevel = 3;

    void NavigationStarting(bool carriesPostData) noexcept { pendingFromPost_ = carriesPostData; }
    void NavigationDone() noexcept { fromPost_ = pendingFromPost_; }
    bool FromPost() const noexcept { return fromPost_; }

  private:
    bool pendingFromPost_ = false;
    bool fromPost_ = false;
};

}  // namespace autolabel::app::win32
