#include "control/application_title.h"

#include <mutex>

#include "platform/ui/ui_provider.h"

namespace tarvik {
namespace {

// The library's application object exists once per process.
std::mutex& TitleMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& Title() {
  static std::string title(kDefaultApplicationTitle);
  return title;
}

}  // namespace

std::string ApplicationTitle() {
  std::lock_guard lock(TitleMutex());
  return Title();
}

void SetApplicationTitle(std::string_view title) {
  std::lock_guard lock(TitleMutex());
  Title() = title;
}

void ShowMessage(std::string_view text) {
  platform::MessageBox(text, ApplicationTitle(), platform::MB_OK);
}

}  // namespace tarvik
