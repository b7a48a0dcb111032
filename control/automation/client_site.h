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

#include <cstdint>
#include <memory>

#include "platform/com/unknown.h"
#include "platform/ui/ui_provider.h"

namespace tarvik::automation {

using platform::com::Guid;
using platform::com::HRESULT;
using platform::com::IUnknown;
using platform::com::MakeGuid;

// The site a container keeps for one placed control. It carries no members of its own here; the
// control queries it for the interfaces below.
class IOleClientSite : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{00000118-0000-0000-C000-000000000046}");
  using Base = IUnknown;
};

// A window of the container.
class IOleWindow : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{00000114-0000-0000-C000-000000000046}");
  using Base = IUnknown;

  // The window handle; S_OK with a value that may be 0 when the container refuses to give one.
  virtual HRESULT GetWindow(std::uintptr_t* window) = 0;
};

// The dialogs and message boxes of the container.
class IUiProviderSite : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{6D0E57C2-41B8-4F3A-9C55-2A7E1B9D0F34}");
  using Base = IUnknown;

  // The provider that answers the control's message boxes and dialogs.
  virtual HRESULT GetUiProvider(std::shared_ptr<platform::UiProvider>* provider) = 0;
};

// The control side: how a container places it.
class IOleObject : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{00000112-0000-0000-C000-000000000046}");
  using Base = IUnknown;

  // Places the control on `site` (which the control keeps a reference to), or takes it off
  // (nullptr).
  virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
  // The site the control is placed on, with a reference added; nullptr when none.
  virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
};

}  // namespace tarvik::automation
