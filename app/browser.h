// A browser as both windows have one, written once over the few calls each
// engine provides: the owner's Delegate, the readiness of the page and its
// recheck, the reload that never sends a form again, the browser's keys.
// Each shell's WebBrowser derives from it and implements only the engine's
// side (the protected primitives); the main window and every window the
// page opens use one.
#pragma once

#include <string>

#include "app/browser_keys.h"
#include "app/navigation_watch.h"
#include "app/page_state.h"
#include "app/reload_decision.h"

namespace autolabel::app {

class Browser {
  public:
    // What a browser asks of the window that holds it.
    class Delegate {
      public:
        // The page asks for a window of its own: the browser of a new
        // window of the owner's (the same shell's kind), or null to refuse.
        virtual Browser* OpenNewWindow(Browser& opener) = 0;
        // The page closed its own window (window.close()).
        virtual void CloseWindow(Browser& browser) = 0;
        // F5, Ctrl+R or the page's menu: the owner's reload (the main
        // window's is 刷新; a page's window reloads its own page).
        virtual void ReloadRequested(Browser& browser) = 0;
        // IsPageReady() turned to `ready`.
        virtual void ReadinessChanged(Browser& browser, bool ready) = 0;
        // What a window of the page's own shows (the main window keeps its
        // own title and layout): the page's title changed, `title` being
        // PageWindowTitle of it and the page's address; the page asks for
        // its window's size (window.open's width and height, in the page's
        // pixels, 0 for a side it has not asked for), which the window
        // takes as PageWindowSizeFor says.
        virtual void TitleChanged(Browser& /*browser*/, const std::string& /*title*/) {}
        virtual void WindowSizeRequested(Browser& /*browser*/, int /*width*/, int /*height*/) {}

      protected:
        ~Delegate() = default;
    };

    // How often the readiness is read again while the page is not ready: a
    // dialog's end and a bound's end come with no event.
    static constexpr int kReadinessRecheckMs = 250;

    explicit Browser(Delegate& delegate) : delegate_(delegate) {}
    virtual ~Browser() = default;
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    Delegate& Owner() const noexcept { return delegate_; }

    // Reloads the page shown without sending a form again (DecideReload);
    // never under the page's dialog, whose answer the reload would cancel.
    void Reload();
    // Why the page may not be worked on now; None when it may.
    PageHold Hold();
    bool IsPageReady() { return Hold() == PageHold::None; }
    // Reads the readiness after whatever may have changed it, tells the
    // owner when it turned, and keeps reading it while the page is not ready.
    void CheckReadiness();
    // A key pressed in the browser's window: true when it was a browser's
    // key and has been acted on, unseen by the page. The shell fills the
    // key and its modifiers (and whether the focus is editable); whether a
    // load or a dialog is on is the browser's.
    bool HandleKey(KeyPress press);

    // The main frame committed a new document; `fromHistory`: brought back
    // by Back, Forward or the back/forward cache, not served afresh.
    void DocumentCommitted(bool fromHistory) noexcept {
        shown_ = {shown_.number + 1, !fromHistory};
    }
    const ShownDocument& Shown() const noexcept { return shown_; }
    // The tool pressed the page's control: held until the engine reports
    // what the press led to (NavigationWatch::Pressed).
    void Pressed() {
        navigation_.Pressed();
        CheckReadiness();
    }

    // The main frame's navigations as the readiness rule sees them; the
    // shell's engine events feed it.
    NavigationWatch& Navigation() noexcept { return navigation_; }
    const NavigationWatch& Navigation() const noexcept { return navigation_; }

  protected:
    // The engine's side.
    // How the page shown came to be there.
    virtual ShownPage PageShown() = 0;
    // Whether the engine takes a reload now; false when it has put it off
    // (and makes it itself later). It may prepare the engine first.
    virtual bool BeginReload() { return true; }
    // A reload from the server; false when the engine refused it.
    virtual bool ReloadFromServer() = 0;
    // A new top-level request for `address` (a GET); false when refused.
    virtual bool NavigateTo(const std::string& address) = 0;
    // The tool's reload has been asked of the engine (`kind` as decided):
    // the engine's loads hold the commands from now.
    virtual void ReloadStarted(ReloadDecision::Kind kind) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void StopLoading() = 0;
    // The page's zoom, 1 for the page as the system shows it.
    virtual double ZoomLevel() = 0;
    virtual void SetZoomLevel(double level) = 0;
    // A dialog of the page, modal UI of the control, a menu's loop.
    virtual bool ShowsDialog() = 0;
    // Whether the main frame has a load on its way (for Escape).
    virtual bool IsLoading() = 0;
    // What the engine learns only by asking (a refresh that raises no
    // events); read before every readiness answer.
    virtual void FollowLoads() {}
    // Calls CheckReadiness every kReadinessRecheckMs while on.
    virtual void SetReadinessRecheck(bool on) = 0;

    // The engine's view is going: nothing more is told to the owner, and
    // the shell has stopped its recheck (a new view starts afresh).
    void ForgetReadiness() noexcept {
        ready_ = true;
        rechecking_ = false;
    }
    // Carries out a browser's action, as its key does (the shell's menu for
    // the page offers some of them).
    void Run(BrowserAction action);

  private:
    Delegate& delegate_;
    NavigationWatch navigation_;
    ShownDocument shown_;
    bool ready_ = true;  // as the owner was last told
    bool rechecking_ = false;
};

// The size of a window the page opens: the page's wish where it is
// sensible, an ordinary browser's size otherwise; and its title: the
// page's, else its address.
struct PageWindowSize {
    int width = 0, height = 0;
    bool operator==(const PageWindowSize&) const = default;
};
PageWindowSize PageWindowSizeFor(int requestedWidth, int requestedHeight);
std::string PageWindowTitle(const std::string& pageTitle, const std::string& address);

}  // namespace autolabel::app
