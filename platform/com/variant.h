// Variant: the self-describing value of late-bound calls: arguments, results, property values and
// event arguments. Strings are UTF-8.
//
// A variant holds one of
//   Empty                     nothing yet (a fresh variable)
//   Boolean                   true / false (the automation Boolean; reads -1 / 0 as a number)
//   Integer                   16-bit signed
//   Long                      32-bit signed
//   Double                    64-bit floating point
//   Date                      days since 12/30/1899, the time of day as the fraction
//   String                    UTF-8 text
//   Object                    a dispatch interface pointer (null is "Nothing")
//   Unknown                   an IUnknown pointer (e.g. an enumerator)
//   Error                     a status code; DISP_E_PARAMNOTFOUND marks an omitted argument
// or it is a reference to another variant (by-reference argument): reading goes to the target and
// a callee writes its in/out results there.
//
// ChangeType converts between the types with the automation rules:
//   - numbers convert among themselves; a fraction going to Integer or Long rounds half to even
//     (2.5 -> 2, 3.5 -> 4); a value outside the target's range is DISP_E_OVERFLOW;
//   - Boolean true is -1 as a number, "True" as text; a number is true when not zero; the texts
//     "True"/"False" (any case) or a number convert to Boolean;
//   - numbers are written with up to 15 significant digits ("0.1", "1E+20"); text converts to a
//     number when it is one ("  42 ", "-1.5e3"), otherwise DISP_E_TYPEMISMATCH;
//   - a Date is written as the user's general date ("1/5/2019 12:30:45 PM"); text converts to a
//     Date in the forms "M/d/yyyy", "yyyy-M-d", each with an optional time ("12:30", "12:30:45
//     PM"), or a time alone;
//   - Empty is 0, "" and false; an object converts through its default member (DISPID 0);
//   - an Error converts to nothing else, and nothing converts to an Error or an object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/com/status.h"
#include "platform/com/unknown.h"

namespace tarvik::platform::com {

class IDispatch;

// Value types, numbered as their automation counterparts. kVariant appears only in type
// information ("any type").
enum class VarType : std::uint16_t {
  kEmpty = 0,
  kInteger = 2,
  kLong = 3,
  kDouble = 5,
  kDate = 7,
  kString = 8,
  kObject = 9,
  kError = 10,
  kBoolean = 11,
  kVariant = 12,
  kUnknown = 13,
};

// "Empty", "Integer", "Long", ... for messages.
std::string_view VarTypeName(VarType type);

// A date value: days since 12/30/1899 00:00, the fraction the time of day.
struct Date {
  double days = 0;
  friend bool operator==(const Date&, const Date&) = default;
};

// The value of an Error variant.
struct ErrorCode {
  HRESULT code = DISP_E_PARAMNOTFOUND;
  friend bool operator==(const ErrorCode&, const ErrorCode&) = default;
};

class Variant {
 public:
  Variant();                         // Empty
  Variant(bool value);               // NOLINT: Boolean
  Variant(std::int16_t value);       // NOLINT: Integer
  Variant(std::int32_t value);       // NOLINT: Long
  Variant(double value);             // NOLINT: Double
  Variant(Date value);               // NOLINT: Date
  Variant(std::string value);        // NOLINT: String
  Variant(std::string_view value);   // NOLINT: String
  Variant(const char* value);        // NOLINT: String
  Variant(ComPtr<IDispatch> value);  // NOLINT: Object
  template <typename T>
  requires(std::is_convertible_v<T*, IDispatch*> && !std::is_same_v<T, IDispatch>)
      Variant(const ComPtr<T>& value)
      : Variant(ComPtr<IDispatch>(value)) {}  // NOLINT: Object
  Variant(ErrorCode value);                   // NOLINT: Error

  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  // An Unknown variant.
  static Variant FromUnknown(ComPtr<IUnknown> value);
  // The marker of an omitted optional argument (Error DISP_E_PARAMNOTFOUND).
  static Variant Missing() { return Variant(ErrorCode{}); }
  // A by-reference argument naming `target` (which must outlive the call). A reference to a
  // reference names the final target.
  static Variant ByRef(Variant* target);

  // The type of the value; for a reference, of the value it refers to.
  VarType type() const { return value().type_of_own(); }
  bool is_by_ref() const { return std::holds_alternative<Variant*>(data_); }
  // The referenced variant, or nullptr for a value.
  Variant* target() const;
  // The variant whose value this one stands for: the target of a reference, else itself.
  const Variant& value() const;
  bool is_empty() const { return type() == VarType::kEmpty; }
  bool is_missing() const;

  // The stored value when it has type T (one of bool, std::int16_t, std::int32_t, double, Date,
  // std::string, ComPtr<IDispatch>, ComPtr<IUnknown>, ErrorCode), else nullptr. Reads through a
  // reference.
  template <typename T>
  const T* Get() const {
    return std::get_if<T>(&value().data_);
  }

  // Converts the value to `type` by the rules above. *out is left unchanged on failure
  // (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW). `out` may be this variant.
  HRESULT ChangeType(VarType type, Variant* out) const;

  // The value as text, or the empty text when it has none (an object without a default value, an
  // error); for messages and printing.
  std::string ToText() const;

  // Same type and value (objects compare by pointer, references by target).
  friend bool operator==(const Variant& a, const Variant& b) { return a.data_ == b.data_; }

 private:
  using Storage =
      std::variant<std::monostate, bool, std::int16_t, std::int32_t, double, Date, std::string,
                   ComPtr<IDispatch>, ComPtr<IUnknown>, ErrorCode, Variant*>;
  explicit Variant(Storage data);
  VarType type_of_own() const;

  Storage data_;
};

}  // namespace tarvik::platform::com
