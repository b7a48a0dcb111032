#include "control/automation/listing_objects.h"

#include <string>
#include <utility>
#include <vector>

#include "core/errors/numbered_error.h"
#include "platform/com/enum_variant.h"

namespace tarvik::automation {

using platform::com::IDispatch;
using platform::com::IUnknown;
using platform::com::MakeObject;
using platform::com::Variant;
using platform::com::VariantEnumerator;

namespace {

// "Type mismatch": an object that is not an entry of this library.
constexpr long kTypeMismatch = 13;

ComPtr<CFtpFileObject> Wrap(const CFtpFiles::Entry& entry) {
  return MakeObject<CFtpFileObject>(entry);
}

}  // namespace

std::shared_ptr<CFtpFile> EntryOf(IDispatch* object) {
  if (object == nullptr) return nullptr;
  ComPtr<IFtpFileEntry> entry;
  if (platform::com::Failed(ComPtr<IDispatch>(object).As(&entry))) return nullptr;
  return entry->Entry();
}

const DispatchTable<CFtpFileObject>& CFtpFileObject::Bindings() {
  using Self = CFtpFileObject;
  static const DispatchTable<Self> table =
      DispatchTable<Self>(kCFtpFileClass)
          .Put("IsDirectory", [](Self& self, bool value) { self.entry().SetIsDirectory(value); })
          .Get("IsDirectory", [](Self& self) { return self.entry().IsDirectory(); })
          .Put("FileSize", [](Self& self, double value) { self.entry().SetFileSize(value); })
          .Get("FileSize", [](Self& self) { return self.entry().FileSize(); })
          .Put("LastWriteTime",
               [](Self& self, const std::string& value) { self.entry().SetLastWriteTime(value); })
          .Get("LastWriteTime", [](Self& self) { return self.entry().LastWriteTime(); })
          .Put("FileName",
               [](Self& self, const std::string& value) { self.entry().SetFileName(value); })
          .Get("FileName", [](Self& self) { return self.entry().FileName(); })
          .Put("FilePath",
               [](Self& self, const std::string& value) { self.entry().SetFilePath(value); })
          .Get("FilePath", [](Self& self) { return self.entry().FilePath(); })
          .Put("Permissions",
               [](Self& self, const std::string& value) { self.entry().SetPermissions(value); })
          .Get("Permissions", [](Self& self) { return self.entry().Permissions(); })
          .Put("Owner", [](Self& self, const std::string& value) { self.entry().SetOwner(value); })
          .Get("Owner", [](Self& self) { return self.entry().Owner(); })
          .Put("Group", [](Self& self, const std::string& value) { self.entry().SetGroup(value); })
          .Get("Group", [](Self& self) { return self.entry().Group(); });
  return table;
}

const DispatchTable<CFtpFilesObject>& CFtpFilesObject::Bindings() {
  using Self = CFtpFilesObject;
  // The collection's own failures (index out of range, Nothing added, more than 32,767 entries
  // counted) leave as numbered errors, which the caller receives as a failed call with the text.
  static const DispatchTable<Self> table =
      DispatchTable<Self>(kCFtpFilesClass)
          .Method("Add",
                  [](Self& self, ComPtr<IDispatch> oFtpFile, Variant /*vKey*/) {
                    // The key is accepted and not kept: lookups by name go through ItemName.
                    std::shared_ptr<CFtpFile> entry = EntryOf(oFtpFile.get());
                    if (oFtpFile && !entry) {
                      Raise(kTypeMismatch, "Type mismatch: oFtpFile is not a CFtpFile");
                    }
                    return Wrap(self.files().Add(std::move(entry)));
                  })
          .Get("Item",
               [](Self& self, std::int16_t vntIndexKey) {
                 return Wrap(self.files().Item(vntIndexKey));
               })
          .Get("ItemName",
               [](Self& self, const std::string& vntName) {
                 // No entry of that name: Nothing.
                 CFtpFiles::Entry entry = self.files().ItemName(vntName);
                 return entry ? ComPtr<IDispatch>(Wrap(entry)) : ComPtr<IDispatch>();
               })
          .Get("Count", [](Self& self) { return self.files().Count(); })
          .Method("Remove",
                  [](Self& self, std::int16_t vntIndexKey) { self.files().Remove(vntIndexKey); })
          .Get("NewEnum", [](Self& self) {
            // Every entry, also past the 32,767 that Item reaches.
            std::vector<Variant> items;
            items.reserve(self.files().Size());
            for (const CFtpFiles::Entry& entry : self.files()) items.emplace_back(Wrap(entry));
            return ComPtr<IUnknown>(MakeObject<VariantEnumerator>(std::move(items))->Identity());
          });
  return table;
}

}  // namespace tarvik::automation
