// Late-bound calls through the generic dispatch: by name and DISPID, argument conversion,
// optional and in/out parameters, properties, and the errors a caller gets for wrong calls.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/com/dispatch.h"
#include "platform/time/date_format.h"
#include "platform/time/local_time.h"
#include "tests/platform/com/sample/abacus.h"

namespace tarvik::platform::com {
namespace {

using sample::Abacus;
using sample::Bead;
using sample::kAbacusClass;
using sample::kAbacusInterface;

constexpr InvokeFlags kRead = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

class DispatchTest : public ::testing::Test {
 protected:
  HRESULT Call(std::string_view name, std::vector<Variant> args, Variant* result = nullptr,
               InvokeFlags flags = kRead) {
    error_ = InvokeError{};
    return InvokeByName(object_.get(), name, flags, args, result, &error_);
  }
  HRESULT Put(std::string_view name, std::vector<Variant> args) {
    return Call(name, std::move(args), nullptr, DISPATCH_PROPERTYPUT);
  }
  // The result of a call expected to succeed.
  Variant Result(std::string_view name, std::vector<Variant> args = {}) {
    Variant result;
    EXPECT_EQ(Call(name, std::move(args), &result), S_OK) << name << ": " << error_.description;
    return result;
  }

  ComPtr<IDispatch> object_ = ComPtr<IDispatch>(MakeObject<Abacus>());
  InvokeError error_;
};

TEST_F(DispatchTest, NamesResolveToDispIdsInAnyCase) {
  for (const char* name : {"Add", "add", "ADD"}) {
    DispId id = 0;
    EXPECT_EQ(object_->GetIDsOfNames(name, &id), S_OK) << name;
    EXPECT_EQ(id, 0x60030000) << name;
  }
  EXPECT_EQ(object_->GetIDsOfNames("Add", nullptr), E_POINTER);
}

TEST_F(DispatchTest, UnknownAndUnboundNamesAreUnknown) {
  for (const char* name : {"Subtract", "Reserved", ""}) {  // Reserved is declared, not bound
    DispId id = 0;
    EXPECT_EQ(object_->GetIDsOfNames(name, &id), DISP_E_UNKNOWNNAME) << name;
    EXPECT_EQ(id, DISPID_UNKNOWN);
  }
  EXPECT_EQ(Call("Subtract", {1, 2}), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(error_.description, "'Subtract' is not a member of _Abacus");
}

TEST_F(DispatchTest, InvokeByDispId) {
  const Variant args[] = {2, 3};
  Variant result;
  EXPECT_EQ(object_->Invoke(0x60030000, DISPATCH_METHOD, args, &result, nullptr), S_OK);
  EXPECT_EQ(result, Variant(5.0));
  EXPECT_EQ(object_->Invoke(0x60030000, DISPATCH_METHOD, args, nullptr, nullptr), S_OK);

  EXPECT_EQ(object_->Invoke(0x60030008, DISPATCH_METHOD, {}, &result, &error_),
            DISP_E_MEMBERNOTFOUND);  // declared, not bound
  EXPECT_EQ(object_->Invoke(0x1234, DISPATCH_METHOD, {}, &result, &error_), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(error_.description, "no member with DISPID 0x00001234 in _Abacus");
}

TEST_F(DispatchTest, ArgumentsConvertToTheDeclaredTypes) {
  EXPECT_EQ(Result("Add", {"2", 3.6}), Variant(6.0));  // "2" -> 2, 3.6 rounds to 4
  EXPECT_EQ(Result("Add", {true, std::int16_t{1}}), Variant(0.0));
  Variant text("40");
  EXPECT_EQ(Result("Add", {Variant::ByRef(&text), 2}), Variant(42.0));  // read through a ref
}

TEST_F(DispatchTest, OmittedOptionalArgumentsTakeTheirDefaults) {
  EXPECT_EQ(Result("Describe", {"x"}), Variant("x: none"));
  EXPECT_EQ(Result("Describe", {"x", Variant::Missing()}), Variant("x: none"));
  EXPECT_EQ(Result("Describe", {"x", "y"}), Variant("x: y"));
}

TEST_F(DispatchTest, OmittedOptionalVariantArrivesAsMissing) {
  EXPECT_EQ(Result("Kind"), Variant("Missing"));
  EXPECT_EQ(Result("Kind", {Variant::Missing()}), Variant("Missing"));
  EXPECT_EQ(Result("Kind", {5}), Variant("Long"));
  Variant text("t");
  EXPECT_EQ(Result("Kind", {Variant::ByRef(&text)}), Variant("String"));
}

TEST_F(DispatchTest, WrongArgumentCountsAreRefused) {
  struct Row {
    const char* member;
    std::vector<Variant> args;
    const char* description;
  };
  const Row rows[] = {
      {"Add", {1}, "'Add' of _Abacus takes 2 arguments, 1 given"},
      {"Add", {1, 2, 3}, "'Add' of _Abacus takes 2 arguments, 3 given"},
      {"Describe", {}, "'Describe' of _Abacus takes 1 to 2 arguments, 0 given"},
      {"Ring", {1}, "'Ring' of _Abacus takes 0 arguments, 1 given"},
      {"Digit", {}, "'Digit' of _Abacus takes 1 argument, 0 given"},
  };
  for (const Row& row : rows) {
    Variant result("untouched");
    EXPECT_EQ(Call(row.member, row.args, &result), DISP_E_BADPARAMCOUNT) << row.description;
    EXPECT_EQ(error_.description, row.description);
    EXPECT_EQ(error_.source, "_Abacus");
    EXPECT_EQ(result, Variant("untouched"));
  }
}

TEST_F(DispatchTest, RequiredArgumentPassedAsMissingIsNotOptional) {
  EXPECT_EQ(Call("Add", {1, Variant::Missing()}), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(error_.description, "argument 2 'b' of 'Add' of _Abacus is not optional");
  EXPECT_EQ(error_.argument, 1);
}

TEST_F(DispatchTest, UnconvertibleArgumentsAreTypeMismatches) {
  EXPECT_EQ(Call("Add", {"abc", 1}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(error_.description,
            "argument 1 'a' of 'Add' of _Abacus: cannot convert String 'abc' to Long");
  EXPECT_EQ(error_.argument, 0);

  EXPECT_EQ(Call("Add", {1, Variant(MakeObject<Abacus>())}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(error_.description,
            "argument 2 'b' of 'Add' of _Abacus: cannot convert Object to Long");
  EXPECT_EQ(error_.argument, 1);

  EXPECT_EQ(Call("Scale", {40000}), DISP_E_OVERFLOW);
  EXPECT_EQ(error_.description,
            "argument 1 'Factor' of 'Scale' of _Abacus: Long 40000 is out of the range of Integer");
}

TEST_F(DispatchTest, InOutArgumentIsWrittenBack) {
  Variant text("hi");
  EXPECT_EQ(Result("Append", {Variant::ByRef(&text), "!"}), Variant(true));
  EXPECT_EQ(text, Variant("hi!"));

  // The variable takes the parameter's type.
  Variant number(5);
  EXPECT_EQ(Result("Append", {Variant::ByRef(&number), "!"}), Variant(true));
  EXPECT_EQ(number, Variant("5!"));
}

TEST_F(DispatchTest, InOutArgumentPassedByValueIsRefused) {
  Variant result("untouched");
  EXPECT_EQ(Call("Append", {"hi", "!"}, &result), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(error_.description,
            "argument 1 'Text' of 'Append' of _Abacus is in/out and must be passed by reference");
  EXPECT_EQ(error_.argument, 0);
  EXPECT_EQ(result, Variant("untouched"));
}

TEST_F(DispatchTest, InOutArgumentThatDoesNotConvertLeavesTheVariableAlone) {
  Variant object(MakeObject<Abacus>());
  const Variant before = object;
  EXPECT_EQ(Call("Append", {Variant::ByRef(&object), "!"}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(object, before);
}

TEST_F(DispatchTest, FailingMemberReportsAnExceptionAndWritesNothing) {
  Variant result("untouched");
  EXPECT_EQ(Call("Fail", {}, &result), DISP_E_EXCEPTION);
  EXPECT_EQ(error_.description, "'Fail' of _Abacus failed: the abacus is jammed");
  EXPECT_EQ(error_.source, "_Abacus");
  EXPECT_EQ(result, Variant("untouched"));
}

TEST_F(DispatchTest, ReadWriteProperties) {
  EXPECT_EQ(Result("Total"), Variant(0.0));
  EXPECT_EQ(Put("Total", {2.5}), S_OK);
  EXPECT_EQ(Result("Total"), Variant(2.5));
  EXPECT_EQ(Put("Total", {"7"}), S_OK);  // converted to Double
  EXPECT_EQ(Result("Total"), Variant(7.0));
  EXPECT_EQ(Result("Scale", {std::int16_t{3}}), Variant(21.0));

  EXPECT_EQ(Result("Label"), Variant("abacus"));
  EXPECT_EQ(Put("label", {"beads"}), S_OK);
  EXPECT_EQ(Result("LABEL"), Variant("beads"));
}

TEST_F(DispatchTest, PropertyAccessorsThatDoNotExistAreRefused) {
  EXPECT_EQ(Put("Secret", {"s"}), S_OK);
  EXPECT_EQ(Call("Secret", {}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(error_.description, "'Secret' of _Abacus is write-only: it cannot be read");

  EXPECT_EQ(Put("Beads", {std::int16_t{3}}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(error_.description, "'Beads' of _Abacus is read-only: it cannot be assigned");

  EXPECT_EQ(Put("Add", {1}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(error_.description, "'Add' of _Abacus is a method");
  EXPECT_EQ(Call("Add", {1, 2}, nullptr, DISPATCH_PROPERTYGET), DISP_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, PropertyPutNeedsExactlyOneConvertibleValue) {
  EXPECT_EQ(Put("Total", {}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(error_.description, "'Total' of _Abacus takes 1 argument, 0 given");
  EXPECT_EQ(Put("Total", {"abc"}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(error_.description,
            "the value assigned to 'Total' of _Abacus: cannot convert String 'abc' to Double");
  EXPECT_EQ(Result("Total"), Variant(0.0));
}

TEST_F(DispatchTest, EnumerationPropertyCarriesALong) {
  EXPECT_EQ(Result("Mode"), Variant(0));
  EXPECT_EQ(Put("Mode", {"1"}), S_OK);
  EXPECT_EQ(Result("Mode"), Variant(1));
}

TEST_F(DispatchTest, ObjectPropertyIsSetByReference) {
  const ComPtr<Bead> bead = MakeObject<Bead>(9);
  EXPECT_EQ(Result("Partner"), Variant(ComPtr<IDispatch>()));  // Nothing at first
  EXPECT_EQ(Call("Partner", {Variant(bead)}, nullptr, DISPATCH_PROPERTYPUTREF), S_OK);
  EXPECT_EQ(Result("Partner"), Variant(bead));

  EXPECT_EQ(Put("Partner", {Variant(bead)}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(error_.description, "'Partner' of _Abacus is set by reference only");
}

TEST_F(DispatchTest, IndexedProperty) {
  EXPECT_EQ(Put("Digit", {std::int16_t{2}, std::int16_t{7}}), S_OK);
  EXPECT_EQ(Result("Digit", {2}), Variant(std::int16_t{7}));
  EXPECT_EQ(Result("Digit", {1}), Variant(std::int16_t{0}));
  EXPECT_EQ(Call("Digit", {9}), DISP_E_EXCEPTION);
  EXPECT_EQ(error_.description, "'Digit' of _Abacus failed: no such digit");
}

TEST_F(DispatchTest, ObjectResultsAreDispatchable) {
  const Variant bead = Result("MakeBead", {4});
  ASSERT_EQ(bead.type(), VarType::kObject);
  Variant value;
  EXPECT_EQ(InvokeByName(bead.Get<ComPtr<IDispatch>>()->get(), "value", kRead, {}, &value), S_OK);
  EXPECT_EQ(value, Variant(4));
  EXPECT_EQ(Result("Beads"), Variant(std::int16_t{1}));
}

TEST_F(DispatchTest, DateParameter) {
  SetDatePatterns("M/d/yyyy", "h:mm:ss tt");
  EXPECT_EQ(Result("Stamp", {Variant(Date{ToOleDate(SystemTime{2019, 1, 5, 8, 0, 0})})}),
            Variant("1/5/2019 8:00:00 AM"));
  EXPECT_EQ(Result("Stamp", {"2019-1-5"}), Variant("1/5/2019"));
  EXPECT_EQ(Call("Stamp", {"someday"}), DISP_E_TYPEMISMATCH);
  SetDatePatterns("", "");
}

TEST_F(DispatchTest, TypeAndClassInformation) {
  EXPECT_EQ(object_->GetTypeInfo(), &kAbacusInterface);
  ComPtr<IProvideClassInfo> class_info;
  ASSERT_EQ(object_.As(&class_info), S_OK);
  const TypeInfo* type = nullptr;
  EXPECT_EQ(class_info->GetClassInfo(&type), S_OK);
  EXPECT_EQ(type, &kAbacusClass);
}

TEST(DispatchObjectTest, AnswersItsInterfacesWithOneIdentity) {
  const ComPtr<Abacus> abacus = MakeObject<Abacus>();
  void* raw = nullptr;
  ASSERT_EQ(abacus->QueryInterface(kAbacusInterface.guid, &raw), S_OK);
  const ComPtr<IDispatch> dual = ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(raw));
  EXPECT_EQ(dual.get(), static_cast<IDispatch*>(abacus.get()));

  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(dual.As(&container), S_OK);
  EXPECT_EQ(IdentityOf(container.get()), IdentityOf(dual.get()));
  EXPECT_EQ(IdentityOf(dual.get()).get(), abacus->Identity());

  EXPECT_EQ(abacus->QueryInterface(sample::kBeadInterface.guid, &raw), E_NOINTERFACE);
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(abacus->QueryInterface(IDispatch::kIid, nullptr), E_POINTER);
}

TEST(DispatchObjectTest, CountsReferencesAndHoldsTheModule) {
  const std::int64_t locks = ModuleLockCount();
  Abacus* raw = nullptr;
  {
    ComPtr<Abacus> abacus = MakeObject<Abacus>();
    raw = abacus.get();
    EXPECT_EQ(ModuleLockCount(), locks + 1);
    EXPECT_EQ(CanUnloadModule(), S_FALSE);
    EXPECT_EQ(raw->AddRef(), 2u);
    EXPECT_EQ(raw->Release(), 1u);
  }
  EXPECT_EQ(ModuleLockCount(), locks);
}

TEST(DispatchTableTest, TheSampleBindingsMatchTheirTypeInformation) {
  EXPECT_TRUE(Abacus::Bindings().problems().empty());
  EXPECT_TRUE(Bead::Bindings().problems().empty());
  EXPECT_FALSE(Abacus::Bindings().IsBound("Reserved"));
  EXPECT_TRUE(Abacus::Bindings().IsBound("add"));
}

TEST(DispatchTableTest, BindingMistakesAreReportedAndLeftOut) {
  DispatchTable<Bead> table(kAbacusInterface);
  table.Method("Subtract", [](Bead&) {})
      .Method("Add", [](Bead&, std::int32_t) { return 0.0; })
      .Method("Scale", [](Bead&, std::int32_t) { return 0.0; })
      .Method("Append", [](Bead&, const std::string&, const std::string&) { return true; })
      .Method("Describe", [](Bead&, const std::string&, const std::string&) { return 1; })
      .Get("Secret", [](Bead&) { return std::string(); })
      .Method("Ring", [](Bead&) {})
      .Method("Ring", [](Bead&) {});
  const std::vector<std::string> expected = {
      "'Subtract' is not a member of _Abacus",
      "method 'Add' of _Abacus: declared with 2 parameters, bound with 1",
      "method 'Scale' of _Abacus, parameter 1 'Factor': declared Integer, bound as Long",
      "method 'Append' of _Abacus, parameter 1 'Text': declared in/out, bound by value",
      "method 'Describe' of _Abacus: declared result String, bound result Long",
      "property get 'Secret' of _Abacus: the type information has no such accessor",
      "method 'Ring' is bound twice",
  };
  EXPECT_EQ(table.problems(), expected);
  for (const char* name : {"Add", "Scale", "Append", "Describe", "Secret"}) {
    EXPECT_FALSE(table.IsBound(name)) << name;
  }
  EXPECT_TRUE(table.IsBound("Ring"));
}

TEST(DispatchTableTest, AClassWithoutDefaultInterfaceIsAProblem) {
  constexpr TypeInfo kLonely{.name = "Lonely", .kind = TypeKind::kClass, .guid = Guid{}};
  const DispatchTable<Bead> table(kLonely);
  ASSERT_EQ(table.problems().size(), 1u);
  EXPECT_EQ(table.problems()[0], "class Lonely has no default interface");
  DispId id = 0;
  EXPECT_EQ(table.GetIDsOfNames("Anything", &id), DISP_E_UNKNOWNNAME);
}

}  // namespace
}  // namespace tarvik::platform::com
