# Cross-compiling for 32-bit Windows with Debian's MinGW-w64. The entry points are exported
# undecorated (a .def file lists their plain names, the 32-bit compiler decorates stdcall
# functions as Name@N): --enable-stdcall-fixup links the one to the other without a warning.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARVIK_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,--enable-stdcall-fixup")
string(APPEND CMAKE_MODULE_LINKER_FLAGS_INIT " -Wl,--enable-stdcall-fixup")

# Wine's 32-bit loader (Debian's wine32) runs the build-time tools and the tests. Without it the
# build takes the type library generator from the build machine (TARVIK_TYPE_LIBRARY_GENERATOR).
if(EXISTS /usr/lib/wine/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
endif()
