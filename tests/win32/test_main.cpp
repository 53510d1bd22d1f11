// The tests' main: a single-threaded apartment with OLE, as on the program's
// window thread.
#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const bool ole = SUCCEEDED(::OleInitialize(nullptr));
    const int status = RUN_ALL_TESTS();
    if (ole) ::OleUninitialize();
    return status;
}
