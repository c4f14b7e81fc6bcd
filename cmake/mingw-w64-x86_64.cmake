# Cross build of a standalone Windows executable with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64-posix). Everything is linked statically, so the .exe
# needs no DLL beside it. Programs built here run under Wine for the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KOLM_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KOLM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOLM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KOLM_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KOLM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs the Windows programs through Wine, in a prefix of the build's
# own unless WINEPREFIX names one.
find_program(KOLM_WINE NAMES wine wine64)
get_property(kolm_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(KOLM_WINE AND NOT kolm_in_try_compile)
    set(KOLM_WINE_RUNNER ${CMAKE_BINARY_DIR}/wine-run.sh)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${KOLM_WINE_RUNNER} @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KOLM_WINE_RUNNER})
endif()
