#include "app/program.h"

#include <cfenv>
#include <cstdlib>

#include "app/commands.h"

namespace autolabel::app {

namespace {

void StartHook() {}

void ExitAtProcessEnd() { ExitRoutine(); }

void ArrangeExitRoutine() {
    static const bool arranged = std::atexit(ExitAtProcessEnd) == 0;
    (void)arranged;
}

}  // namespace

void ExitRoutine() {
    // Reset before the destructor runs, so nothing reaches a dying object.
    std::unique_ptr<automation::PageAutomation> dying = std::move(page);
}

int RunProgram(browser_host::Platform& platform, ProgramWindow& window,
               const std::string& startAddress, PageFactory makePage) {
    // Round to nearest, every floating-point exception masked.
    std::fesetenv(FE_DFL_ENV);
    page = makePage ? makePage(platform) : std::make_unique<automation::PageAutomation>(platform);
    ArrangeExitRoutine();
    StartHook();
    mainWindow = &window;
    window.CreateMainWindow(MainWindowDefinition(), startAddress);
    int status = window.RunMessageLoop();
    // No command runs once the loop has ended.
    mainWindow = nullptr;
    ExitRoutine();
    return status;
}

std::optional<CommandLine> ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line{std::string(DefaultStartAddress())};
    if (argc <= 1) return line;
    if (argc > 2) return std::nullopt;
    std::string_view argument = argv[1];
    if (argument.empty() || argument.front() == '-') return std::nullopt;
    line.startAddress = std::string(argument);
    return line;
}

std::string UsageText(const char* programName) {
    return std::string("usage: ") + (programName ? programName : "autolabel") +
           " [start-address]\n"
           "Shows the moderation page (default " +
           std::string(DefaultStartAddress()) + ") with the labeling buttons below it.\n";
}

}  // namespace autolabel::app
