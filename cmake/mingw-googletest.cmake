# GoogleTest for the Windows build: Debian's sources (package googletest),
# compiled with the cross compiler, since there is no mingw build of it.
set(AUTOLABEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${AUTOLABEL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest names its targets GTest::gtest and GTest::gtest_main; the shim
# lets the tests' find_package(GTest) take these instead of searching.
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/googletest-shim CACHE PATH "" FORCE)
