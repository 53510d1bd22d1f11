#include "app/commands.h"

#include <cmath>
#include <optional>
#include <string>

#include "app/labeling_run.h"
#include "app/page_content.h"

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

namespace {

// SelectAll's loop, on the document the binding took: ticks 1, 3, 4, 5, …
// until a number is not found; reloads when not even 1 is.
void TickRadios() {
    std::int32_t n = 0;
    int ticked = 0;
    // Set only after binding: a command run inside the binding's walk must
    // not cut this loop short.
    lastSelectResult = 1;
    while (lastSelectResult == 1) {
        ++n;
        // Only number 2 is passed over, not every even number.
        if (std::fabs(static_cast<double>(n) / kNumberPassedOver - 1.0) < 1e-7) continue;
        lastSelectResult = page->SelectRadio(std::to_string(n), 0, false) ? 1 : 0;
        ticked += lastSelectResult;
        if (n == 1 && lastSelectResult == 0) RefreshPage();
    }
    labeling.Ticked(ticked);
}

ShownDocument DocumentShown() { return mainWindow ? mainWindow->Document() : ShownDocument{}; }

// Submit, and in a pass only while the page still shows the batch the pass
// ticked: a page that sends by script may put the next batch in place
// meanwhile, whose posts would go out unlabelled.
void PressSubmit(std::optional<std::uint64_t> tickedBatch) {
    page->BindWindow(browserWindow);
    const std::uint64_t batch = ReadPageContent(page->pageDocument).batch;
    if (tickedBatch && batch != *tickedBatch) return labeling.Held(Wait::BatchChanged);
    // The document it is sent from, before the press may replace it.
    const ShownDocument from = DocumentShown();
    const bool pressed = page->ClickButton(kSubmitIdentifier, 0);
    labeling.Pressed(pressed);
    // Remembered whatever the page does with it: sent by a navigation or by
    // its script, this batch has gone to the forum.
    if (!pressed) return;
    labeling.Sent(batch, from);
    if (mainWindow) mainWindow->PagePressed();
}

}  // namespace

void SelectAll() {
    if (!page) return;
    page->BindWindow(browserWindow);
    TickRadios();
}

void Submit() {
    if (!page) return;
    PressSubmit(std::nullopt);
}

void SelectAllAndSubmit() {
    SelectAll();
    Submit();
}

void RefreshPage() {
    labeling.Reloaded();
    if (mainWindow) mainWindow->ReloadBrowser();
}

void AutoOn() {
    if (mainWindow) mainWindow->SetTimerPeriod(kAutoPeriodMs);
    labeling.AutoSwitched(kAutoPeriodMs);
}

void AutoOff() {
    if (mainWindow) mainWindow->SetTimerPeriod(kTimerStoppedPeriodMs);
    labeling.AutoSwitched(kTimerStoppedPeriodMs);
}

// A pass binds twice, as 全选 then 提交 would, and looks at what the page
// is in between the first binding and the first tick: a login page,
// another site's page, or a batch it has sent makes it wait, untouched.
void OnTimerTick() {
    if (mainWindow) browserWindow = mainWindow->BrowserWindowHandle();
    if (!page) return;
    page->BindWindow(browserWindow);
    const PageContent content = ReadPageContent(page->pageDocument);
    if (const Wait why = labeling.Judge(content, DocumentShown()); why != Wait::None)
        return labeling.Held(why);
    TickRadios();
    PressSubmit(content.batch);
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
    if (routine != Routine::None && routine != Routine::DoNothing &&
        routine != Routine::OnWindowCreated)
        labeling.CommandBegins(routine == Routine::OnTimerTick);
    if (WorksOnThePage(routine) && mainWindow) {
        if (const PageHold hold = mainWindow->PageHoldNow(); hold != PageHold::None)
            return labeling.Held(WaitFor(hold));
    }
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
