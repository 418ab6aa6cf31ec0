# Cross-builds Windows programs on Linux with MinGW-w64 (64-bit, posix
# threads, which std::thread and std::mutex need), and runs them under Wine
# when a build step or ctest starts one:
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# Every program is one console-subsystem .exe (standard output for headless
# runs, Ctrl+C in its console) that needs no DLL beyond Windows' own:
# libgcc, libstdc++ and winpthread are linked in statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KIVET_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KIVET_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIVET_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KIVET_MINGW_PREFIX}-windres)

# Libraries and headers come from the MinGW-w64 tree alone; packages also
# from the prefixes given in CMAKE_PREFIX_PATH, such as an installed
# Windows build of KIVET.
set(CMAKE_FIND_ROOT_PATH /usr/${KIVET_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -mconsole")

find_program(KIVET_WINE wine)
if(KIVET_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KIVET_WINE})
endif()
