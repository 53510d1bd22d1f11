#include "app/win32/windows_program.h"

#include "support/win32/ole_initialization.h"

namespace autolabel::app::win32 {

int RunWindowsProgram(browser_host::Platform& platform, ProgramWindow& window,
                      const std::string& startAddress) {
    // Before the page automation object opens COM's apartment on the thread.
    const support::win32::OleInitialization ole;
    return app::RunProgram(platform, window, startAddress);
}

}  // namespace autolabel::app::win32
