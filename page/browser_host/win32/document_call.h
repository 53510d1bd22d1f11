// Whether a call into the page's document is under way on this thread. A page
// may run a modal message loop inside one (an alert or confirm from a click,
// a prompt of the control), where the window's own messages keep arriving.
#pragma once

namespace autolabel::browser_host::win32 {

class DocumentCallScope {
  public:
    DocumentCallScope() noexcept { ++depth_; }
    ~DocumentCallScope() { --depth_; }
    DocumentCallScope(const DocumentCallScope&) = delete;
    DocumentCallScope& operator=(const DocumentCallScope&) = delete;

    static bool InProgress() noexcept { return depth_ > 0; }

  private:
    static inline thread_local int depth_ = 0;
};

}  // namespace autolabel::browser_host::win32
