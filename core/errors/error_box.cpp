#include "core/errors/error_box.h"

#include "platform/ui/ui_provider.h"

namespace tarvik {

void ShowErrorBox(std::string_view text) {
  platform::MessageBox(text, "", platform::MB_OK);
}

}  // namespace tarvik
