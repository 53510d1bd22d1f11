#include "app/commands.h"

#include <cmath>
#include <string>

namespace autolabel::app {

std::unique_ptr<automation::PageAutomation> page;
browser_host::WindowHandle browserWindow = 0;
std::int32_t lastSelectResult = 0;
WindowServices* mainWindow = nullptr;

namespace {

constexpr std::int32_t kNumberPassedOver = 2;
constexpr const char* kSubmitIdentifier = "2";

}  // namespace

void OnWindowCreated() {
    if (mainWindow) browserWindow = mainWindow->BrowserWindowHandle();
}

void SelectAll() {
    if (!page) return;
    std::int32_t n = 0;
    page->BindWindow(browserWindow);
    // Set only after binding: a command run inside the binding's walk must
    // not cut this loop short.
    lastSelectResult = 1;
    while (lastSelectResult == 1) {
        ++n;
        // Only number 2 is passed over, not every even number.
        if (std::fabs(static_cast<double>(n) / kNumberPassedOver - 1.0) < 1e-7) continue;
        lastSelectResult = page->SelectRadio(std::to_string(n), 0, false) ? 1 : 0;
        if (n == 1 && lastSelectResult == 0) RefreshPage();
    }
}

void Submit() {
    if (!page) return;
    page->BindWindow(browserWindow);
    page->ClickButton(kSubmitIdentifier, 0);
}

void SelectAllAndSubmit() {
    SelectAll();
    Submit();
}

void RefreshPage() {
    if (mainWindow) mainWindow->ReloadBrowser();
}

void AutoOn() {
    if (mainWindow) mainWindow->SetTimerPeriod(kAutoPeriodMs);
}

void AutoOff() {
    if (mainWindow) mainWindow->SetTimerPeriod(kTimerStoppedPeriodMs);
}

void OnTimerTick() {
    if (mainWindow) browserWindow = mainWindow->BrowserWindowHandle();
    SelectAll();
    Submit();
}

void DoNothing() {}

bool WorksOnThePage(Routine routine) {
    switch (routine) {
        case Routine::SelectAll:
        case Routine::Submit:
        case Routine::SelectAllAndSubmit:
        case Routine::OnTimerTick:
            return true;
        default:
            return false;
    }
}

void RunRoutine(Routine routine) {
    // A page on its way, or under a dialog, still shows the old document:
    // working on it would label and submit a page that was already sent.
    // A held tick is dropped; the automatic mode goes on with the next one.
    if (WorksOnThePage(routine) && mainWindow && !mainWindow->IsPageReady()) return;
    switch (routine) {
        case Routine::None:
            return;
        case Routine::DoNothing:
            return DoNothing();
        case Routine::OnWindowCreated:
            return OnWindowCreated();
        case Routine::SelectAll:
            return SelectAll();
        case Routine::Submit:
            return Submit();
        case Routine::SelectAllAndSubmit:
            return SelectAllAndSubmit();
        case Routine::RefreshPage:
            return RefreshPage();
        case Routine::AutoOn:
            return AutoOn();
        case Routine::AutoOff:
            return AutoOff();
        case Routine::OnTimerTick:
            return OnTimerTick();
    }
}

}  // namespace autolabel::app
