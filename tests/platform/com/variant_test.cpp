#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/time/date_format.h"
#include "platform/time/local_time.h"
#include "tests/platform/com/sample/abacus.h"

namespace tarvik::platform::com {
namespace {

class VariantTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDatePatterns("M/d/yyyy", "h:mm:ss tt"); }
  void TearDown() override { SetDatePatterns("", ""); }
};

Variant DateOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return Variant(Date{ToOleDate(SystemTime{year, month, day, hour, minute, second})});
}

struct ConversionRow {
  const char* label;
  Variant from;
  VarType to;
  HRESULT status;
  Variant expected;  // when the status is S_OK
};

void CheckRows(const std::vector<ConversionRow>& rows) {
  for (const ConversionRow& row : rows) {
    Variant out("untouched");
    EXPECT_EQ(row.from.ChangeType(row.to, &out), row.status) << row.label;
    if (row.status == S_OK) {
      EXPECT_EQ(out, row.expected) << row.label << ": got " << out.ToText();
    } else {
      EXPECT_EQ(out, Variant("untouched")) << row.label << ": failure changed the output";
    }
  }
}

TEST_F(VariantTest, ConstructionGivesTheMatchingType) {
  EXPECT_EQ(Variant().type(), VarType::kEmpty);
  EXPECT_EQ(Variant(true).type(), VarType::kBoolean);
  EXPECT_EQ(Variant(std::int16_t{5}).type(), VarType::kInteger);
  EXPECT_EQ(Variant(5).type(), VarType::kLong);
  EXPECT_EQ(Variant(5.0).type(), VarType::kDouble);
  EXPECT_EQ(Variant(Date{1}).type(), VarType::kDate);
  EXPECT_EQ(Variant("text").type(), VarType::kString);
  EXPECT_EQ(Variant(std::string("text")).type(), VarType::kString);
  EXPECT_EQ(Variant(ComPtr<IDispatch>()).type(), VarType::kObject);
  EXPECT_EQ(Variant::FromUnknown(nullptr).type(), VarType::kUnknown);
  EXPECT_EQ(Variant::Missing().type(), VarType::kError);
  EXPECT_TRUE(Variant::Missing().is_missing());
  EXPECT_FALSE(Variant(ErrorCode{E_FAIL}).is_missing());
  EXPECT_NE(Variant(std::int16_t{5}), Variant(5));  // same number, different types
  EXPECT_EQ(*Variant("x").Get<std::string>(), "x");
  EXPECT_EQ(Variant("x").Get<std::int32_t>(), nullptr);
}

TEST_F(VariantTest, EmptyBooleanAndNumbers) {
  CheckRows({
      {"Empty to String", Variant(), VarType::kString, S_OK, Variant("")},
      {"Empty to Long", Variant(), VarType::kLong, S_OK, Variant(0)},
      {"Empty to Boolean", Variant(), VarType::kBoolean, S_OK, Variant(false)},
      {"True to Integer", Variant(true), VarType::kInteger, S_OK, Variant(std::int16_t{-1})},
      {"True to Double", Variant(true), VarType::kDouble, S_OK, Variant(-1.0)},
      {"True to String", Variant(true), VarType::kString, S_OK, Variant("True")},
      {"False to String", Variant(false), VarType::kString, S_OK, Variant("False")},
      {"Integer to Long", Variant(std::int16_t{5}), VarType::kLong, S_OK, Variant(5)},
      {"Long -32768 to Integer", Variant(-32768), VarType::kInteger, S_OK,
       Variant(std::int16_t{-32768})},
      {"Long 32768 to Integer", Variant(32768), VarType::kInteger, DISP_E_OVERFLOW, {}},
      {"Double 2.5 to Integer", Variant(2.5), VarType::kInteger, S_OK, Variant(std::int16_t{2})},
      {"Double 3.5 to Integer", Variant(3.5), VarType::kInteger, S_OK, Variant(std::int16_t{4})},
      {"Double -2.5 to Long", Variant(-2.5), VarType::kLong, S_OK, Variant(-2)},
      {"Double 2.4999 to Long", Variant(2.4999), VarType::kLong, S_OK, Variant(2)},
      {"Double 1e10 to Long", Variant(1e10), VarType::kLong, DISP_E_OVERFLOW, {}},
      {"NaN to Long",
       Variant(std::numeric_limits<double>::quiet_NaN()),
       VarType::kLong,
       DISP_E_OVERFLOW,
       {}},
      {"Double 0 to Boolean", Variant(0.0), VarType::kBoolean, S_OK, Variant(false)},
      {"Double 0.1 to Boolean", Variant(0.1), VarType::kBoolean, S_OK, Variant(true)},
      {"Long to String", Variant(42), VarType::kString, S_OK, Variant("42")},
      {"Integer to String", Variant(std::int16_t{-7}), VarType::kString, S_OK, Variant("-7")},
      {"Double 0.1", Variant(0.1), VarType::kString, S_OK, Variant("0.1")},
      {"Double 1e20", Variant(1e20), VarType::kString, S_OK, Variant("1E+20")},
      {"Double 1234567.5", Variant(1234567.5), VarType::kString, S_OK, Variant("1234567.5")},
      {"Double 1/3", Variant(1.0 / 3), VarType::kString, S_OK, Variant("0.333333333333333")},
      {"Double -0", Variant(-0.0), VarType::kString, S_OK, Variant("0")},
      {"Double 100", Variant(100.0), VarType::kString, S_OK, Variant("100")},
  });
}

TEST_F(VariantTest, TextToNumbersAndBooleans) {
  CheckRows({
      {"blanks around", Variant("  42 "), VarType::kLong, S_OK, Variant(42)},
      {"exponent", Variant("-1.5e3"), VarType::kDouble, S_OK, Variant(-1500.0)},
      {"plus sign", Variant("+7"), VarType::kInteger, S_OK, Variant(std::int16_t{7})},
      {"fraction rounds", Variant("2.5"), VarType::kInteger, S_OK, Variant(std::int16_t{2})},
      {"leading point", Variant(".5"), VarType::kDouble, S_OK, Variant(0.5)},
      {"trailing point", Variant("5."), VarType::kDouble, S_OK, Variant(5.0)},
      {"too big", Variant("99999"), VarType::kInteger, DISP_E_OVERFLOW, {}},
      {"word", Variant("abc"), VarType::kLong, DISP_E_TYPEMISMATCH, {}},
      {"empty", Variant(""), VarType::kLong, DISP_E_TYPEMISMATCH, {}},
      {"hex", Variant("0x10"), VarType::kLong, DISP_E_TYPEMISMATCH, {}},
      {"infinity", Variant("inf"), VarType::kDouble, DISP_E_TYPEMISMATCH, {}},
      {"bare exponent", Variant("1e"), VarType::kDouble, DISP_E_TYPEMISMATCH, {}},
      {"trailing text", Variant("12abc"), VarType::kDouble, DISP_E_TYPEMISMATCH, {}},
      {"true", Variant("true"), VarType::kBoolean, S_OK, Variant(true)},
      {"FALSE", Variant(" FALSE "), VarType::kBoolean, S_OK, Variant(false)},
      {"number 0", Variant("0"), VarType::kBoolean, S_OK, Variant(false)},
      {"number -1", Variant("-1"), VarType::kBoolean, S_OK, Variant(true)},
      {"yes", Variant("yes"), VarType::kBoolean, DISP_E_TYPEMISMATCH, {}},
  });
}

TEST_F(VariantTest, Dates) {
  CheckRows({
      {"date and time to text", DateOf(2019, 1, 5, 12, 30, 45), VarType::kString, S_OK,
       Variant("1/5/2019 12:30:45 PM")},
      {"midnight to text", DateOf(2019, 1, 5), VarType::kString, S_OK, Variant("1/5/2019")},
      {"time alone to text", Variant(Date{0.5}), VarType::kString, S_OK, Variant("12:00:00 PM")},
      {"text M/d/yyyy", Variant("1/5/2019"), VarType::kDate, S_OK, DateOf(2019, 1, 5)},
      {"text with time", Variant("2019-01-05 13:45"), VarType::kDate, S_OK,
       DateOf(2019, 1, 5, 13, 45)},
      {"text with 12-hour time", Variant("1/5/2019 1:45:10 PM"), VarType::kDate, S_OK,
       DateOf(2019, 1, 5, 13, 45, 10)},
      {"time alone", Variant("12:30:45 PM"), VarType::kDate, S_OK,
       DateOf(1899, 12, 30, 12, 30, 45)},
      {"no such day", Variant("13/45/2019"), VarType::kDate, DISP_E_TYPEMISMATCH, {}},
      {"date to Double", DateOf(1900, 1, 1), VarType::kDouble, S_OK, Variant(2.0)},
      {"Double to Date", Variant(2.5), VarType::kDate, S_OK, Variant(Date{2.5})},
      {"far future", Variant(1e8), VarType::kDate, DISP_E_OVERFLOW, {}},
  });
}

TEST_F(VariantTest, ErrorsAndObjectsDoNotConvertFromPlainValues) {
  CheckRows({
      {"Missing to String", Variant::Missing(), VarType::kString, DISP_E_TYPEMISMATCH, {}},
      {"Long to Object", Variant(1), VarType::kObject, DISP_E_TYPEMISMATCH, {}},
      {"String to Object", Variant("x"), VarType::kObject, DISP_E_TYPEMISMATCH, {}},
      {"String to Error", Variant("x"), VarType::kError, DISP_E_TYPEMISMATCH, {}},
      {"Empty to Unknown", Variant(), VarType::kUnknown, DISP_E_TYPEMISMATCH, {}},
      {"anything to Variant", Variant(2.5), VarType::kVariant, S_OK, Variant(2.5)},
      {"anything to Empty", Variant("x"), VarType::kEmpty, S_OK, Variant()},
  });
  EXPECT_EQ(Variant::Missing().ToText(), "");
}

TEST_F(VariantTest, ObjectsConvertThroughTheirDefaultMember) {
  const Variant bead(MakeObject<sample::Bead>(7));
  Variant out;
  ASSERT_EQ(bead.ChangeType(VarType::kLong, &out), S_OK);
  EXPECT_EQ(out, Variant(7));
  EXPECT_EQ(bead.ToText(), "7");

  // An object without a default member, and Nothing, have no simple value.
  const Variant abacus(MakeObject<sample::Abacus>());
  EXPECT_EQ(abacus.ChangeType(VarType::kString, &out), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Variant(ComPtr<IDispatch>()).ChangeType(VarType::kLong, &out), DISP_E_TYPEMISMATCH);
}

TEST_F(VariantTest, ObjectAndUnknownConvertIntoEachOther) {
  const ComPtr<sample::Bead> bead = MakeObject<sample::Bead>(3);
  Variant unknown;
  ASSERT_EQ(Variant(bead).ChangeType(VarType::kUnknown, &unknown), S_OK);
  EXPECT_EQ(unknown.Get<ComPtr<IUnknown>>()->get(), bead->Identity());

  Variant object;
  ASSERT_EQ(unknown.ChangeType(VarType::kObject, &object), S_OK);
  EXPECT_EQ(object.Get<ComPtr<IDispatch>>()->get(), static_cast<IDispatch*>(bead.get()));
  ASSERT_EQ(unknown.ChangeType(VarType::kLong, &object), S_OK);
  EXPECT_EQ(object, Variant(3));
}

TEST_F(VariantTest, ReferencesReadAndConvertTheirTarget) {
  Variant variable(5);
  const Variant reference = Variant::ByRef(&variable);
  EXPECT_TRUE(reference.is_by_ref());
  EXPECT_EQ(reference.target(), &variable);
  EXPECT_EQ(reference.type(), VarType::kLong);
  EXPECT_EQ(*reference.Get<std::int32_t>(), 5);

  variable = Variant("changed");
  EXPECT_EQ(reference.type(), VarType::kString);
  EXPECT_EQ(reference.ToText(), "changed");

  // A reference to a reference names the variable itself.
  Variant outer_holder = reference;
  EXPECT_EQ(Variant::ByRef(&outer_holder).target(), &variable);

  // Converting into the reference itself turns it into a plain value; the target stays.
  Variant self_converted = Variant::ByRef(&variable);
  ASSERT_EQ(self_converted.ChangeType(VarType::kString, &self_converted), S_OK);
  EXPECT_FALSE(self_converted.is_by_ref());
  EXPECT_EQ(self_converted, Variant("changed"));
  EXPECT_EQ(variable, Variant("changed"));

  // A reference to nothing reads as Empty.
  EXPECT_EQ(Variant::ByRef(nullptr).type(), VarType::kEmpty);
}

TEST_F(VariantTest, ChangeTypeRefusesANullOutput) {
  EXPECT_EQ(Variant(1).ChangeType(VarType::kString, nullptr), E_POINTER);
}

}  // namespace
}  // namespace tarvik::platform::com
