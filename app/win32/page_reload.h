// How the page the control shows came to be there, so that a reload never
// sends a form again: the answer to a post is asked for afresh at its
// address; any other page is reloaded from the server.
#pragma once

#include <string>

namespace autolabel::app::win32 {

// What a reload needs of the control.
class ReloadTarget {
  public:
    // The address of the page shown now; empty when there is none.
    virtual std::wstring LocationUrl() = 0;
    // A new top-level request for that address (a GET).
    virtual void NavigateTo(const std::wstring& address) = 0;
    virtual void Refresh2(int level) = 0;

  protected:
    ~ReloadTarget() = default;
};

class PageReload {
  public:
    // The refresh level of the reload: REFRESH_COMPLETELY, the documented
    // plain reload from the server (0, 1 and 3 are the documented levels).
    static constexpr int kReloadLevel = 3;

    void NavigationStarting(bool carriesPostData) noexcept { pendingFromPost_ = carriesPostData; }
    void NavigationDone() noexcept { fromPost_ = pendingFromPost_; }
    bool FromPost() const noexcept { return fromPost_; }

    void Reload(ReloadTarget& target) const;

  private:
    bool pendingFromPost_ = false;
    bool fromPost_ = false;
};

}  // namespace autolabel::app::win32
