#include "tests/support/scripted_main_window.h"

namespace autolabel::tests {

void ScriptedMainWindow::BuildBrowser(BrowserLayout layout) {
    if (browserControl) return;
    BrowserWindows windows = CreateBrowserWindows(platform_, layout);
    browserControl = windows.control;
    documentWindow = windows.documentWindow;
    if (shownDocument) platform_.SetDocument(documentWindow, shownDocument);
}

void ScriptedMainWindow::ShowPage(std::shared_ptr<ScriptedDocument> document) {
    shownDocument = std::move(document);
    if (documentWindow) platform_.SetDocument(documentWindow, shownDocument);
}

void ScriptedMainWindow::SetReloadPages(std::vector<std::shared_ptr<ScriptedDocument>> pages) {
    reloadPages_ = std::move(pages);
}

void ScriptedMainWindow::Click(std::string_view controlName) {
    const app::ControlDefinition* control = app::FindControl(controlName);
    if (control && control->event == app::ControlEvent::Click) app::RunRoutine(control->routine);
}

void ScriptedMainWindow::AdvanceTime(int milliseconds) {
    long until = now_ + milliseconds;
    while (timerPeriod > 0 && nextTick_ <= until) {
        now_ = nextTick_;
        nextTick_ += timerPeriod;
        ++ticks;
        app::RunRoutine(app::FindControl("时钟1")->routine);
    }
    now_ = until;
}

void ScriptedMainWindow::Close() { closed_ = true; }

void ScriptedMainWindow::SetTimerPeriod(int milliseconds) {
    // A new period restarts the interval, as a system timer does.
    timerPeriod = milliseconds;
    nextTick_ = now_ + milliseconds;
}

void ScriptedMainWindow::ReloadBrowser() {
    ++reloads;
    if (!reloadPages_.empty()) {
        ShowPage(reloadPages_.front());
        if (reloadPages_.size() > 1) reloadPages_.erase(reloadPages_.begin());
    }
}

void ScriptedMainWindow::CreateMainWindow(const app::WindowDefinition& definition,
                                          const std::string& address) {
    startAddress = address;
    BuildBrowser();
    created = true;
    app::RunRoutine(definition.routine);
}

int ScriptedMainWindow::RunMessageLoop() {
    for (const Step& step : session_) {
        if (closed_) break;
        step(*this);
    }
    return 0;
}

}  // namespace autolabel::tests
