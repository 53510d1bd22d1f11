// Start and exit of the process, shared by both real windows.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/window_services.h"
#include "page/browser_host/platform.h"
#include "page/page_automation.h"

namespace autolabel::app {

// Creates the one page automation object; a window may bring its own kind.
using PageFactory =
    std::unique_ptr<automation::PageAutomation> (*)(browser_host::Platform& platform);

// The start sequence, the message loop and the exit routine. `platform` must
// outlive the process's exit handlers (keep it static). Returns the loop's
// exit status. Without a factory `page` is a plain PageAutomation.
int RunProgram(browser_host::Platform& platform, ProgramWindow& window,
               const std::string& startAddress, PageFactory makePage = nullptr);

// Destroys `page` if it still exists. Runs when the loop ends and, as a
// safety net, at process exit; the second run finds nothing to do.
void ExitRoutine();

// The one optional argument: a start address overriding the built-in one.
struct CommandLine {
    std::string startAddress;
};
// nullopt for anything but zero or one argument; the caller prints UsageText
// to standard error and exits with status 2.
std::optional<CommandLine> ParseCommandLine(int argc, const char* const* argv);
std::string UsageText(const char* programName);

}  // namespace autolabel::app
