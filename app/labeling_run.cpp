#include "app/labeling_run.h"

#include <cstdio>
#include <string_view>

namespace autolabel::app {

LabelingRun labeling;

namespace {

// The state line's words, all of them, in the window's language.
const char* WaitText(Wait why) {
    switch (why) {
        case Wait::Dialog:
            return "页面上有对话框，请先处理";
        case Wait::SentForm:
            return "等待论坛回应";
        case Wait::Loading:
            return "页面载入中";
        case Wait::Login:
            return "等待登录";
        case Wait::OtherSite:
            return "不是论坛的页面，等回到论坛";
        case Wait::SentBatch:
            return "这一批已经提交过，等新的一批";
        case Wait::BatchChanged:
            return "这一批在勾选时变了，没有提交";
        case Wait::None:
            break;
    }
    return "";
}

std::string Format(const char* format, long a, long b = 0, long c = 0) {
    char line[160];
    std::snprintf(line, sizeof line, format, a, b, c);
    return line;
}

// A forum that moves its pages from http to https (or back) is still the
// forum: the host and port decide.
bool SameSite(std::string_view site, std::string_view start) {
    const auto withoutScheme = [](std::string_view s) {
        for (std::string_view scheme : {"https://", "http://"})
            if (s.starts_with(scheme)) return s.substr(scheme.size());
        return s;
    };
    return site == start ||
           (!site.empty() && withoutScheme(site) != site && withoutScheme(start) != start &&
            withoutScheme(site) == withoutScheme(start));
}

long WholeSeconds(LabelingRun::Clock::duration duration) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(duration).count());
}

}  // namespace

Wait WaitFor(PageHold hold) {
    switch (hold) {
        case PageHold::Dialog:
            return Wait::Dialog;
        case PageHold::SentForm:
            return Wait::SentForm;
        case PageHold::Loading:
            return Wait::Loading;
        case PageHold::None:
            break;
    }
    return Wait::None;
}

Wait LabelingRun::Judge(const PageContent& page, const ShownDocument& document) const {
    if (page.asksForPassword) return Wait::Login;
    if (!startSite_.empty() && !SameSite(SiteOf(page.address), startSite_)) return Wait::OtherSite;
    if (page.batch == 0) return Wait::None;
    const auto sent = sent_.find(page.batch);
    if (sent == sent_.end()) return Wait::None;
    // Served afresh: a document from the server, committed after the one
    // the batch was sent from.
    const bool servedAgain = document.fromServer && document.number > sent->second.document;
    return servedAgain ? Wait::None : Wait::SentBatch;
}

void LabelingRun::Sent(std::uint64_t batch, const ShownDocument& document) {
    if (batch == 0) return;
    const auto [record, first] = sent_.try_emplace(batch);
    record->second.document = document.number;
    if (first) ++counts_.batchesSent;
}

void LabelingRun::CommandBegins(bool tick) {
    command_ = CommandRecord{};
    command_.at = clock_();
    if (tick) lastTick_ = command_.at;
}

void LabelingRun::Ticked(int count) {
    counts_.radiosTicked += count;
    command_.ticked = count;
}

void LabelingRun::Pressed(bool found) { command_.pressed = found; }

void LabelingRun::Reloaded() { command_.reloaded = true; }

void LabelingRun::Held(Wait why) {
    ++counts_.held;
    ++counts_.heldFor[why];
    command_.held = why;
}

void LabelingRun::AutoSwitched(int periodMs) {
    const bool wasOn = periodMs_ > 0;
    periodMs_ = periodMs > 0 ? periodMs : 0;
    if (periodMs_ > 0) {
        // A new period starts a new interval, as the windows' timers do.
        autoSince_ = lastTick_ = clock_();
        summaryDue_ = false;
    } else if (wasOn) {
        autoOffAt_ = clock_();
        summaryDue_ = true;
    }
}

std::string LabelingRun::CommandLine() const {
    if (command_.held != Wait::None) return WaitText(command_.held);
    const bool ticked = command_.ticked.has_value(), pressed = command_.pressed.has_value();
    if (ticked && pressed)
        return Format(*command_.pressed ? "全选并提交：勾选了 %ld 个，已提交"
                                        : "全选并提交：勾选了 %ld 个，页面上没有第二个按钮",
                      *command_.ticked);
    if (ticked)
        return *command_.ticked > 0 ? Format("全选：勾选了 %ld 个", *command_.ticked)
                                    : "全选：页面上没有单选按钮，已刷新";
    if (pressed) return *command_.pressed ? "提交：已按下提交按钮" : "提交：页面上没有第二个按钮";
    if (command_.reloaded) return "刷新：重新载入页面";
    return "";
}

std::string LabelingRun::StateLine(PageHold hold) {
    const Clock::time_point now = clock_();
    if (hold != seenHold_) {
        seenHold_ = hold;
        seenHoldSince_ = now;
    }
    std::string waiting;
    if (hold == PageHold::SentForm)
        waiting = Format("等待论坛回应（已等 %ld 秒）", WholeSeconds(now - seenHoldSince_));
    else if (hold != PageHold::None)
        waiting = WaitText(WaitFor(hold));
    if (periodMs_ > 0) {
        if (!waiting.empty()) return waiting;
        // The last pass waited on what the page is: it still does, until the next.
        if (command_.at >= lastTick_ && command_.held != Wait::None) return WaitText(command_.held);
        const auto next = lastTick_ + std::chrono::milliseconds(periodMs_) - now;
        const long seconds = std::max(0L, (WholeSeconds(next + std::chrono::milliseconds(999))));
        return Format("自动：下一轮 %ld 秒 · 已提交 %ld 批", seconds, counts_.batchesSent);
    }
    if (summaryDue_ && now - autoOffAt_ < kSummaryShown)
        return Format("自动已关闭 · 本次提交 %ld 批，勾选 %ld 个，等待 %ld 次", counts_.batchesSent,
                      counts_.radiosTicked, counts_.held);
    summaryDue_ = false;
    if (command_.at != Clock::time_point{} && now - command_.at < kCommandShown) {
        // While a command is held, the page's hold says why.
        if (command_.held != Wait::None && !waiting.empty()) return waiting;
        return CommandLine();
    }
    return "";
}

}  // namespace autolabel::app
