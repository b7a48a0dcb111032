#include "platform/ui/system_ui_provider.h"

namespace tarvik::platform {

UiProvider& SystemUiProvider() {
  static HeadlessUiProvider headless;
  return headless;
}

}  // namespace tarvik::platform
