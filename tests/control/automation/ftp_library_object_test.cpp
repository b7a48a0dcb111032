// The control as its hosts see it through dispatch: the members it offers and how it refuses bad
// calls, property rules reached by name, in/out parameters, the client site (container window
// and dialogs) and the bindings' agreement with the type information.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "control/automation/ftp_library_object.h"
#include "control/automation/listing_objects.h"
#include "platform/com/dispatch.h"
#include "platform/ui/scripted_ui_provider.h"

namespace tarvik::automation {
namespace {

using platform::com::DISP_E_BADPARAMCOUNT;
using platform::com::DISP_E_MEMBERNOTFOUND;
using platform::com::DISP_E_OVERFLOW;
using platform::com::DISP_E_PARAMNOTOPTIONAL;
using platform::com::DISP_E_TYPEMISMATCH;
using platform::com::DISP_E_UNKNOWNNAME;
using platform::com::DISPATCH_METHOD;
using platform::com::DISPATCH_PROPERTYGET;
using platform::com::DISPATCH_PROPERTYPUT;
using platform::com::DispId;
using platform::com::IDispatch;
using platform::com::InvokeByName;
using platform::com::InvokeError;
using platform::com::MakeObject;
using platform::com::S_OK;
using platform::com::Variant;

class FtpLibraryObjectTest : public ::testing::Test {
 protected:
  HRESULT Call(std::string_view name, std::vector<Variant> args, Variant* result = nullptr) {
    return InvokeByName(control_.get(), name, DISPATCH_METHOD, args, result, &error_);
  }
  HRESULT Put(std::string_view name, Variant value) {
    return InvokeByName(control_.get(), name, DISPATCH_PROPERTYPUT, {&value, 1}, nullptr, &error_);
  }
  Variant Get(std::string_view name) {
    Variant value;
    EXPECT_EQ(InvokeByName(control_.get(), name, DISPATCH_PROPERTYGET, {}, &value, &error_), S_OK)
        << name << ": " << error_.description;
    return value;
  }

  ComPtr<FtpLibraryObject> control_ = MakeObject<FtpLibraryObject>();
  InvokeError error_;
};

TEST_F(FtpLibraryObjectTest, BindingsAgreeWithTheTypeInformation) {
  EXPECT_TRUE(FtpLibraryObject::Bindings().problems().empty())
      << FtpLibraryObject::Bindings().problems().front();
  EXPECT_TRUE(CFtpFileObject::Bindings().problems().empty())
      << CFtpFileObject::Bindings().problems().front();
  EXPECT_TRUE(CFtpFilesObject::Bindings().problems().empty())
      << CFtpFilesObject::Bindings().problems().front();
  // Every entry and collection member has its behaviour.
  for (const MemberInfo& member : kCFtpFileInterface.members) {
    EXPECT_TRUE(CFtpFileObject::Bindings().IsBound(member.name)) << member.name;
  }
  for (const MemberInfo& member : kCFtpFilesInterface.members) {
    EXPECT_TRUE(CFtpFilesObject::Bindings().IsBound(member.name)) << member.name;
  }
}

TEST_F(FtpLibraryObjectTest, OffersTheSessionLocalAndPropertyMembers) {
  const char* offered[] = {"Connect",
                           "Disconnect",
                           "CloseConnection",
                           "Abort",
                           "AbortCurrent",
                           "SendCommand",
                           "GetCurrentDirectory",
                           "GetFileName",
                           "LocalFileRead",
                           "GetLocalFileList",
                           "ServerName",
                           "Connected",
                           "ErrorNumber",
                           "ErrorInfo",
                           "Version",
                           "Timeout",
                           "LangInfo",
                           "ProxyPort"};
  for (const char* name : offered) {
    DispId id = 0;
    EXPECT_EQ(control_->GetIDsOfNames(name, &id), S_OK) << name;
    EXPECT_EQ(id, kFtpLibraryInterface.FindMember(name)->id) << name;
  }
}

// A member whose behaviour the control lacks is absent, not a stub: unknown by name and by DISPID.
TEST_F(FtpLibraryObjectTest, MembersWithoutBehaviourAreAbsent) {
  for (const MemberInfo& member : kFtpLibraryInterface.members) {
    if (FtpLibraryObject::Bindings().IsBound(member.name)) continue;
    DispId id = 0;
    EXPECT_EQ(control_->GetIDsOfNames(member.name, &id), DISP_E_UNKNOWNNAME) << member.name;
    Variant result;
    EXPECT_EQ(
        control_->Invoke(member.id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result, &error_),
        DISP_E_MEMBERNOTFOUND)
        << member.name;
  }
}

// Every property of the interface has its behaviour, and each readable one reads on a fresh
// control as its declared type.
TEST_F(FtpLibraryObjectTest, EveryPropertyIsOfferedAndReadsAsItsDeclaredType) {
  int read = 0;
  for (const MemberInfo& member : kFtpLibraryInterface.members) {
    if (member.is_method()) continue;
    EXPECT_TRUE(FtpLibraryObject::Bindings().IsBound(member.name)) << member.name;
    if (!member.has(DISPATCH_PROPERTYGET)) continue;
    Variant value;
    ASSERT_EQ(control_->Invoke(member.id, DISPATCH_PROPERTYGET, {}, &value, &error_), S_OK)
        << member.name << ": " << error_.description;
    EXPECT_EQ(value.type(), member.type.vt) << member.name;
    ++read;
  }
  EXPECT_EQ(read, 48);  // the readable properties of the interface
}

TEST_F(FtpLibraryObjectTest, ConnectedReadFirstIsFalseWithoutError) {
  const Variant connected = Get("Connected");
  EXPECT_EQ(connected, Variant(false));
  EXPECT_EQ(Get("ErrorNumber"), Variant(std::int32_t{0}));
  EXPECT_EQ(Get("FtpState"), Variant(std::int32_t{0}));
  EXPECT_EQ(Get("Version"), Variant("4.6.0.3"));
}

TEST_F(FtpLibraryObjectTest, PropertyRulesApplyThroughDispatch) {
  EXPECT_EQ(Put("Port", Variant("70000")), S_OK);
  EXPECT_EQ(Get("Port"), Variant(std::int32_t{21}));
  EXPECT_EQ(Put("Timeout", Variant(std::int16_t{29})), S_OK);
  EXPECT_EQ(Get("Timeout"), Variant(std::int16_t{30}));
  EXPECT_EQ(Put("RemotePort", Variant("2121")), S_OK);  // same as writing Port
  EXPECT_EQ(Get("Port"), Variant(std::int32_t{2121}));
  EXPECT_EQ(Put("ServerName", Variant("ftp://example.com:21/")), S_OK);
  EXPECT_EQ(Get("ServerName"), Variant("example.com"));
}

TEST_F(FtpLibraryObjectTest, RefusesBadCallsClearly) {
  struct Case {
    const char* what;
    std::string_view name;
    unsigned short flags;
    std::vector<Variant> args;
    HRESULT status;
    const char* mentions;  // a word the description must contain
  };
  const Case cases[] = {
      {"unknown name", "Conect", DISPATCH_METHOD, {}, DISP_E_UNKNOWNNAME, "Conect"},
      {"too many arguments",
       "Connect",
       DISPATCH_METHOD,
       {Variant("x")},
       DISP_E_BADPARAMCOUNT,
       "Connect"},
      {"too few arguments",
       "SendCommand",
       DISPATCH_METHOD,
       {Variant("SYST")},
       DISP_E_BADPARAMCOUNT,
       "SendCommand"},
      {"required argument omitted",
       "GetFileName",
       DISPATCH_METHOD,
       {Variant::Missing()},
       DISP_E_PARAMNOTOPTIONAL,
       "FilePath"},
      {"text for a number",
       "Port",
       DISPATCH_PROPERTYPUT,
       {Variant("twenty-one")},
       DISP_E_TYPEMISMATCH,
       "Port"},
      {"number out of range",
       "Timeout",
       DISPATCH_PROPERTYPUT,
       {Variant(std::int32_t{40000})},
       DISP_E_OVERFLOW,
       "Timeout"},
      {"in/out argument by value",
       "LocalFileRead",
       DISPATCH_METHOD,
       {Variant("C:\\a.txt")},
       DISP_E_TYPEMISMATCH,
       "FilePath"},
      {"write-only property read",
       "MKDCheck",
       DISPATCH_PROPERTYGET,
       {},
       DISP_E_MEMBERNOTFOUND,
       "MKDCheck"},
      {"read-only property written",
       "Connected",
       DISPATCH_PROPERTYPUT,
       {Variant(true)},
       DISP_E_MEMBERNOTFOUND,
       "Connected"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InvokeError error;
    Variant result("untouched");
    EXPECT_EQ(InvokeByName(control_.get(), c.name, c.flags, c.args, &result, &error), c.status);
    EXPECT_NE(error.description.find(c.mentions), std::string::npos) << error.description;
    EXPECT_EQ(result, Variant("untouched"));  // nothing ran
  }
  // The control is unharmed.
  EXPECT_EQ(Get("Port"), Variant(std::int32_t{21}));
}

TEST_F(FtpLibraryObjectTest, InOutParametersWriteBackThroughTheReference) {
  Variant text("first line");
  Variant path("C:\\notes\\a.txt");
  Variant written;
  EXPECT_EQ(Call("LocalFileWrite", {path, Variant::ByRef(&text), Variant(true)}, &written), S_OK)
      << error_.description;
  EXPECT_EQ(written, Variant(true));
  EXPECT_EQ(text, Variant("first line"));  // left as given
  Variant read;
  EXPECT_EQ(Call("LocalFileRead", {Variant::ByRef(&path)}, &read), S_OK) << error_.description;
  EXPECT_EQ(read, Variant("first line"));
  EXPECT_EQ(path, Variant("C:\\notes\\a.txt"));
}

// A collaborator that answers the questions of a container's site.
class TestSite final
    : public platform::com::ComObject<IOleClientSite, IOleWindow, IUiProviderSite> {
 public:
  TestSite(std::uintptr_t window, std::shared_ptr<platform::UiProvider> ui)
      : window_(window), ui_(std::move(ui)) {}
  HRESULT GetWindow(std::uintptr_t* window) override {
    *window = window_;
    return S_OK;
  }
  HRESULT GetUiProvider(std::shared_ptr<platform::UiProvider>* provider) override {
    *provider = ui_;
    return S_OK;
  }

 private:
  std::uintptr_t window_;
  std::shared_ptr<platform::UiProvider> ui_;
};

TEST_F(FtpLibraryObjectTest, TakesDialogsFromItsSiteWhilePlaced) {
  auto scripted = std::make_shared<platform::ScriptedUiProvider>();
  ComPtr<TestSite> site = MakeObject<TestSite>(0x5150, scripted);
  ASSERT_EQ(control_->SetClientSite(site.get()), S_OK);
  IOleClientSite* kept = nullptr;
  ASSERT_EQ(control_->GetClientSite(&kept), S_OK);
  EXPECT_EQ(kept, static_cast<IOleClientSite*>(site.get()));
  kept->Release();

  // An invalid ReplaceIndex shows its box through the site's provider.
  EXPECT_EQ(Put("ReplaceIndex", Variant(std::int16_t{9})), S_OK);
  ASSERT_EQ(scripted->boxes().size(), 1u);
  EXPECT_NE(scripted->boxes()[0].text.find("Valid Number of 'ReplaceSetting':"), std::string::npos);

  // About: the library's name and version in a box captioned with the library's title.
  EXPECT_EQ(Put("Title", Variant("My host")), S_OK);
  EXPECT_EQ(Call("About", {}), S_OK) << error_.description;
  ASSERT_EQ(scripted->boxes().size(), 2u);
  EXPECT_EQ(scripted->boxes()[1].title, "My host");
  EXPECT_NE(scripted->boxes()[1].text.find("TarvikFtp"), std::string::npos);
  EXPECT_NE(scripted->boxes()[1].text.find("Version 4.6.0.3"), std::string::npos);
  EXPECT_EQ(Put("Title", Variant("FTP ActiveX Control")), S_OK);

  // Off the site, the library answers headlessly again: the scripted provider hears nothing.
  ASSERT_EQ(control_->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(Put("ReplaceIndex", Variant(std::int16_t{9})), S_OK);
  EXPECT_EQ(scripted->boxes().size(), 2u);
}

TEST_F(FtpLibraryObjectTest, CollectionOfEntriesThroughDispatch) {
  ComPtr<CFtpFilesObject> files = MakeObject<CFtpFilesObject>();
  ComPtr<CFtpFileObject> readme = MakeObject<CFtpFileObject>();
  readme->entry().SetFileName("README");
  Variant added;
  ASSERT_EQ(InvokeByName(files.get(), "Add", DISPATCH_METHOD,
                         {{Variant(ComPtr<IDispatch>(readme)), Variant("key")}}, &added, &error_),
            S_OK)
      << error_.description;
  Variant count;
  ASSERT_EQ(InvokeByName(files.get(), "Count", DISPATCH_PROPERTYGET, {}, &count), S_OK);
  EXPECT_EQ(count, Variant(std::int16_t{1}));

  // By name, any case; the entry is the same one that was added.
  Variant name("readme");
  Variant found;
  ASSERT_EQ(InvokeByName(files.get(), "ItemName", DISPATCH_PROPERTYGET, {&name, 1}, &found), S_OK);
  EXPECT_EQ(EntryOf(found.Get<ComPtr<IDispatch>>()->get()), readme->Entry());

  // Out of range and foreign objects fail the call with the collection's error, never a crash.
  Variant index(std::int16_t{2});
  EXPECT_EQ(InvokeByName(files.get(), "Item", DISPATCH_PROPERTYGET, {&index, 1}, &found, &error_),
            platform::com::DISP_E_EXCEPTION);
  EXPECT_NE(error_.description.find("Subscript out of range"), std::string::npos);
  EXPECT_EQ(InvokeByName(files.get(), "Add", DISPATCH_METHOD,
                         {{Variant(ComPtr<IDispatch>(files)), Variant("x")}}, &added, &error_),
            platform::com::DISP_E_EXCEPTION);
  EXPECT_NE(error_.description.find("Type mismatch"), std::string::npos);
  EXPECT_EQ(files->files().Size(), 1u);

  Variant first(std::int16_t{1});
  ASSERT_EQ(InvokeByName(files.get(), "Remove", DISPATCH_METHOD, {&first, 1}, nullptr), S_OK);
  EXPECT_EQ(files->files().Size(), 0u);
}

}  // namespace
}  // namespace tarvik::automation
