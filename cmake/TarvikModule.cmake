# The subfolder that holds a service's implementation for the target system.
if(WIN32)
  set(TARVIK_SYSTEM_DIR windows)
else()
  set(TARVIK_SYSTEM_DIR posix)
endif()

# tarvik_module(<name> [SUBDIRS <folders>...] [DEPS <targets>...])
# Builds the *.cpp files of the calling folder, of its subfolder for the target system (posix/ or
# windows/, when there is one) and of the listed subfolders into the static library
# tarvik_<name>. Headers are included from the repository root, e.g. "platform/fs/drive_table.h",
# and the headers a host builds against from include/, e.g. "tarvik/client_site.h".
function(tarvik_module name)
  cmake_parse_arguments(M "" "" "SUBDIRS;DEPS" ${ARGN})
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
               ${CMAKE_CURRENT_SOURCE_DIR}/${TARVIK_SYSTEM_DIR}/*.cpp)
  foreach(sub IN LISTS M_SUBDIRS)
    list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  add_library(tarvik_${name} STATIC ${sources})
  target_include_directories(tarvik_${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
  target_compile_options(tarvik_${name} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                -Wno-sign-conversion)
  target_link_libraries(tarvik_${name} PUBLIC ${M_DEPS})
  set_property(GLOBAL APPEND PROPERTY TARVIK_MODULES tarvik_${name})
endfunction()

# tarvik_test(<name> [DEPS <targets>...] [LABELS <labels>...])
# Builds the *.cpp files of the calling test folder (and of its subfolder for the target system,
# posix/ or windows/, for cases that only one system has) into one GoogleTest executable.
# LABELS name the tier: unit, loopback (fake or real servers on 127.0.0.1).
function(tarvik_test name)
  cmake_parse_arguments(T "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
                                      ${CMAKE_CURRENT_SOURCE_DIR}/${TARVIK_SYSTEM_DIR}/*.cpp)
  add_executable(test_${name} ${sources})
  target_compile_options(test_${name} PRIVATE -Wall -Wextra)
  target_link_libraries(test_${name} PRIVATE ${T_DEPS} GTest::gtest_main GTest::gmock)
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  if(CMAKE_CROSSCOMPILING)
    # One test per program: each start of the emulator costs far more than a case does.
    add_test(NAME test_${name} COMMAND test_${name})
    set_tests_properties(test_${name} PROPERTIES LABELS "${T_LABELS}")
  else()
    gtest_discover_tests(test_${name} PROPERTIES LABELS "${T_LABELS}" DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
