// A host's walk over the type information: every member the control lists as available is
// called once through dispatch with valid arguments and answers with a value of its declared
// type; members not available are absent by name and by DISPID; the events are heard through the
// class's default source; the entry classes answer every member they list.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "control/automation/ftp_library_object.h"
#include "control/automation/listing_objects.h"
#include "platform/com/connection_point.h"
#include "platform/com/dispatch.h"
#include "platform/ui/scripted_ui_provider.h"

namespace tarvik::automation {
namespace {

using platform::com::DISP_E_MEMBERNOTFOUND;
using platform::com::DISP_E_UNKNOWNNAME;
using platform::com::DISPATCH_METHOD;
using platform::com::DISPATCH_PROPERTYGET;
using platform::com::DISPATCH_PROPERTYPUT;
using platform::com::DispId;
using platform::com::EventSink;
using platform::com::IConnectionPoint;
using platform::com::IConnectionPointContainer;
using platform::com::IDispatch;
using platform::com::InvokeError;
using platform::com::IProvideClassInfo;
using platform::com::MakeObject;
using platform::com::S_OK;
using platform::com::Variant;
using platform::com::VarType;

// The members this build offers; every member of the interface once all are built.
constexpr int kMembersAvailable = 138;

// Text arguments by parameter name: paths that exist nowhere yet, a registry key of its own,
// a harmless raw command. Any other text parameter takes "walk".
const std::map<std::string, std::string, std::less<>> kTextArguments = {
    {"hKey", "HKEY_CURRENT_USER"},
    {"SubKey", "Software\\Walk"},
    {"name", "Value"},
    {"Value", "1"},
    {"strType", "REG_SZ"},
    {"FilePath", "C:\\walk\\file.txt"},
    {"FolderPath", "C:\\walk"},
    {"DirectoryPath", "/walk"},
    {"DirectoryName", "/walk"},
    {"FtpCmd", "NOOP"},
    {"Arguments", ""},
    {"InitDir", "C:\\walk"},
};
// Members that start something outside the process get a path that names nothing.
const std::map<std::string, std::string, std::less<>> kNothingToStart = {
    {"Execute", "C:\\absent\\nothing.exe"},
    {"Explore", "C:\\absent\\nothing"},
};

// A valid value of `param` for `member`.
Variant ArgumentFor(const MemberInfo& member, const ParamInfo& param) {
  switch (param.type.vt) {
    case VarType::kString: {
      if (const auto start = kNothingToStart.find(member.name); start != kNothingToStart.end()) {
        return Variant(start->second);
      }
      const auto text = kTextArguments.find(param.name);
      return Variant(text != kTextArguments.end() ? text->second : std::string("walk"));
    }
    case VarType::kBoolean:
      return Variant(false);
    case VarType::kInteger:
      return Variant(std::int16_t{1});
    case VarType::kLong:
      return Variant(std::int32_t{1});
    case VarType::kDouble:
      return Variant(1024.0);
    case VarType::kObject: {
      ComPtr<CFtpFileObject> entry = MakeObject<CFtpFileObject>();
      entry->entry().SetFileName("walk");
      return Variant(ComPtr<IDispatch>(entry));
    }
    default:
      return Variant("walk");
  }
}

// Calls every member `type` lists that `object` offers, once each, and returns how many it
// offers. A method answers S_OK with a result of its declared type; a readable property reads as
// its type and a writable one takes the value it read (or a valid value).
int WalkMembers(IDispatch* object, const TypeInfo& type) {
  int offered = 0;
  for (const MemberInfo& member : type.members) {
    SCOPED_TRACE(std::string(type.name) + "." + std::string(member.name));
    DispId id = 0;
    const HRESULT found = object->GetIDsOfNames(member.name, &id);
    InvokeError error;
    Variant result;
    if (found != S_OK) {
      EXPECT_EQ(found, DISP_E_UNKNOWNNAME);
      EXPECT_EQ(
          object->Invoke(member.id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result, &error),
          DISP_E_MEMBERNOTFOUND);
      continue;
    }
    ++offered;
    EXPECT_EQ(id, member.id);
    std::vector<Variant> storage;
    for (const ParamInfo& param : member.params) storage.push_back(ArgumentFor(member, param));
    std::vector<Variant> args;
    for (std::size_t i = 0; i < storage.size(); ++i) {
      args.push_back(member.params[i].in_out ? Variant::ByRef(&storage[i]) : storage[i]);
    }
    if (member.is_method() || member.has(DISPATCH_PROPERTYGET)) {
      const auto kind = member.is_method() ? DISPATCH_METHOD : DISPATCH_PROPERTYGET;
      const HRESULT status = object->Invoke(member.id, kind, args, &result, &error);
      EXPECT_EQ(status, S_OK) << error.description;
      if (status != S_OK) continue;
      EXPECT_EQ(result.type(), member.type.vt);
    }
    if (member.has(DISPATCH_PROPERTYPUT)) {
      Variant value =
          member.has(DISPATCH_PROPERTYGET) ? result : ArgumentFor(member, {"", member.type});
      EXPECT_EQ(object->Invoke(member.id, DISPATCH_PROPERTYPUT, {&value, 1}, nullptr, &error), S_OK)
          << error.description;
    }
  }
  return offered;
}

class TypeInformationWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ComPtr<IProvideClassInfo> class_info;
    ASSERT_EQ(control_.As(&class_info), S_OK);
    ASSERT_EQ(class_info->GetClassInfo(&class_type_), S_OK);
    ASSERT_NE(class_type_, nullptr);
  }

  ComPtr<FtpLibraryObject> control_ = MakeObject<FtpLibraryObject>();
  const TypeInfo* class_type_ = nullptr;
};

// A site whose dialogs and boxes are answered by a scripted provider.
class WalkSite final : public platform::com::ComObject<IOleClientSite, IUiProviderSite> {
 public:
  explicit WalkSite(std::shared_ptr<platform::UiProvider> ui) : ui_(std::move(ui)) {}
  HRESULT GetUiProvider(std::shared_ptr<platform::UiProvider>* provider) override {
    *provider = ui_;
    return S_OK;
  }

 private:
  std::shared_ptr<platform::UiProvider> ui_;
};

TEST_F(TypeInformationWalkTest, EveryAvailableMemberAnswersThroughDispatch) {
  auto ui = std::make_shared<platform::ScriptedUiProvider>();
  ComPtr<WalkSite> site = MakeObject<WalkSite>(ui);
  ASSERT_EQ(control_->SetClientSite(site.get()), S_OK);

  const TypeInfo* type = control_->GetTypeInfo();
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->members.size(), 138u);
  const int offered = WalkMembers(control_.get(), *type);
  EXPECT_EQ(offered, kMembersAvailable);
  std::cout << "[ walk     ] " << offered << " of " << type->members.size()
            << " members available\n";
  ASSERT_EQ(control_->SetClientSite(nullptr), S_OK);
}

TEST_F(TypeInformationWalkTest, EventsOfTheDefaultSourceAreHeard) {
  const TypeInfo* source = class_type_->DefaultSource();
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(source->members.size(), 4u);
  std::set<DispId> declared;
  for (const MemberInfo& event : source->members) {
    EXPECT_TRUE(event.is_method() && event.params.empty()) << event.name;
    declared.insert(event.id);
  }
  EXPECT_EQ(declared, (std::set<DispId>{1, 2, 3, 4}));

  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(control_.As(&container), S_OK);
  IConnectionPoint* raw = nullptr;
  ASSERT_EQ(container->FindConnectionPoint(source->guid, &raw), S_OK);
  const ComPtr<IConnectionPoint> point = ComPtr<IConnectionPoint>::Adopt(raw);
  std::vector<DispId> heard;
  ComPtr<EventSink> sink = MakeObject<EventSink>(
      *source,
      [&](const MemberInfo& event, std::span<const Variant>) { heard.push_back(event.id); });
  std::uint32_t cookie = 0;
  ASSERT_EQ(point->Advise(sink->Identity(), &cookie), S_OK);

  // A connection refused on loopback still changes the state.
  InvokeError error;
  Variant server("127.0.0.1"), port(std::int32_t{1}), result;
  ASSERT_EQ(InvokeByName(control_.get(), "ServerName", DISPATCH_PROPERTYPUT, {&server, 1}, nullptr,
                         &error),
            S_OK);
  ASSERT_EQ(InvokeByName(control_.get(), "Port", DISPATCH_PROPERTYPUT, {&port, 1}, nullptr, &error),
            S_OK);
  ASSERT_EQ(InvokeByName(control_.get(), "Connect", DISPATCH_METHOD, {}, &result, &error), S_OK);
  EXPECT_EQ(result, Variant(false));
  EXPECT_NE(std::find(heard.begin(), heard.end(), 3), heard.end());  // OnStateChange
  for (const DispId id : heard) EXPECT_EQ(declared.count(id), 1u) << id;
  EXPECT_EQ(point->Unadvise(cookie), S_OK);
}

TEST_F(TypeInformationWalkTest, EntryClassesAnswerEveryMemberTheyList) {
  ComPtr<CFtpFileObject> entry = MakeObject<CFtpFileObject>();
  EXPECT_EQ(WalkMembers(entry.get(), *entry->GetTypeInfo()),
            static_cast<int>(kCFtpFileInterface.members.size()));
  ComPtr<CFtpFilesObject> files = MakeObject<CFtpFilesObject>();
  EXPECT_EQ(WalkMembers(files.get(), *files->GetTypeInfo()),
            static_cast<int>(kCFtpFilesInterface.members.size()));
  EXPECT_EQ(files->files().Size(), 0u);  // Add, then Remove(1)
}

}  // namespace
}  // namespace tarvik::automation
