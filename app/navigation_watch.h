// How long a navigation of the main frame holds the page's commands. While
// the browser fetches the next page it keeps showing the old document, so a
// command then would label and submit a page that has already been sent.
//
// A navigation that submits a form holds them until the engine commits the
// new document, however long the forum takes: the page shown has been sent,
// and working on it again would send it twice and cancel the answer on its
// way; a navigation that replaces it (the tool's reload, a link, a script)
// keeps that hold until its own document is committed. Any other navigation
// holds them for the bound from its start. The tool's press of the page's
// control holds them from the press itself until the engine reports what
// it led to, within a short bound (a press that leads nowhere). Once a new
// document is committed the bound counts from the commit, so a page that
// hangs on some resource is still labelled; 刷新 is never held and restarts
// the page.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace autolabel::app {

class NavigationWatch {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kBound{30};
    static constexpr std::chrono::seconds kPressBound{2};

    enum class Kind { Other, FormSubmission };

    // The clock is a parameter so that the bound can be tested on a virtual one.
    explicit NavigationWatch(std::function<Clock::time_point()> clock = &Clock::now)
        : clock_(std::move(clock)) {}

    void SetClock(std::function<Clock::time_point()> clock) { clock_ = std::move(clock); }

    // The tool pressed the page's control.
    void Pressed() { pressed_ = clock_(); }
    // A navigation of the main frame started. One that starts while another
    // is on its way replaces it and takes the hold over: a form's, or one
    // replacing a form's, keeps it without a bound; any other continues the
    // bound of the one before (a click during a load, a page that keeps
    // navigating is still worked on after the bound), or starts it where
    // that one had none.
    void Started(Kind kind = Kind::Other) {
        pressed_.reset();
        const bool bounded = since_ && !untilCommitted_;
        if (!bounded) since_ = clock_();
        untilCommitted_ = untilCommitted_ || kind == Kind::FormSubmission;
    }
    // The engine committed the new document: the bound counts from now.
    void Committed() {
        pressed_.reset();
        if (!since_) return;
        since_ = clock_();
        untilCommitted_ = false;
    }
    // The new document finished loading, or the navigation failed or stopped.
    void Ended() {
        pressed_.reset();
        since_.reset();
        untilCommitted_ = false;
    }

    // True while a form's navigation waits for its document, or another
    // navigation or the new document's load is on its way within the bound.
    bool Holds() const {
        return WaitsForPress() || (since_ && (untilCommitted_ || clock_() - *since_ < kBound));
    }
    // Whether the tool's press, not yet followed by any navigation's event,
    // holds the commands.
    bool WaitsForPress() const { return pressed_ && clock_() - *pressed_ < kPressBound; }
    // Whether a form's navigation, not yet committed, holds the commands.
    bool WaitsForSentForm() const { return since_ && untilCommitted_; }
    // Whether a navigation is on its way, held or past its bound.
    bool OnItsWay() const { return since_.has_value(); }

  private:
    std::function<Clock::time_point()> clock_;
    std::optional<Clock::time_point> since_;
    std::optional<Clock::time_point> pressed_;
    bool untilCommitted_ = false;
};

}  // namespace autolabel::app
