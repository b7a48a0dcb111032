// The automation objects of listing results: CFtpFileObject serves one directory entry as
// _CFtpFile, CFtpFilesObject a collection of them as _CFtpFiles. Both share the entries with the
// listing that made them, so a host that keeps an entry keeps it alive after the collection.
#pragma once

#include <memory>

#include "control/automation/listing_types.h"
#include "ftp/listing/ftp_file.h"
#include "ftp/listing/ftp_files.h"
#include "platform/com/dispatch_object.h"

namespace tarvik::automation {

using platform::com::ComPtr;
using platform::com::DispatchObject;
using platform::com::DispatchTable;

// Lets the library recognise its own entry objects when a host hands one back (CFtpFiles.Add):
// an object that does not answer this interface is not an entry.
class IFtpFileEntry : public platform::com::IUnknown {
 public:
  static constexpr platform::com::Guid kIid =
      platform::com::MakeGuid("{1E7C5A90-8B2D-4C61-A3F4-95D0C2B7E813}");
  using Base = platform::com::IUnknown;

  virtual std::shared_ptr<CFtpFile> Entry() = 0;
};

class CFtpFileObject final : public DispatchObject<CFtpFileObject, IFtpFileEntry> {
 public:
  // A new empty entry (a host adding its own), or one a listing made.
  CFtpFileObject() : entry_(std::make_shared<CFtpFile>()) {}
  explicit CFtpFileObject(std::shared_ptr<CFtpFile> entry) : entry_(std::move(entry)) {}

  static const DispatchTable<CFtpFileObject>& Bindings();

  std::shared_ptr<CFtpFile> Entry() override { return entry_; }
  CFtpFile& entry() { return *entry_; }

 private:
  std::shared_ptr<CFtpFile> entry_;  // never null
};

class CFtpFilesObject final : public DispatchObject<CFtpFilesObject> {
 public:
  CFtpFilesObject() : files_(std::make_shared<CFtpFiles>()) {}
  explicit CFtpFilesObject(std::shared_ptr<CFtpFiles> files) : files_(std::move(files)) {}

  static const DispatchTable<CFtpFilesObject>& Bindings();

  CFtpFiles& files() { return *files_; }

 private:
  std::shared_ptr<CFtpFiles> files_;  // never null
};

// The entry behind `object` when it is one of this library's CFtpFile objects; else nullptr.
std::shared_ptr<CFtpFile> EntryOf(platform::com::IDispatch* object);

}  // namespace tarvik::automation
