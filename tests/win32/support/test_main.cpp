// The tests' main: a single-threaded apartment with OLE, as on the program's
// window thread.
#include <windows.h>
#include <gtest/gtest.h>

#include "support/win32/ole_initialization.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const autolabel::support::win32::OleInitialization ole;
    return RUN_ALL_TESTS();
}
