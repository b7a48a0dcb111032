// How the C++ parameter and result types of a member binding map to variant types: the
// conversions that let a binding be an ordinary typed lambda.
//
//   C++ type                              variant type
//   bool                                  Boolean
//   std::int16_t                          Integer
//   std::int32_t, any enum                Long
//   double                                Double
//   Date                                  Date
//   std::string                           String
//   ComPtr<IDispatch>                     Object (parameters and results)
//   ComPtr<T>, T an IDispatch class       Object (results only)
//   ComPtr<IUnknown>                      Unknown
//   Variant                               any type (the parameter gets the argument as passed,
//                                         read through a reference; Missing when omitted)
//   void                                  no result
// A parameter taken by non-const lvalue reference (std::string&) is in/out: it must be declared
// in/out in the type information, and the value the binding leaves in it is written back to the
// caller's variable.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/com/dispatch.h"
#include "platform/com/variant.h"

namespace tarvik::platform::com::binding_detail {

// From(v) reads a variant already converted to kType; To(x) makes the variant of a value.
template <typename T, typename Enable = void>
struct ValueTraits;

template <typename T, VarType kVarType>
struct PlainTraits {
  static constexpr VarType kType = kVarType;
  static T From(const Variant& value) { return *value.Get<T>(); }
  static Variant To(T value) { return Variant(std::move(value)); }
};

template <>
struct ValueTraits<bool> : PlainTraits<bool, VarType::kBoolean> {};
template <>
struct ValueTraits<std::int16_t> : PlainTraits<std::int16_t, VarType::kInteger> {};
template <>
struct ValueTraits<std::int32_t> : PlainTraits<std::int32_t, VarType::kLong> {};
template <>
struct ValueTraits<double> : PlainTraits<double, VarType::kDouble> {};
template <>
struct ValueTraits<Date> : PlainTraits<Date, VarType::kDate> {};
template <>
struct ValueTraits<std::string> : PlainTraits<std::string, VarType::kString> {};
template <>
struct ValueTraits<ComPtr<IDispatch>> : PlainTraits<ComPtr<IDispatch>, VarType::kObject> {};

template <>
struct ValueTraits<ComPtr<IUnknown>> {
  static constexpr VarType kType = VarType::kUnknown;
  static ComPtr<IUnknown> From(const Variant& value) { return *value.Get<ComPtr<IUnknown>>(); }
  static Variant To(ComPtr<IUnknown> value) { return Variant::FromUnknown(std::move(value)); }
};

template <>
struct ValueTraits<Variant> {
  static constexpr VarType kType = VarType::kVariant;
  static Variant From(const Variant& value) { return value.value(); }
  static Variant To(Variant value) { return value; }
};

template <typename E>
struct ValueTraits<E, std::enable_if_t<std::is_enum_v<E>>> {
  static constexpr VarType kType = VarType::kLong;
  static E From(const Variant& value) { return static_cast<E>(*value.Get<std::int32_t>()); }
  static Variant To(E value) { return Variant(static_cast<std::int32_t>(value)); }
};

// Objects of a concrete dispatch class, as results.
template <typename T>
struct ValueTraits<ComPtr<T>, std::enable_if_t<std::is_convertible_v<T*, IDispatch*> &&
                                               !std::is_same_v<T, IDispatch>>> {
  static constexpr VarType kType = VarType::kObject;
  static Variant To(const ComPtr<T>& value) { return Variant(ComPtr<IDispatch>(value)); }
};

template <typename... A>
struct TypeList {};

// A lambda's call signature: R (Self&, Args...).
template <typename F>
struct LambdaSignature : LambdaSignature<decltype(&F::operator())> {};
template <typename C, typename R, typename S, typename... A>
struct LambdaSignature<R (C::*)(S&, A...) const> {
  using Result = R;
  using Self = S;
  using Args = TypeList<A...>;
};
template <typename C, typename R, typename S, typename... A>
struct LambdaSignature<R (C::*)(S&, A...)> : LambdaSignature<R (C::*)(S&, A...) const> {};

// A parameter type that the binding writes back: T& with T not const.
template <typename A>
inline constexpr bool kIsInOut =
    std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;

}  // namespace tarvik::platform::com::binding_detail
