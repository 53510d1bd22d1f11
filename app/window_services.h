// What a real window offers the toolkit-free shell.
#pragma once

#include <string>

#include "app/page_state.h"
#include "app/window_definition.h"
#include "page/browser_host/platform.h"

namespace autolabel::app {

// The services the labeling commands use.
class WindowServices {
  public:
    virtual ~WindowServices() = default;
    // The native window of the browser control 超文本浏览框1, 0 if none.
    virtual browser_host::WindowHandle BrowserWindowHandle() = 0;
    // Period of the timer 时钟1 in milliseconds; 0 stops it.
    virtual void SetTimerPeriod(int milliseconds) = 0;
    // Reloads whatever page the browser shows now.
    virtual void ReloadBrowser() = 0;
    // Why the page may not be worked on now (None: it may): a navigation of
    // the main frame on its way (within its bound), a dialog of the page,
    // modal UI of the browser control. Each platform answers from what it
    // reports.
    virtual PageHold PageHoldNow() = 0;
    bool IsPageReady() { return PageHoldNow() == PageHold::None; }
    // The document the browser shows now.
    virtual ShownDocument Document() = 0;
    // A command has just pressed the page's control: the page is held from
    // now until the browser reports what the press led to (briefly, where
    // it leads nowhere).
    virtual void PagePressed() = 0;
};

// A platform's MainWindow: built from the definition, run by RunProgram.
class ProgramWindow : public WindowServices {
  public:
    // Creates and shows the window and its controls, the browser loading
    // startAddress, then runs the window's created event (OnWindowCreated)
    // through RunRoutine once the controls exist.
    virtual void CreateMainWindow(const WindowDefinition& definition,
                                  const std::string& startAddress) = 0;
    // Runs until the window is closed; returns the process exit status.
    virtual int RunMessageLoop() = 0;
};

}  // namespace autolabel::app
