#include "app/program.h"

#include <cfenv>
#include <cstdlib>

#include "app/commands.h"
#include "app/labeling_run.h"

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
    labeling.SetStartAddress(startAddress);
    window.CreateMainWindow(MainWindowDefinition(), startAddress);
    int status = window.RunMessageLoop();
    // No command runs once the loop has ended.
    mainWindow = nullptr;
    ExitRoutine();
    return status;
}

std::optional<CommandLine> ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    if (argc <= 1) return line;
    if (argc > 2) return std::nullopt;
    std::string_view argument = argv[1];
    if (argument.empty() || argument.front() == '-') return std::nullopt;
    line.startAddress = std::string(argument);
    return line;
}

bool NamesAForum(std::string_view forumHost) {
    // An address in brackets is an IPv6 literal; otherwise a port follows
    // the last colon.
    if (forumHost.starts_with('[')) return forumHost.size() > 2;
    std::string name(forumHost.substr(0, forumHost.rfind(':')));
    if (name.ends_with('.')) name.pop_back();  // the root, written out
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return !name.empty() && name != "invalid" && !name.ends_with(".invalid");
}

std::string StartAddress(const CommandLine& line, std::string_view noForumPage,
                         std::string_view forumHost, std::string_view moderationPage) {
    if (!line.startAddress.empty()) return line.startAddress;
    return std::string(NamesAForum(forumHost) ? moderationPage : noForumPage);
}

std::string UsageText(const char* programName, std::string_view forumHost,
                      std::string_view moderationPage) {
    const std::string name = programName ? programName : "autolabel";
    std::string text = "usage: " + name + " [start-address]\n";
    if (NamesAForum(forumHost))
        return text +
               "Shows the forum's moderation page with the labeling buttons below it, at\n"
               "start-address when given, else at " +
               std::string(moderationPage) + ".\n";
    return text +
           "Shows the forum's moderation page with the labeling buttons below it.\n"
           "This copy was built without the forum's address: start it as\n"
           "  " +
           name +
           " http://HOST/cuseraudit/browser\n"
           "(HOST: the forum's host), or use a package made for the forum.\n";
}

}  // namespace autolabel::app
