#include "control/automation/type_library.h"

#include "control/automation/ftp_library_object.h"

namespace tarvik::automation {

const platform::com::ServerModule& TarvikFtpModule() {
  static constexpr platform::com::ServerClass kClasses[] = {
      {&kFtpLibraryClass, kFtpLibraryProgId, &platform::com::MakeInstance<FtpLibraryObject>,
       /*is_control=*/true},
  };
  static constexpr platform::com::ServerModule kModule{&kTarvikFtpLibrary, kClasses};
  return kModule;
}

}  // namespace tarvik::automation
