# Cross-compiling the Windows edition with Debian's mingw-w64 (64 bits, the
# posix thread model: std::thread and std::mutex need it). Everything is
# linked statically, so the programs import only Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZEL_MINGW_HOST x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ZEL_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEL_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEL_MINGW_HOST}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZEL_MINGW_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Windows 10's API (LCMapStringEx, per-monitor DPI awareness...).
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
# -O2, as the Linux edition (GCC 12 at -O3 warns falsely of overlapping
# copies in std::string's operator+).
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
