// The run's own memory, for the life of the process only (the tool stores
// nothing): which batches the tool has sent, why the automatic mode waits,
// the run's counts, and what the last command did, for the state line.
//
// The automatic mode judges a page by what it is, not by the browser's
// events around it: it does not tick or press
// - a login page (a password field shown): a post of it would be a failed
//   login, and the forum locks the account after a few; a reload would
//   wipe what the user types;
// - another site's page than the one the program started on (a sign-on
//   page, a page the user browsed to);
// - a batch it has sent, until the forum serves that batch again afresh:
//   in a document committed from the server after the one it was sent
//   from. A page brought back by history, the same document changed by its
//   own script, or the old page while the answer is on its way, is the
//   batch already sent; the forum serving it again (its post refused, or
//   lost) asks for it again.
// It waits there, and goes on by itself when a page to label shows.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/page_content.h"
#include "app/page_state.h"

namespace autolabel::app {

// Why a command or a pass did nothing.
enum class Wait {
    None,
    Dialog,        // the page's dialog, modal UI, a menu
    SentForm,      // a sent form's answer is on its way
    Loading,       // a page on its way
    Login,         // a login page
    OtherSite,     // another site's page
    SentBatch,     // a batch already sent, shown again without being served afresh
    BatchChanged,  // the page's batch changed between the pass's ticks and its press
};

Wait WaitFor(PageHold hold);

class LabelingRun {
  public:
    using Clock = std::chrono::steady_clock;

    explicit LabelingRun(std::function<Clock::time_point()> clock = &Clock::now)
        : clock_(std::move(clock)) {}
    void SetClock(std::function<Clock::time_point()> clock) { clock_ = std::move(clock); }
    Clock::time_point Now() const { return clock_(); }

    // The site the program started on; a page of another is not worked on
    // by the automatic mode. "" (not known): any site.
    void SetStartAddress(const std::string& address) { startSite_ = SiteOf(address); }

    // What the automatic mode does with the page shown: None to work on it.
    Wait Judge(const PageContent& page, const ShownDocument& document) const;

    // The tool pressed the page's control on `batch` (0: nothing to label),
    // shown in `document`.
    void Sent(std::uint64_t batch, const ShownDocument& document);
    // A command of the window (a button, a key, a tick of the automatic
    // mode) begins: what it does is shown for a while after.
    void CommandBegins(bool tick);
    // 全选 ticked `count` radio buttons (0: none found, the page reloaded).
    void Ticked(int count);
    // 提交 pressed the page's control, or found none.
    void Pressed(bool found);
    // 刷新.
    void Reloaded();
    // A pass or a command was held for `why`.
    void Held(Wait why);

    // The automatic mode was switched on (period > 0) or off.
    void AutoSwitched(int periodMs);

    struct Counts {
        int batchesSent = 0;  // each batch once, when its form was sent
        int radiosTicked = 0;
        int held = 0;  // passes and commands held, for any reason
        std::map<Wait, int> heldFor;
    };
    const Counts& counts() const noexcept { return counts_; }

    // What the state line says now, given why the page holds its commands
    // this moment; "" when there is nothing to say (idle, mode off).
    std::string StateLine(PageHold hold);
    // How long the line shows what a command did, and the run's counts
    // after 关闭自动.
    static constexpr std::chrono::seconds kCommandShown{4}, kSummaryShown{8};

    // Forgets everything: a new run.
    void Reset() { *this = LabelingRun(clock_); }

  private:
    struct SentBatchRecord {
        std::uint64_t document = 0;  // the number of the document it was sent from
    };

    // What the command last begun did.
    struct CommandRecord {
        std::optional<int> ticked;
        std::optional<bool> pressed;
        bool reloaded = false;
        Wait held = Wait::None;
        Clock::time_point at{};
    };
    std::string CommandLine() const;

    std::function<Clock::time_point()> clock_;
    std::string startSite_;
    std::map<std::uint64_t, SentBatchRecord> sent_;
    Counts counts_;
    int periodMs_ = 0;
    Clock::time_point autoSince_{}, lastTick_{}, autoOffAt_{};
    bool summaryDue_ = false;
    CommandRecord command_;
    // The page's hold as last seen, and since when.
    PageHold seenHold_ = PageHold::None;
    Clock::time_point seenHoldSince_{};
};

// The one run of the process.
extern LabelingRun labeling;

}  // namespace autolabel::app
