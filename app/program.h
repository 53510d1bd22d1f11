// Start and exit of the process, shared by both real windows.
#pragma once

#include <optional>
#include <string>

#include "app/window_services.h"
#include "page/browser_host/platform.h"

namespace autolabel::app {

// The start sequence, the message loop and the exit routine. `platform` must
// outlive the process's exit handlers (keep it static). Returns the loop's
// exit status.
int RunProgram(browser_host::Platform& platform, MainWindowHost& window,
               const std::string& startAddress);

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
