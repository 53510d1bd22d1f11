// The Windows program's run: OLE first, then the start sequence, the
// message loop and the exit routine, then OLE again.
#pragma once

#include <string>

#include "app/program.h"

namespace autolabel::app::win32 {

int RunWindowsProgram(browser_host::Platform& platform, ProgramWindow& window,
                      const std::string& startAddress);

}  // namespace autolabel::app::win32
