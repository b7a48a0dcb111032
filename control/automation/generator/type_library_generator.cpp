// Writes the TarvikFtp type library as IDL and the slots of its dual interfaces as C++, both from
// the library's one type table (type_library.h):
//   type_library_generator <out.idl> <out_slots.cpp>
#include <cstdio>
#include <fstream>
#include <string>

#include "control/automation/type_library.h"
#include "platform/com/type_library_source.h"

namespace {

bool WriteFile(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: type_library_generator <out.idl> <out_slots.cpp>\n");
    return 2;
  }
  using tarvik::automation::kTarvikFtpLibrary;
  if (!WriteFile(argv[1], tarvik::platform::com::TypeLibraryIdl(kTarvikFtpLibrary)) ||
      !WriteFile(argv[2], tarvik::platform::com::DualSlotSource(kTarvikFtpLibrary))) {
    std::fprintf(stderr, "type_library_generator: cannot write the output files\n");
    return 1;
  }
  return 0;
}
