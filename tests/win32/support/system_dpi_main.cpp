// The main of the tests at a raised system DPI: without arguments of its
// own it runs the tests that start processes at that DPI; with
// --scaled-dpi=N it is such a process, and runs the checks made inside it.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/win32/ole_initialization.h"

namespace autolabel::tests::win32 {
extern int expectedDpi;
}

int main(int argc, char** argv) {
    GTEST_FLAG_SET(filter, "-InScaledProcess.*");
    ::testing::InitGoogleTest(&argc, argv);
    constexpr char kScaled[] = "--scaled-dpi=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kScaled, sizeof kScaled - 1) != 0) continue;
        autolabel::tests::win32::expectedDpi = std::atoi(argv[i] + sizeof kScaled - 1);
        GTEST_FLAG_SET(filter, "InScaledProcess.*");
    }
    const autolabel::support::win32::OleInitialization ole;
    return RUN_ALL_TESTS();
}
