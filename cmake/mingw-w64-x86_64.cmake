# Cross-building the Qt-free parts for 64-bit Windows with Debian's mingw-w64
# (the POSIX-threads flavour, whose C++ runtime has std::thread and std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELLUM_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VELLUM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELLUM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELLUM_MINGW_PREFIX}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELLUM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# zlib linked in, not its DLL.
set(ZLIB_USE_STATIC_LIBS ON)

# One file to copy: the C and C++ runtimes and the thread library linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Windows 7: from there on the system knows the time-zone rules of past years.
add_compile_definitions(_WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)

# Test programs are run under Wine when ctest runs them from Linux.
find_program(VELLUM_WINE wine)
if(VELLUM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELLUM_WINE})
endif()
