# The TarvikFtp type library and the slots of its dual interfaces, generated from the one type
# table at build time:
#   type_library_generator (a Windows program, run through CMAKE_CROSSCOMPILING_EMULATOR, or the
#       build machine's own TARVIK_TYPE_LIBRARY_GENERATOR) -> tarvikftp.idl, dual_slots.cpp
#   widl -> tarvikftp.tlb, and tarvikftp.h (the C/C++ header of early-bound clients)
#   windres -> the resource object embedding the .tlb as TYPELIB 1
# Sets TARVIK_DUAL_SLOTS, TARVIK_TYPE_LIBRARY_RESOURCE and TARVIK_TYPE_LIBRARY_HEADER_DIR.
find_program(TARVIK_WIDL NAMES ${TARVIK_MINGW_PREFIX}-widl x86_64-w64-mingw32-widl widl REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(widl_target --win32)
else()
  set(widl_target --win64)
endif()
# Wine's stdole2.tlb, which the IDL imports.
set(TARVIK_WINE_WINDOWS_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
    CACHE PATH "Folder of Wine's 64-bit Windows libraries (stdole2.tlb)")

# Its outputs are the same for every target. A build that cannot run its own Windows programs
# (32-bit ones without Wine's 32-bit loader) names the build machine's generator here.
set(TARVIK_TYPE_LIBRARY_GENERATOR "" CACHE FILEPATH
    "A type_library_generator that runs on the build machine (default: this build's own)")
if(TARVIK_TYPE_LIBRARY_GENERATOR)
  set(generator ${TARVIK_TYPE_LIBRARY_GENERATOR})
else()
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR "No Wine loader runs this build's programs: set TARVIK_TYPE_LIBRARY_GENERATOR")
  endif()
  add_executable(type_library_generator
                 ${CMAKE_CURRENT_LIST_DIR}/../generator/type_library_generator.cpp)
  target_link_libraries(type_library_generator PRIVATE tarvik_platform_com)
  set(generator type_library_generator)
endif()

set(out ${CMAKE_CURRENT_BINARY_DIR})
add_custom_command(
  OUTPUT ${out}/tarvikftp.idl ${out}/dual_slots.cpp
  COMMAND ${generator} tarvikftp.idl dual_slots.cpp
  WORKING_DIRECTORY ${out}
  DEPENDS ${generator}
  COMMENT "Generating the TarvikFtp IDL and dual-interface slots")
add_custom_command(
  OUTPUT ${out}/tarvikftp.tlb ${out}/tarvikftp.h
  COMMAND ${TARVIK_WIDL} ${widl_target} -L ${TARVIK_WINE_WINDOWS_DIR} -t -o tarvikftp.tlb tarvikftp.idl
  COMMAND ${TARVIK_WIDL} ${widl_target} -h -o tarvikftp.h tarvikftp.idl
  WORKING_DIRECTORY ${out}
  DEPENDS ${out}/tarvikftp.idl
  COMMENT "Compiling the TarvikFtp type library")
file(WRITE ${out}/tarvikftp.rc "1 TYPELIB \"${out}/tarvikftp.tlb\"\n")
add_custom_command(
  OUTPUT ${out}/tarvikftp_rc.o
  COMMAND ${CMAKE_RC_COMPILER} -O coff -o tarvikftp_rc.o tarvikftp.rc
  WORKING_DIRECTORY ${out}
  DEPENDS ${out}/tarvikftp.tlb ${out}/tarvikftp.rc
  COMMENT "Embedding the TarvikFtp type library")
add_custom_target(tarvikftp_type_library DEPENDS ${out}/tarvikftp.tlb ${out}/tarvikftp.h)

set(TARVIK_DUAL_SLOTS ${out}/dual_slots.cpp)
set(TARVIK_TYPE_LIBRARY_RESOURCE ${out}/tarvikftp_rc.o)
set(TARVIK_TYPE_LIBRARY_HEADER_DIR ${out})
