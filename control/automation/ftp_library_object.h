// FtpLibraryObject: the control FtpLibrary as a creatable automation object. It serves the
// members of _FtpLibrary that have behaviour (see Bindings in ftp_library_object.cpp), fires the
// control's events to the sinks advised on its __FtpLibrary connection point, and takes its
// container window and dialog provider from the client site its container places it on.
//
// Members of _FtpLibrary without a binding do not exist for callers: GetIDsOfNames answers
// DISP_E_UNKNOWNNAME and Invoke DISP_E_MEMBERNOTFOUND. The type information stays complete;
// a host that lists members asks GetIDsOfNames which of them are there.
#pragma once

#include <cstdint>

#include "control/automation/ftp_library_type.h"
#include "control/ftp_library.h"
#include "control/ftp_library_events.h"
#include "local/local_file_methods.h"
#include "platform/com/connection_point.h"
#include "platform/com/dispatch_object.h"
#include "tarvik/client_site.h"

namespace tarvik::automation {

using platform::com::ComPtr;
using platform::com::ConnectionPoint;
using platform::com::DispatchObject;
using platform::com::DispatchTable;
using platform::com::IConnectionPoint;
using platform::com::IConnectionPointContainer;

class FtpLibraryObject final
    : public DispatchObject<FtpLibraryObject, IConnectionPointContainer, IOleObject>,
      private FtpLibraryEvents,
      private ClientSite {
 public:
  FtpLibraryObject();
  ~FtpLibraryObject() override;

  static const DispatchTable<FtpLibraryObject>& Bindings();

  // IConnectionPointContainer
  HRESULT FindConnectionPoint(const Guid& iid, IConnectionPoint** point) override {
    return events_.Find(iid, point);
  }
  // IOleObject
  HRESULT SetClientSite(IOleClientSite* site) override;
  HRESULT GetClientSite(IOleClientSite** site) override;

  FtpLibrary& control() { return control_; }
  const LocalFileMethods& local() const { return local_; }

 private:
  // FtpLibraryEvents: each event goes to every advised sink, by its DISPID.
  void OnTransfer() override { events_.Fire(1); }
  void OnServerMessage() override { events_.Fire(2); }
  void OnStateChange() override { events_.Fire(3); }
  void OnError() override { events_.Fire(4); }

  // ClientSite: the window of the site's container; 0 without a site or window.
  std::uintptr_t ContainerWindow() override;

  // Drops the dialog provider taken from the site, if any.
  void ReleaseSiteUiProvider();

  FtpLibrary control_;
  LocalFileMethods local_;
  ConnectionPoint events_{*Identity(), kFtpLibraryEvents};
  ComPtr<IOleClientSite> site_;  // the container's site; null while not placed
  bool uses_site_ui_ = false;    // the library's dialogs go to the site's provider
};

}  // namespace tarvik::automation
