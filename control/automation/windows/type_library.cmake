# The TarvikFtp type library and the slots of its dual interfaces, generated from the one type
# table at build time:
#   type_library_generator (a Windows program, run through CMAKE_CROSSCOMPILING_EMULATOR)
#       -> tarvikftp.idl, dual_slots.cpp
#   widl -> tarvikftp.tlb, and tarvikftp.h (the C/C++ header of early-bound clients)
#   windres -> the resource object embedding the .tlb as TYPELIB 1
# Sets TARVIK_DUAL_SLOTS, TARVIK_TYPE_LIBRARY_RESOURCE and TARVIK_TYPE_LIBRARY_HEADER_DIR.
find_program(TARVIK_WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
# Wine's stdole2.tlb, which the IDL imports.
set(TARVIK_WINE_WINDOWS_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
    CACHE PATH "Folder of Wine's 64-bit Windows libraries (stdole2.tlb)")

add_executable(type_library_generator
               ${CMAKE_CURRENT_LIST_DIR}/../generator/type_library_generator.cpp)
target_link_libraries(type_library_generator PRIVATE tarvik_platform_com)

set(out ${CMAKE_CURRENT_BINARY_DIR})
add_custom_command(
  OUTPUT ${out}/tarvikftp.idl ${out}/dual_slots.cpp
  COMMAND type_library_generator tarvikftp.idl dual_slots.cpp
  WORKING_DIRECTORY ${out}
  DEPENDS type_library_generator
  COMMENT "Generating the TarvikFtp IDL and dual-interface slots")
add_custom_command(
  OUTPUT ${out}/tarvikftp.tlb ${out}/tarvikftp.h
  COMMAND ${TARVIK_WIDL} --win64 -L ${TARVIK_WINE_WINDOWS_DIR} -t -o tarvikftp.tlb tarvikftp.idl
  COMMAND ${TARVIK_WIDL} --win64 -h -o tarvikftp.h tarvikftp.idl
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
