// The interfaces through which a container places a control and offers it its window: the
// container's site (IOleClientSite), a window of the container (IOleWindow) and the control's side
// (IOleObject), each reduced to the members this library uses.
#pragma once

#include <cstdint>

#include "platform/com/unknown.h"

namespace tarvik::platform::com {

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

}  // namespace tarvik::platform::com
