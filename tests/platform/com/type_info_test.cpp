#include "platform/com/type_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/com/sample/abacus_types.h"

namespace tarvik::platform::com {
namespace {

using namespace sample;  // NOLINT: the sample tables

TEST(TypeInfoTest, LibraryListsItsTypesInLibraryOrder) {
  std::vector<std::string> names;
  for (const TypeInfo* type : kSampleLibrary.types) names.emplace_back(type->name);
  EXPECT_EQ(names, (std::vector<std::string>{"_Abacus", "Abacus", "__Abacus", "_Bead", "Bead",
                                             "AbacusModes"}));
  EXPECT_EQ(kSampleLibrary.VersionText(), "2.1");
}

TEST(TypeInfoTest, LibraryFindsTypesByNameInAnyCaseAndByGuid) {
  EXPECT_EQ(kSampleLibrary.Find("abacusmodes"), &kAbacusModes);
  EXPECT_EQ(kSampleLibrary.Find("ABACUS"), &kAbacusClass);
  EXPECT_EQ(kSampleLibrary.Find(kAbacusEvents.guid), &kAbacusEvents);
  EXPECT_EQ(kSampleLibrary.Find("Abacu"), nullptr);
  EXPECT_EQ(kSampleLibrary.Find(Guid{}), nullptr);
}

TEST(TypeInfoTest, ClassNamesItsDefaultAndSourceInterfaces) {
  EXPECT_EQ(kAbacusClass.DefaultInterface(), &kAbacusInterface);
  EXPECT_EQ(kAbacusClass.DefaultSource(), &kAbacusEvents);
  EXPECT_EQ(kBeadClass.DefaultInterface(), &kBeadInterface);
  EXPECT_EQ(kBeadClass.DefaultSource(), nullptr);
  EXPECT_TRUE(kAbacusClass.creatable);
  EXPECT_FALSE(kBeadClass.creatable);
}

TEST(TypeInfoTest, MembersByNameAndByDispId) {
  const MemberInfo* describe = kAbacusInterface.FindMember("dEsCrIbE");
  ASSERT_NE(describe, nullptr);
  EXPECT_EQ(describe->name, "Describe");
  EXPECT_EQ(describe->id, 0x60030001);
  EXPECT_TRUE(describe->is_method());
  EXPECT_EQ(describe->type.vt, VarType::kString);
  ASSERT_EQ(describe->params.size(), 2u);
  EXPECT_EQ(describe->params[0].name, "Subject");
  EXPECT_FALSE(describe->params[0].optional);
  EXPECT_TRUE(describe->params[1].optional);
  EXPECT_TRUE(describe->params[1].has_default);
  EXPECT_EQ(describe->params[1].default_text, "none");

  EXPECT_EQ(kAbacusInterface.FindMember(0x68030004), kAbacusInterface.FindMember("Mode"));
  EXPECT_EQ(kAbacusInterface.FindMember(0x12345678), nullptr);
  EXPECT_EQ(kAbacusInterface.FindMember("NoSuchMember"), nullptr);
}

TEST(TypeInfoTest, ParameterAndPropertyTypesReferToOtherTypes) {
  const MemberInfo* mode = kAbacusInterface.FindMember("Mode");
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->type.vt, VarType::kLong);
  EXPECT_EQ(mode->type.type, &kAbacusModes);
  const MemberInfo* make_bead = kAbacusInterface.FindMember("MakeBead");
  ASSERT_NE(make_bead, nullptr);
  EXPECT_EQ(make_bead->type.type->DefaultInterface(), &kBeadInterface);
  const MemberInfo* append = kAbacusInterface.FindMember("Append");
  ASSERT_NE(append, nullptr);
  EXPECT_TRUE(append->params[0].in_out);
  EXPECT_FALSE(append->params[1].in_out);
  EXPECT_TRUE(kAbacusInterface.FindMember("Ring")->type.is_void());
}

TEST(TypeInfoTest, EnumerationValuesByName) {
  ASSERT_EQ(kAbacusModes.values.size(), 2u);
  EXPECT_EQ(kAbacusModes.values[1].name, "abScientific");
  const EnumValue* simple = kAbacusModes.FindValue("ABSIMPLE");
  ASSERT_NE(simple, nullptr);
  EXPECT_EQ(simple->value, 0);
  EXPECT_EQ(kAbacusModes.FindValue("abNone"), nullptr);
}

TEST(TypeInfoTest, EventInterfaceListsEventsWithTheirDispIds) {
  EXPECT_EQ(kAbacusEvents.kind, TypeKind::kEventInterface);
  ASSERT_EQ(kAbacusEvents.members.size(), 2u);
  EXPECT_EQ(kAbacusEvents.FindMember("OnRing")->id, 1);
  EXPECT_EQ(kAbacusEvents.FindMember(2)->name, "OnTotal");
  EXPECT_EQ(kAbacusEvents.FindMember(2)->params[0].type.vt, VarType::kDouble);
}

// Each function as "kind Name", in interface order.
std::vector<std::string> FunctionList(const TypeInfo& type) {
  std::vector<std::string> list;
  for (const FunctionInfo& function : type.Functions()) {
    const char* kind = function.kind == DISPATCH_METHOD        ? "method "
                       : function.kind == DISPATCH_PROPERTYGET ? "get "
                       : function.kind == DISPATCH_PROPERTYPUT ? "put "
                                                               : "putref ";
    list.push_back(kind + std::string(function.member->name));
  }
  return list;
}

TEST(TypeInfoTest, FunctionsFollowInterfaceOrderWithPutFirstWhereDeclared) {
  const std::vector<std::string> functions = FunctionList(kAbacusInterface);
  const std::vector<std::string> properties(functions.begin() + 10, functions.end());
  EXPECT_EQ(functions.front(), "method Add");
  EXPECT_EQ(properties,
            (std::vector<std::string>{"get Total", "put Total", "put Label", "get Label",
                                      "put Secret", "get Beads", "get Mode", "put Mode",
                                      "get Partner", "putref Partner", "get Digit", "put Digit"}));
}

TEST(TypeInfoTest, NamesCompareWithoutRegardToAsciiCase) {
  EXPECT_TRUE(NamesEqual("ServerName", "SERVERNAME"));
  EXPECT_FALSE(NamesEqual("ServerName", "ServerNam"));
  EXPECT_FALSE(NamesEqual("a_b", "a-b"));
}

}  // namespace
}  // namespace tarvik::platform::com
