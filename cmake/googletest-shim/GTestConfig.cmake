# Found: the targets come from cmake/mingw-googletest.cmake.
if(NOT TARGET GTest::gtest)
    message(FATAL_ERROR "include cmake/mingw-googletest.cmake before find_package(GTest)")
endif()
set(GTest_FOUND TRUE)
