# Sets TARVIK_FUZZ_SUPPORTED when the compiler builds and links a libFuzzer target, and then
# compiles everything that follows with fuzzer coverage (-fsanitize=fuzzer-no-link).
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
]] TARVIK_FUZZ_SUPPORTED)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(TARVIK_FUZZ_SUPPORTED)
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=fuzzer-no-link)
else()
  message(STATUS "TARVIK_FUZZ: ${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION} does not "
                 "support -fsanitize=fuzzer; no fuzz target is built")
endif()
