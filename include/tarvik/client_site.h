// How a container places a control and what it offers the control through its site.
//
// The container hands its site to the control's IOleObject::SetClientSite. The control then asks
// the site for what it needs, each by its own interface:
//   - IOleWindow: the container's window handle (the control's ContainerWindow; 0 when the site
//     has no window, and then the control raises no OnTransfer);
//   - IUiProviderSite: the provider that answers the control's message boxes and dialogs. The
//     control library keeps its own user-interface state apart from its host's (it exports only
//     its entry points), so a host's own platform/ui provider reaches the library only this way.
//     Without one the library answers headlessly.
// A site may offer any subset. SetClientSite(nullptr) takes the control off its site.
#pragma once

#include <memory>

#include "platform/com/ole_site.h"
#include "platform/com/unknown.h"
#include "platform/ui/ui_provider.h"

namespace tarvik::automation {

using platform::com::Guid;
using platform::com::HRESULT;
using platform::com::IOleClientSite;
using platform::com::IOleObject;
using platform::com::IOleWindow;
using platform::com::IUnknown;
using platform::com::MakeGuid;

// The dialogs and message boxes of the container.
class IUiProviderSite : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{6D0E57C2-41B8-4F3A-9C55-2A7E1B9D0F34}");
  using Base = IUnknown;

  // The provider that answers the control's message boxes and dialogs.
  virtual HRESULT GetUiProvider(std::shared_ptr<platform::UiProvider>* provider) = 0;
};

}  // namespace tarvik::automation
