// The site the tarvik host places the control on: it gives the control a container window (so
// that the control reports transfer progress) and the host's answers to dialogs.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/com/com_object.h"
#include "tarvik/client_site.h"

namespace tarvik::host {

class HostSite final
    : public platform::com::ComObject<automation::IOleClientSite, automation::IOleWindow,
                                      automation::IUiProviderSite> {
 public:
  HostSite(std::uintptr_t window, std::shared_ptr<platform::UiProvider> ui)
      : window_(window), ui_(std::move(ui)) {}

  platform::com::HRESULT GetWindow(std::uintptr_t* window) override {
    if (window == nullptr) return platform::com::E_POINTER;
    *window = window_;
    return platform::com::S_OK;
  }
  platform::com::HRESULT GetUiProvider(std::shared_ptr<platform::UiProvider>* provider) override {
    if (provider == nullptr) return platform::com::E_POINTER;
    *provider = ui_;
    return platform::com::S_OK;
  }

 private:
  std::uintptr_t window_;                     // the host's own window (a hidden one)
  std::shared_ptr<platform::UiProvider> ui_;  // answers dialogs; may be null
};

}  // namespace tarvik::host
