# What both MinGW-w64 toolchain files share; each sets TARVIK_MINGW_PREFIX and
# CMAKE_SYSTEM_PROCESSOR first. Debian's posix thread model, so that std::thread and std::mutex
# work.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TARVIK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVIK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVIK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVIK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime and winpthread are linked in, so that the outputs import only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
