// How long a navigation of the main frame holds the page's commands. While
// the browser fetches the next page it keeps showing the old document, so a
// command then would label and submit a page that has already been sent.
// A load that hangs on some resource must not hold them for ever: after the
// bound the commands run as usual, and 刷新 restarts the page.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace autolabel::app {

class NavigationWatch {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kBound{30};

    // The clock is a parameter so that the bound can be tested on a virtual one.
    explicit NavigationWatch(std::function<Clock::time_point()> clock = &Clock::now)
        : clock_(std::move(clock)) {}

    void SetClock(std::function<Clock::time_point()> clock) { clock_ = std::move(clock); }

    // A navigation of the main frame started. One that starts while another
    // is on its way (a redirect, a click during a load) continues the same
    // wait: the bound counts from the first start, so a page that keeps
    // navigating is still worked on.
    void Started() {
        if (!since_) since_ = clock_();
    }
    // The new document finished loading, or the navigation failed or stopped.
    void Ended() { since_.reset(); }

    // True while a navigation started less than the bound ago is on its way.
    bool Holds() const { return since_ && clock_() - *since_ < kBound; }

  private:
    std::function<Clock::time_point()> clock_;
    std::optional<Clock::time_point> since_;
};

}  // namespace autolabel::app
