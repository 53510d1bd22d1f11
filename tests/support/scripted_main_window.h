// MainWindow in memory: the window tree of an embedded browser in the
// scripted platform, a virtual clock for the timer, and a user session
// played by the message loop.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/window_services.h"
#include "page/browser_host/scripted/scripted_platform.h"
#include "tests/support/browser_windows.h"

namespace autolabel::tests {

using WindowHandle = browser_host::WindowHandle;
using ScriptedDocument = browser_host::scripted::ScriptedDocument;
using ScriptedPlatform = browser_host::scripted::ScriptedPlatform;

class ScriptedMainWindow : public app::ProgramWindow {
  public:
    explicit ScriptedMainWindow(ScriptedPlatform& platform) : platform_(platform) {}

    // Builds the browser's window tree now, so tests can bind without a loop;
    // again after clearing browserControl, a new browser control.
    void BuildBrowser(BrowserLayout layout = BrowserLayout::SingleChildren);
    // Shows this page in the document window; a reload shows the next page
    // given by pages (or the same one again).
    void ShowPage(std::shared_ptr<ScriptedDocument> document);
    void SetReloadPages(std::vector<std::shared_ptr<ScriptedDocument>> pages);

    // A user action in the loop, in order.
    void Click(std::string_view controlName);
    void AdvanceTime(int milliseconds);  // fires due ticks
    void Close();
    // The virtual clock, in milliseconds since the window was made.
    long Now() const { return now_; }
    using Step = std::function<void(ScriptedMainWindow&)>;
    void SetSession(std::vector<Step> steps) { session_ = std::move(steps); }

    // Observations.
    int reloads = 0;
    int presses = 0;       // PagePressed
    int timerPeriod = -1;  // -1: never set
    int ticks = 0;
    bool created = false;
    std::string startAddress;
    WindowHandle browserControl = 0;
    WindowHandle documentWindow = 0;
    std::shared_ptr<ScriptedDocument> shownDocument;
    // What PageHoldNow and Document answer: a test sets them as the page's
    // state changes.
    app::PageHold pageHold = app::PageHold::None;
    app::ShownDocument document;

    // ProgramWindow
    WindowHandle BrowserWindowHandle() override { return browserControl; }
    void SetTimerPeriod(int milliseconds) override;
    void ReloadBrowser() override;
    app::PageHold PageHoldNow() override { return pageHold; }
    app::ShownDocument Document() override { return document; }
    void PagePressed() override { ++presses; }
    void CreateMainWindow(const app::WindowDefinition& definition,
                          const std::string& address) override;
    int RunMessageLoop() override;

  private:
    ScriptedPlatform& platform_;
    std::vector<Step> session_;
    std::vector<std::shared_ptr<ScriptedDocument>> reloadPages_;
    long now_ = 0;
    long nextTick_ = 0;
    bool closed_ = false;
};

}  // namespace autolabel::tests
