# Cross-compiling for 64-bit Windows with Debian's MinGW-w64. Build-time tools and test discovery
# run the Windows programs through Wine's 64-bit loader.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARVIK_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
