# Cross-builds the Windows program with Debian's mingw-w64 (x86_64). The
# -posix compilers give std::thread and std::mutex; static linking lets the
# program run without the compiler's DLLs, on Windows and under Wine alike.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Libraries cross-built for this build (scripts/build-windows-libxml2.sh puts a
# static libxml2 there), searched like the mingw root.
set(AUTOLABEL_WINDOWS_DEPS "" CACHE PATH "Prefixes of cross-built libraries")
if(AUTOLABEL_WINDOWS_DEPS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${AUTOLABEL_WINDOWS_DEPS})
    # A static libxml2: its headers must not ask for DLL imports.
    add_compile_definitions(LIBXML_STATIC)
endif()

# Tests run through Wine. The 64-bit loader is /usr/lib/wine/wine64 on Debian;
# `wine` picks it for a 64-bit program too.
find_program(AUTOLABEL_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(AUTOLABEL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${AUTOLABEL_WINE})
endif()
