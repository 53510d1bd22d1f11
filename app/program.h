// Start and exit of the process, shared by both real windows.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/window_definition.h"
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
    std::string startAddress;  // empty when none was given
};
// nullopt for anything but zero or one argument; the caller prints UsageText
// to standard error and exits with status 2.
std::optional<CommandLine> ParseCommandLine(int argc, const char* const* argv);

// Whether a build's forum host names a forum. The placeholder forum.invalid
// does not: no name under the reserved top-level name "invalid" resolves.
bool NamesAForum(std::string_view forumHost);

// The address the browser opens at start: the one given on the command line;
// else the moderation page on the forum the program was built for; else,
// built without a forum's host, `noForumPage`, the tool's own page that says
// how to give it one.
std::string StartAddress(const CommandLine& line, std::string_view noForumPage,
                         std::string_view forumHost = ForumHost(),
                         std::string_view moderationPage = DefaultStartAddress());

std::string UsageText(const char* programName, std::string_view forumHost = ForumHost(),
                      std::string_view moderationPage = DefaultStartAddress());

}  // namespace autolabel::app
