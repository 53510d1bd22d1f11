// The shell's globals and the routines bound to the window's events. Every
// routine runs on the window thread, takes nothing and returns nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "app/window_definition.h"
#include "app/window_services.h"
#include "page/page_automation.h"

namespace autolabel::app {

// The one page automation object of the process.
extern std::unique_ptr<automation::PageAutomation> page;
// The browser control's native window, as last read.
extern browser_host::WindowHandle browserWindow;
// 1 when the latest SelectRadio of SelectAll found a radio button, else 0.
extern std::int32_t lastSelectResult;
// The open window's services; set by RunProgram while the window exists.
extern WindowServices* mainWindow;

void OnWindowCreated();
void SelectAll();
void Submit();
void SelectAllAndSubmit();
void RefreshPage();
void AutoOn();
void AutoOff();
void OnTimerTick();
void DoNothing();

// Runs the routine an event is bound to (Routine::None does nothing). A
// routine that works on the page (a tick, 全选, 提交, 全选并提交) does
// nothing while the window says the page is not ready, as under a modal
// dialog whose owner takes no input; the switches and 刷新 always run.
void RunRoutine(Routine routine);
// Whether RunRoutine holds this routine while the page is not ready.
bool WorksOnThePage(Routine routine);

}  // namespace autolabel::app
